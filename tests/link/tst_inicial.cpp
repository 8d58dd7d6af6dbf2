#include <QtTest>

#include "dobles/fondo_falso.h"
#include "dobles/tabla.h"
#include "link/enlace.h"
#include "link/ui/inicial.h"

using namespace aq;

// The start-up greeting: every outcome, the box it shows and the menu it leaves.
class Tst_Inicial : public QObject {
    Q_OBJECT

    struct Caso {
        Banco b;
        Inicial* w;
        Caso() {
            w = new Inicial(b.ctx);
            b.fondo.Mostrar_Hija(w);
        }
        void Correr() {
            QCOMPARE(w->Timer1->interval(), 100);
            QCOMPARE(w->Timer1->timerType(), Qt::PreciseTimer);
            QVERIFY(w->Timer1->isActive());
            w->Timer1_Timer();
            QVERIFY(!w->isVisible());
        }
        // "&Opciones" revealed once, enabled too or only shown.
        bool Opciones_A_La_Vista(bool habilitadas = true) const {
            return b.fondo.Argumentos("Revelar_Opciones") ==
                   QList<QList<QVariant>>{{QVariant(habilitadas)}};
        }
    };

  private Q_SLOTS:
    void enlace_establecido_abre_el_monitor() {
        Caso c;
        c.b.puerto.Responder_Enlace();
        c.b.puerto.Responder("V", Resp_VERSION);
        const double t0 = c.b.reloj.Segundos();
        c.Correr();
        QVERIFY(c.b.dialogos.cajas.isEmpty());
        QCOMPARE(c.w->Label2->text(), QStringLiteral("Enlace establecido"));
        QCOMPARE(c.b.fondo.Veces("Enlace_Establecido"), 1);
        QCOMPARE(c.b.fondo.Veces("Enlace_Fallido"), 0);
        QVERIFY(c.Opciones_A_La_Vista(false));
        QCOMPARE(c.b.puerto.Comandos(), (QList<QByteArray>{U32, "V"}));
        // link check, half-second pause, "V", then two seconds of green
        QVERIFY(c.b.reloj.Segundos() - t0 > 0.5 + 0.5 + 0.5 + 2.0);
        QVERIFY(c.b.reloj.Cesiones() > 0);
    }

    // The texts are the greeting's; here only what the window does with each outcome.
    void fallos_del_saludo_data() {
        Columnas<QByteArray, QByteArray, QString, QString, int, bool>(
            {"enlace", "version", "comienzo", "titulo", "icono", "opciones_habilitadas"});
        const QString link = "Error en el link";
        const int ninguno = int(Icono::Ninguno);
        Fila("001", QByteArray(), QByteArray(), "Error 001, el equipo no responde.\n",
             "Error en el enlace", int(Icono::Critico), true);
        Fila("002", Resp_DESCONOCIDO, QByteArray(), "Error 002, el lazo", link, ninguno, true);
        Fila("007", Resp_OK, QByteArray(), "Error 007, el equipo", link, ninguno, false);
        Fila("otra versión", Resp_OK, QByteArray("AQ-TIDE 2.3\r\n"),
             "Este software no es compatible\ncon la versión AQ-TIDE 2.3 de", link, ninguno, true);
        Fila("KO", Resp_OK, Resp_KO, "Este software no es compatible\ncon la versión  de", link,
             ninguno, true);
    }
    void fallos_del_saludo() {
        QFETCH(QByteArray, enlace);
        QFETCH(QByteArray, version);
        QFETCH(QString, comienzo);
        QFETCH(bool, opciones_habilitadas);
        Caso c;
        if (version.isEmpty()) {
            c.b.puerto.Responder(U32, QList<QByteArray>{enlace, QByteArray()});  // then silence
        } else {
            c.b.puerto.Responder(U32, enlace);
            c.b.puerto.Responder("V", version);
        }
        c.Correr();
        QCOMPARE(c.b.dialogos.cajas.size(), 1);
        const auto& caja = c.b.dialogos.cajas[0];
        QVERIFY2(caja.texto.startsWith(comienzo), qPrintable(caja.texto));
        QTEST(caja.titulo, "titulo");
        QTEST(int(caja.icono), "icono");
        QVERIFY(c.Opciones_A_La_Vista(opciones_habilitadas));
        QCOMPARE(c.b.fondo.Veces("Enlace_Fallido"), 1);
        QCOMPARE(c.b.fondo.Veces("Enlace_Establecido"), 0);
    }

    void interruptor_de_mantenimiento() {
        for (const QString& linea :
             {QStringLiteral("/administrador"), QStringLiteral("/AdMiNiStRaDoR")}) {
            Caso c;
            c.b.estado.Linea_Comandos = linea;
            c.Correr();
            QCOMPARE(c.b.fondo.Veces("Revelar_Mantenimiento"), 1);
        }
        Caso otro;
        otro.b.estado.Linea_Comandos = "/ADMINISTRADOR otro";
        otro.Correr();
        QCOMPARE(otro.b.fondo.Veces("Revelar_Mantenimiento"), 0);
    }
};

QTEST_MAIN(Tst_Inicial)
#include "tst_inicial.moc"
