#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "link/enlace.h"
#include "link/saludo.h"

using namespace aq;

class Tst_Saludo : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void saludo_data() {
        QTest::addColumn<QList<QByteArray>>("enlace");  // replies to the link check, in turn
        QTest::addColumn<QByteArray>("version");        // reply to "V" ("" silence)
        QTest::addColumn<int>("fin");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("titulo");

        const QString link = "Error en el link";
        QTest::newRow("establecido") << QList<QByteArray>{"OK\r\n"} << QByteArray("AQ-TIDE 1.0\r\n")
                                     << int(Fin_Saludo::Establecido) << QString() << link;
        QTest::newRow("001 sin respuesta")
            << QList<QByteArray>{""} << QByteArray() << int(Fin_Saludo::Sin_Respuesta)
            << QString::fromUtf8(
                   "Error 001, el equipo no responde.\nVerifique el puerto de comunicaciones "
                   "seleccionado en Menú->Opciones. Si el puerto esta siendo usado por otra "
                   "aplicación , cierre la aplicación que este usando el puerto, o cambie de "
                   "puerto.\r\nAdemás, verifique el enlace.\r")
            << QString("Error en el enlace");
        QTest::newRow("002 lazo") << QList<QByteArray>{"KO\r\n"} << QByteArray()
                                  << int(Fin_Saludo::Lazo_No_Establecido)
                                  << QString::fromUtf8(
                                         "Error 002, el lazo de comunicación no se ha "
                                         "establecido.\nVerifique el puerto de comunicaciones "
                                         "seleccionado en Menú->Opciones,\rademás, verifique el "
                                         "enlace.\r")
                                  << link;
        // The link answers once, then goes silent with "V".
        QTest::newRow("007 version muda")
            << QList<QByteArray>{"OK\r\n", ""} << QByteArray()
            << int(Fin_Saludo::Version_Sin_Respuesta)
            << QString(
                   "Error 007, el equipo no responde.\nSalga del programa, verifique el "
                   "enlace y reinicie el procedimiento")
            << link;
        QTest::newRow("otra version")
            << QList<QByteArray>{"OK\r\n"} << QByteArray("AQ-TIDE 2.3\r\n")
            << int(Fin_Saludo::Otra_Version)
            << QString::fromUtf8(
                   "Este software no es compatible\ncon la versión AQ-TIDE 2.3 de "
                   "firmware")
            << link;
        QTest::newRow("KO a V") << QList<QByteArray>{"OK\r\n"} << QByteArray("KO\r\n")
                                << int(Fin_Saludo::Respuesta_Desconocida)
                                << QString::fromUtf8(
                                       "Este software no es compatible\ncon la versión  de "
                                       "firmware")
                                << link;
    }

    // "V" goes out only after a good link check, half a second after the notice.
    void saludo() {
        QFETCH(QList<QByteArray>, enlace);
        QFETCH(QByteArray, version);
        QFETCH(int, fin);
        Banco_Operaciones b;
        b.puerto.Responder(U32, enlace);
        b.puerto.Responder("V", version);
        double t_aviso = -1;
        const Resultado_Saludo r = Saludar_Equipo(b.ctx, [&] { t_aviso = b.reloj.Segundos(); });
        QCOMPARE(int(r.fin), fin);
        QTEST(Mensaje_Saludo(r), "mensaje");
        QTEST(Titulo_Saludo(r.fin), "titulo");
        const bool respondio = enlace.first() == "OK\r\n";
        QCOMPARE(b.puerto.Comandos().contains("V"), respondio);
        QCOMPARE(t_aviso >= 0, respondio);
        if (respondio) {
            const double t_v = b.puerto.Escrituras()[1].t;
            QVERIFY(t_v - t_aviso > 1.0);  // the pause here and the exchange's own
        }
    }

    void sin_enlace_del_menu() {
        QCOMPARE(Mensaje_Sin_Enlace("017"),
                 QString::fromUtf8(
                     "Error 017, El equipo no responde.\nVerifique el puerto de comunicaciones "
                     "seleccionado en Menú->Opciones. Si el puerto esta siendo usado por otra "
                     "aplicación , cierre la aplicación que este usando el puerto, o cambie de "
                     "puerto.\r\nAdemás, verifique el enlace.\r"));
    }
};

QTEST_GUILESS_MAIN(Tst_Saludo)
#include "tst_saludo.moc"
