#include <QtTest>

#include "dobles/fondo_falso.h"
#include "link/enlace.h"
#include "link/ui/inicial.h"

using namespace aq;

// The start-up greeting: every outcome, its message byte for byte and the menu it leaves.
class Tst_Inicial : public QObject {
    Q_OBJECT

    const QByteArray U32 = QByteArray(32, 'U');

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

    void equipo_mudo_error_001() {
        Caso c;
        c.Correr();
        QCOMPARE(c.b.dialogos.cajas.size(), 1);
        const auto& caja = c.b.dialogos.cajas[0];
        QCOMPARE(caja.texto,
                 QStringLiteral(
                     "Error 001, el equipo no responde.\nVerifique el puerto de comunicaciones "
                     "seleccionado en Menú->Opciones. Si el puerto esta siendo usado por otra "
                     "aplicación , cierre la aplicación que este usando el puerto, o cambie de "
                     "puerto.\r\nAdemás, verifique el enlace.\r"));
        QCOMPARE(caja.titulo, QStringLiteral("Error en el enlace"));
        QCOMPARE(caja.icono, Icono::Critico);
        QVERIFY(c.Opciones_A_La_Vista());
        QCOMPARE(c.b.fondo.Veces("Enlace_Fallido"), 1);
    }

    // The texts are the greeting's; here only what the window does with each outcome.
    void fallos_del_saludo_data() {
        QTest::addColumn<QByteArray>("enlace");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QString>("comienzo");
        QTest::addColumn<bool>("opciones_habilitadas");
        QTest::newRow("002") << Resp_DESCONOCIDO << QByteArray() << "Error 002, el lazo" << true;
        QTest::newRow("007") << Resp_OK << QByteArray() << "Error 007, el equipo" << false;
        QTest::newRow("otra versión")
            << Resp_OK << QByteArray("AQ-TIDE 2.3\r\n")
            << "Este software no es compatible\ncon la versión AQ-TIDE 2.3 de" << true;
        QTest::newRow("KO") << Resp_OK << Resp_KO
                            << "Este software no es compatible\ncon la versión  de" << true;
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
        QCOMPARE(caja.titulo, QStringLiteral("Error en el link"));
        QCOMPARE(caja.icono, Icono::Ninguno);
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
