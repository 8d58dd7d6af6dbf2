#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "dobles/tabla.h"
#include "link/enlace.h"
#include "link/saludo.h"

using namespace aq;

class Tst_Saludo : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void saludo_data() {
        // replies to the link check, in turn; reply to "V" ("" silence)
        Columnas<QList<QByteArray>, QByteArray, int, QString, QString>(
            {"enlace", "version", "fin", "mensaje", "titulo"});
        using L = QList<QByteArray>;
        const QString link = "Error en el link";
        Fila("establecido", L{"OK\r\n"}, QByteArray("AQ-TIDE 1.0\r\n"),
             int(Fin_Saludo::Establecido), "", link);
        Fila(
            "001 sin respuesta", L{""}, QByteArray(), int(Fin_Saludo::Sin_Respuesta),
            "Error 001, el equipo no responde.\nVerifique el puerto de comunicaciones seleccionado "
            "en Menú->Opciones. Si el puerto esta siendo usado por otra aplicación , cierre la "
            "aplicación que este usando el puerto, o cambie de puerto.\r\nAdemás, verifique el "
            "enlace.\r",
            "Error en el enlace");
        Fila("002 lazo", L{"KO\r\n"}, QByteArray(), int(Fin_Saludo::Lazo_No_Establecido),
             "Error 002, el lazo de comunicación no se ha establecido.\nVerifique el puerto de "
             "comunicaciones seleccionado en Menú->Opciones,\rademás, verifique el enlace.\r",
             link);
        // The link answers once, then goes silent with "V".
        Fila(
            "007 version muda", L{"OK\r\n", ""}, QByteArray(),
            int(Fin_Saludo::Version_Sin_Respuesta),
            "Error 007, el equipo no responde.\nSalga del programa, verifique el enlace y reinicie "
            "el procedimiento",
            link);
        Fila("otra version", L{"OK\r\n"}, QByteArray("AQ-TIDE 2.3\r\n"),
             int(Fin_Saludo::Otra_Version),
             "Este software no es compatible\ncon la versión AQ-TIDE 2.3 de firmware", link);
        Fila("KO a V", L{"OK\r\n"}, QByteArray("KO\r\n"), int(Fin_Saludo::Respuesta_Desconocida),
             "Este software no es compatible\ncon la versión  de firmware", link);
        // Of the right length but not an identity: not taken for another firmware.
        Fila("version sin CR LF", L{"OK\r\n"}, QByteArray("AQ-TIDE 2.3 x"),
             int(Fin_Saludo::Respuesta_Desconocida),
             "Este software no es compatible\ncon la versión  de firmware", link);
        Fila("version sin punto", L{"OK\r\n"}, QByteArray("AQ-TIDE 2,3\r\n"),
             int(Fin_Saludo::Respuesta_Desconocida),
             "Este software no es compatible\ncon la versión  de firmware", link);
    }

    // "V" goes out only after a good link check, half a second after the notice.
    void saludo() {
        QFETCH(QList<QByteArray>, enlace);
        QFETCH(QByteArray, version);
        Banco_Operaciones b;
        b.puerto.Responder(U32, enlace);
        b.puerto.Responder("V", version);
        double t_aviso = -1;
        const Resultado_Saludo r = Saludar_Equipo(b.ctx, [&] { t_aviso = b.reloj.Segundos(); });
        QTEST(int(r.fin), "fin");
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
