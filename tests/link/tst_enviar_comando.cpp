#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "dobles/puerto_guionado.h"
#include "link/enlace.h"
#include "link/texto.h"

using namespace aq;

namespace {
constexpr double Tol = 0.01;
}  // namespace

class Tst_Enviar_Comando : public QObject {
    Q_OBJECT

    struct Linea {
        Reloj_Virtual reloj;
        Puerto_Guionado puerto{reloj};
        QByteArray version;
        Linea() { puerto.setPortOpen(true); }
        double t0 = reloj.Segundos();
        QByteArray Enviar(const QByteArray& c, int n) {
            return Enviar_Comando(puerto, reloj, c, n, &version);
        }
        double Transcurrido() const { return reloj.Segundos() - t0; }
        int Veces(const QByteArray& c) const { return puerto.Comandos().count(c); }
    };

  private Q_SLOTS:
    void respuesta_conocida_devuelta_tal_cual() {
        for (const QByteArray& r : {Resp_OK, Resp_KO, Resp_DESCONOCIDO, Resp_MI, Resp_PE}) {
            Linea l;
            l.puerto.Responder("AAA", r, 0.05);
            QCOMPARE(l.Enviar("AAA", 4), r);
            QCOMPARE(l.Veces("AAA"), 1);
            // half a second before writing, then the reply as soon as it is complete
            QVERIFY(qAbs(l.Transcurrido() - 0.55) < Tol);
        }
        Linea l;
        l.puerto.Responder("V", Resp_VERSION);
        QCOMPARE(l.Enviar("V", 13), Resp_VERSION);
    }

    void logger_mudo_da_nc_en_cinco_segundos_y_medio() {
        Linea l;
        l.puerto.setInputLen(7);
        QCOMPARE(l.Enviar("L", 49), Resp_NC);
        QCOMPARE(l.puerto.InputLen(), 7);  // restored on every way out
        QCOMPARE(l.puerto.Comandos(), (QList<QByteArray>{"L", U32}));
        QVERIFY(qAbs(l.Transcurrido() - 5.5) < Tol);
    }

    void solo_responde_la_resincronizacion_da_ko_tras_tres_escrituras() {
        Linea l;
        l.puerto.Responder(U32, Resp_OK);
        QCOMPARE(l.Enviar("RRR", 4), Resp_KO);
        QCOMPARE(l.Veces("RRR"), 3);
        QCOMPARE(l.Veces(U32), 3);
        // each attempt: pause, 2 s reply limit, 1 s, answered resync
        QVERIFY(qAbs(l.Transcurrido() - 3 * (0.5 + 2 + 1 + 0.02)) < 3 * Tol);
    }

    void resincronizacion_respondida_con_otra_cosa_da_ko_sin_reintentar() {
        Linea l;
        l.puerto.Responder(U32, Resp_DESCONOCIDO);
        QCOMPARE(l.Enviar("AAA", 4), Resp_KO);
        QCOMPARE(l.Veces("AAA"), 1);
    }

    void respuesta_con_un_caracter_de_mas_resincroniza() {
        Linea l;
        l.puerto.Responder("AAA", QList<QByteArray>{"OK\r\nX", Resp_OK});
        l.puerto.Responder(U32, Resp_OK);
        QCOMPARE(l.Enviar("AAA", 4), Resp_OK);
        QCOMPARE(l.puerto.Comandos(), (QList<QByteArray>{"AAA", U32, "AAA"}));
        // full 2 s wait on the overlong reply, 1 s pause, resync answered, then a new attempt
        QVERIFY(qAbs(l.Transcurrido() - (0.5 + 2 + 1 + 0.02 + 0.5 + 0.02)) < Tol);
    }

    void palabra_desconocida_de_largo_justo_se_pide_otra_vez_sin_resincronizar() {
        Linea l;
        l.puerto.Responder("AAA", QList<QByteArray>{"XY\r\n", Resp_OK});
        QCOMPARE(l.Enviar("AAA", 4), Resp_OK);
        QCOMPARE(l.puerto.Comandos(), (QList<QByteArray>{"AAA", "AAA"}));
    }

    void estado_con_suma_erronea_se_pide_otra_vez() {
        const QByteArray bueno = Bloque_Estado();
        QByteArray malo = bueno;
        malo[46] = malo[46] == '0' ? '1' : '0';
        Linea l;
        l.puerto.Responder("L", QList<QByteArray>{malo, malo, bueno});
        QCOMPARE(l.Enviar("L", 49), bueno);
        QCOMPARE(l.Veces("L"), 3);

        Linea siempre_malo;
        siempre_malo.puerto.Responder("L", malo);
        QCOMPARE(siempre_malo.Enviar("L", 49), Resp_KO);
        QCOMPARE(siempre_malo.Veces("L"), 3);
    }

    void otra_version_de_firmware_es_incompatible() {
        Linea l;
        l.puerto.Responder("V", QByteArray("AQ-TIDE 2.3\r\n"));
        QCOMPARE(l.Enviar("V", 13), Resp_INCOMPATIBLE);
        QCOMPARE(l.version, QByteArray("AQ-TIDE 2.3\r\n"));

        // two-digit major version: one character too long, never matched
        Linea larga;
        larga.puerto.Responder("V", QByteArray("AQ-TIDE 10.3\r\n"));
        larga.puerto.Responder(U32, Resp_OK);
        QCOMPARE(larga.Enviar("V", 13), Resp_KO);
        QVERIFY(larga.version.isEmpty());
    }

    void espera_cruzando_medianoche_dura_lo_que_debe() {
        // The clock is monotonic: a start just before midnight changes nothing.
        Linea l;
        l.reloj.Fijar_Pc(QDateTime(QDate(2002, 6, 5), QTime(23, 59, 58)));
        QCOMPARE(l.Enviar("L", 49), Resp_NC);
        QVERIFY(qAbs(l.Transcurrido() - 5.5) < Tol);
        const double t = l.reloj.Segundos();
        Esperar_Medio_Segundo(l.reloj);
        QVERIFY(l.reloj.Segundos() - t > 0.5);
    }

    void puerto_cerrado_o_perdido_responde_nc() {
        Linea cerrado;
        cerrado.puerto.setPortOpen(false);
        QCOMPARE(cerrado.Enviar("L", 49), Resp_NC);

        Linea perdido;
        perdido.puerto.al_escribir = [&](const QByteArray&) { perdido.puerto.Desconectar(); };
        QCOMPARE(perdido.Enviar("L", 49), Resp_NC);
        QVERIFY(perdido.Transcurrido() < 3);
    }

    // An adapter pulled out and plugged in again: the port is opened afresh before the next
    // command. One that cannot be opened, or the first run's set-up, still means "NC".
    void puerto_perdido_se_reabre_antes_del_comando() {
        Banco_Operaciones b;
        b.estado.Puerto_Com = 3;
        b.puerto.Responder_Enlace();
        b.puerto.Desconectar();
        QCOMPARE(Enviar_Comando(b.ctx, U32, 4), Resp_OK);
        QCOMPARE(b.puerto.CommPort(), 3);
        QCOMPARE(b.puerto.Aperturas(), 2);

        Banco_Operaciones ocupado;
        ocupado.estado.Puerto_Com = 3;
        ocupado.puerto.puertos_ocupados << 3;
        ocupado.puerto.Desconectar();
        QCOMPARE(Enviar_Comando(ocupado.ctx, U32, 4), Resp_NC);
        QVERIFY(ocupado.puerto.Comandos().isEmpty());

        Banco_Operaciones instalando;
        instalando.estado.Instalando = true;
        instalando.puerto.Responder_Enlace();
        instalando.puerto.Desconectar();
        QCOMPARE(Enviar_Comando(instalando.ctx, U32, 4), Resp_NC);
        QCOMPARE(instalando.puerto.Aperturas(), 1);
    }

    void valor_numerico() {
        QCOMPARE(Valor_Numerico(QByteArray("  12ab")), 12.0);
        QCOMPARE(Valor_Numerico(QByteArray("-3.5x")), -3.5);
        QCOMPARE(Valor_Numerico(QByteArray("abc")), 0.0);
        QCOMPARE(Valor_Numerico(QByteArray("0096")), 96.0);
        QCOMPARE(Numero_Simple(5000), QString("5000"));
        QCOMPARE(Numero_Simple(2.5), QString("2.5"));
    }
};

QTEST_GUILESS_MAIN(Tst_Enviar_Comando)
#include "tst_enviar_comando.moc"
