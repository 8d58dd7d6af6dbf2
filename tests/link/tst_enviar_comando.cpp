#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "dobles/puerto_guionado.h"
#include "dobles/tabla.h"
#include "link/enlace.h"
#include "link/sondeo.h"
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
    };

  private Q_SLOTS:
    // Replies to the command and to the link check (each a script; none: silence), then what
    // comes back, the firmware version taken, what went on the line, and how long it took
    // (< 0: not compared). Each attempt waits half a second before writing and 2 s at most for
    // the reply; a reply of the wrong length gets a second's pause and a link check.
    void intercambio_data() {
        Columnas<QByteArray, int, QList<QByteArray>, QList<QByteArray>, QByteArray, QByteArray,
                 QList<QByteArray>, double>({"comando", "largo", "respuestas", "enlace",
                                             "resultado", "version", "linea", "tiempo"});
        using L = QList<QByteArray>;
        const QByteArray nada;
        const double intento_corto = 0.5 + 0.02, intento_largo = 0.5 + 2 + 1 + 0.02;
        for (const QByteArray& r : {Resp_OK, Resp_KO, Resp_DESCONOCIDO, Resp_MI, Resp_PE})
            Fila(("AAA " + r.trimmed()).constData(), QByteArray("AAA"), 4, L{r}, L{}, r, nada,
                 L{"AAA"}, intento_corto);
        Fila("V", QByteArray("V"), 13, L{Resp_VERSION}, L{}, Resp_VERSION, nada, L{"V"},
             intento_corto);
        Fila("mudo", QByteArray("L"), 49, L{}, L{}, Resp_NC, nada, L{"L", U32}, 5.5);
        Fila("solo responde el enlace", QByteArray("RRR"), 4, L{}, L{Resp_OK}, Resp_KO, nada,
             L{"RRR", U32, "RRR", U32, "RRR", U32}, 3 * intento_largo);
        Fila("enlace respondido con otra cosa", QByteArray("AAA"), 4, L{}, L{Resp_DESCONOCIDO},
             Resp_KO, nada, L{"AAA", U32}, -1.0);
        Fila("un carácter de más", QByteArray("AAA"), 4, L{"OK\r\nX", Resp_OK}, L{Resp_OK}, Resp_OK,
             nada, L{"AAA", U32, "AAA"}, intento_largo + intento_corto);
        Fila("palabra desconocida de largo justo", QByteArray("AAA"), 4, L{"XY\r\n", Resp_OK}, L{},
             Resp_OK, nada, L{"AAA", "AAA"}, 2 * intento_corto);
        const QByteArray bueno = Bloque_Estado();
        QByteArray malo = bueno;
        malo[46] = malo[46] == '0' ? '1' : '0';
        Fila("suma errónea dos veces", QByteArray("L"), 49, L{malo, malo, bueno}, L{}, bueno, nada,
             L{"L", "L", "L"}, 3 * intento_corto);
        Fila("suma siempre errónea", QByteArray("L"), 49, L{malo}, L{}, Resp_KO, nada,
             L{"L", "L", "L"}, -1.0);
        Fila("otra versión", QByteArray("V"), 13, L{"AQ-TIDE 2.3\r\n"}, L{}, Resp_INCOMPATIBLE,
             QByteArray("AQ-TIDE 2.3\r\n"), L{"V"}, intento_corto);
        // Not quite a version: one character too long, or its "." or CR LF missing.
        Fila("versión de dos cifras", QByteArray("V"), 13, L{"AQ-TIDE 10.3\r\n"}, L{Resp_OK},
             Resp_KO, nada, L{"V", U32, "V", U32, "V", U32}, -1.0);
        Fila("versión sin CR LF", QByteArray("V"), 13, L{"AQ-TIDE 2.3  "}, L{}, Resp_KO, nada,
             L{"V", "V", "V"}, -1.0);
        Fila("versión sin punto", QByteArray("V"), 13, L{"AQ-TIDE 2-3\r\n"}, L{}, Resp_KO, nada,
             L{"V", "V", "V"}, -1.0);
    }
    void intercambio() {
        QFETCH(QByteArray, comando);
        QFETCH(int, largo);
        QFETCH(QList<QByteArray>, respuestas);
        QFETCH(QList<QByteArray>, enlace);
        QFETCH(double, tiempo);
        Linea l;
        if (!respuestas.isEmpty()) l.puerto.Responder(comando, respuestas);
        if (!enlace.isEmpty()) l.puerto.Responder(U32, enlace);
        l.puerto.setInputLen(7);
        QTEST(l.Enviar(comando, largo), "resultado");
        QCOMPARE(l.puerto.InputLen(), 7);  // restored on every way out
        QTEST(l.version, "version");
        QTEST(l.puerto.Comandos(), "linea");
        if (tiempo >= 0)
            QVERIFY2(qAbs(l.Transcurrido() - tiempo) < Tol,
                     qPrintable(QString::number(l.Transcurrido())));
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

        // A long wait, as a dump's, ends as soon as the line is gone, not at its limit.
        Linea caida;
        caida.puerto.Desconectar();
        Sondear_Puerto(caida.puerto, caida.reloj, caida.t0, 45, [](double) { return false; });
        QVERIFY2(caida.Transcurrido() < 1, qPrintable(QString::number(caida.Transcurrido())));
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
