#include <QtTest>

#include "dobles/tabla.h"
#include "monitor/reloj_equipo.h"

using namespace aq;

class Tst_Reloj_Equipo : public QObject {
    Q_OBJECT

    static QDateTime Pc(const char* texto) {
        return QDateTime::fromString(QString::fromLatin1(texto), "yyyy-MM-dd hh:mm:ss");
    }

  private Q_SLOTS:
    void deriva_data() {
        Columnas<QString, QString, QDateTime, int, QString>(
            {"fecha", "hora", "pc", "minutos", "texto"});
        const QString atrasado = "Reloj del equipo: %1 atrasado respecto del PC";
        const QString adelantado = "Reloj del equipo: %1 adelantado respecto del PC";
        Fila("al paso", "15/03/02", "10:07", Pc("2002-03-15 10:07:59"), 0, "");
        // One minute can be the two clocks read at the turn of a minute.
        Fila("un minuto", "15/03/02", "10:06", Pc("2002-03-15 10:07:30"), -1, "");
        Fila("atrasado", "15/03/02", "10:04", Pc("2002-03-15 10:07:00"), -3, atrasado.arg("3 min"));
        Fila("adelantado", "15/03/02", "10:10", Pc("2002-03-15 10:07:40"), 3,
             adelantado.arg("3 min"));
        Fila("medianoche y siglo", "01/01/00", "00:02", Pc("1999-12-31 23:58:10"), 4,
             adelantado.arg("4 min"));
        Fila("fin de febrero bisiesto", "01/03/04", "00:00", Pc("2004-02-29 23:00:00"), 60,
             adelantado.arg("1 h"));
        Fila("fin de febrero comun", "28/02/03", "23:00", Pc("2003-03-01 00:00:00"), -60,
             atrasado.arg("1 h"));
        Fila("horas y minutos", "15/03/02", "12:12", Pc("2002-03-15 10:07:00"), 125,
             adelantado.arg("2 h 5 min"));
        Fila("dias", "12/03/02", "10:07", Pc("2002-03-15 10:07:00"), -4320, atrasado.arg("3 días"));
        Fila("un dia y horas", "14/03/02", "06:07", Pc("2002-03-15 10:07:00"), -1680,
             atrasado.arg("1 día 4 h"));
        Fila("año 79 es 2079", "31/12/79", "10:00", Pc("2079-12-31 10:00:00"), 0, "");
        Fila("año 80 es 1980", "01/01/80", "00:00", Pc("1980-01-01 00:00:00"), 0, "");
        const QString invalida = "Reloj del equipo: fecha u hora no válida";
        const QDateTime pc = Pc("2003-03-01 10:00:00");
        Fila("30 de febrero", "30/02/03", "10:00", pc, 0, invalida);
        Fila("29/02 de año comun", "29/02/03", "10:00", pc, 0, invalida);
        Fila("hora 24", "01/03/03", "24:00", pc, 0, invalida);
        Fila("sin datos", "-- / -- / --", "--:--", pc, 0, invalida);
    }
    void deriva() {
        QFETCH(QString, fecha);
        QFETCH(QString, hora);
        QFETCH(QDateTime, pc);
        QFETCH(int, minutos);
        QFETCH(QString, texto);
        const Deriva_Reloj d = Calcular_Deriva(fecha, hora, pc);
        QCOMPARE(d.minutos, qint64(minutos));
        QCOMPARE(d.texto, texto);
        QCOMPARE(d.valida, !texto.contains("no válida"));
    }

    void memoria_llena_data() {
        Columnas<QString, int, QString, QString, QString>(
            {"ocupados", "intervalo", "fecha", "hora", "texto"});
        const QString llena = "Memoria llena aprox. el ";
        Fila("un lugar, 15 min", "4095", 2, "15/03/02", "10:07", llena + "15/03/02 10:15");
        Fila("en punto va al siguiente", "4095", 2, "15/03/02", "10:15", llena + "15/03/02 10:30");
        Fila("medianoche de fin de siglo", "4095", 3, "31/12/99", "23:45",
             llena + "01/01/00 00:00");
        Fila("bisiesto", "4094", 4, "28/02/04", "22:30", llena + "29/02/04 00:00");
        Fila("año comun", "4094", 4, "28/02/03", "22:30", llena + "01/03/03 00:00");
        Fila("2 h, antes de 2000", "4095", 5, "15/06/95", "13:00", llena + "15/06/95 14:00");
        Fila("fin de abril, 2 h", "4095", 5, "30/04/09", "23:00", llena + "01/05/09 00:00");
        Fila("memoria vacia, 5 min", "0000", 0, "01/01/02", "00:00", llena + "15/01/02 05:20");
        Fila("4 h, meses", "0096", 6, "07/12/26", "01:10", llena + "03/10/28 16:00");
        Fila("10 min, de 2079 a 80", "1096", 1, "31/12/79", "00:00", llena + "20/01/80 20:00");
        Fila("sin lugar", "4096", 2, "15/03/02", "10:07", "Memoria llena");
        Fila("intervalo desconocido", "0096", -1, "15/03/02", "10:07", "");
        Fila("cuenta imposible", "4097", 2, "15/03/02", "10:07", "");
        Fila("cuenta que no es numero", "12a ", 2, "15/03/02", "10:07", "");
        Fila("fecha imposible", "0096", 2, "31/04/02", "10:07", "");
    }
    void memoria_llena() {
        QFETCH(QString, ocupados);
        QFETCH(int, intervalo);
        QFETCH(QString, fecha);
        QFETCH(QString, hora);
        QFETCH(QString, texto);
        const Prevision_Memoria p =
            Prever_Memoria_Llena(Registros_Libres(ocupados), intervalo, fecha, hora);
        QCOMPARE(p.texto, texto);
        QCOMPARE(p.valida, !texto.isEmpty());
    }
};

QTEST_GUILESS_MAIN(Tst_Reloj_Equipo)
#include "tst_reloj_equipo.moc"
