#include <QtTest>

#include "core/fecha_equipo.h"
#include "memory/decodificador.h"
#include "tst_descarga_volcado.h"

using namespace aq;

class Tst_Decodificador : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    Estado estado;

    void Poner(int desde, const QList<QByteArray>& palabras) {
        for (int k = 0; k < palabras.size(); ++k) estado.Imagen_Memoria[desde + k] = palabras[k];
    }

    QByteArray Decodificar(const QByteArray& separador = ";") {
        [&] { QVERIFY(!Analizar_Memoria(estado, "salida.csv", separador)); }();
        QFile f("salida.csv");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The lines of the output, without their CR LF.
    auto Informe() { return Decodificar().replace("\r\n", "\n").chopped(1).split('\n'); }

  private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(dir->path());
        estado = Estado();
        for (int i = 0; i < Palabras_Memoria; ++i) estado.Imagen_Memoria[i] = "FFFF ";
    }
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void ejemplo_resuelto() {
        Poner(0, {"AA55 ", "0007 ", "020A ", "070F ", "0302 ", "0100 ", "0101 "});
        QFile("VIEJO.KVX").open(QIODevice::WriteOnly);
        // Lines ended by "|", which stands for CR LF; the file is Latin-1.
        const QString texto = QString::fromUtf8(
            "Información resumida de los datos |registrados en la memoria.| | |"
            "Cantidad de bloques de datos:  1|Cantidad total de lecturas registradas:  2|"
            "Cantidad de lugares vacíos:  4089| | | | |Bloque de datos Nº:  1| |"
            "Datos Del Bloque:  2|Alcance:  4  Metros |Equipo Nº:  7|"
            "Intervalo entre lecturas:  15 minutos|Inicio del bloque:  15/03/02  10:07|||"
            "15/03/02  ;10:15;256|15/03/02  ;10:30;257|");
        for (const char* separador : {";", "\t"})
            QCOMPARE(Decodificar(separador),
                     QString(texto).replace(";", separador).replace("|", "\r\n").toLatin1());
        QCOMPARE(QDir().entryList({"*.KVX"}, QDir::Files), QStringList());
    }

    void extremos_de_la_memoria() {
        QCOMPARE(Informe().size(), 9);  // empty: summary only, no inconsistency
        QCOMPARE(estado.Lugares_Vacios, qint16(4096));

        // A marker at 4091 leaves no room for its header; at 4090 it does.
        Poner(4091, Encabezado(0, 1, 0, 0, 0, 1, 1, 1));
        QVERIFY(Informe().contains("Encabezador de bloque inconsistente "));
        QCOMPARE(estado.Cantidad_Bloques, qint16(0));
        Poner(4090, Encabezado(0, 1, 0, 0, 0, 1, 1, 1) + QList<QByteArray>{"0001 "});
        QVERIFY(Informe().contains("Datos Del Bloque:  1"));

        // A block that fills the memory to its last word.
        Poner(0, Encabezado(2, 1, 6, 0, 0, 1, 1, 0));
        for (int i = 5; i < Palabras_Memoria; ++i) estado.Imagen_Memoria[i] = "0FFF ";
        const QList<QByteArray> l = Informe();
        QVERIFY(!l.contains("Memoria con inconsistencias "));
        QVERIFY(l.contains("Datos Del Bloque:  4091"));
        QCOMPARE(l.last(), QByteArray("12/11/01  ;20:00;20475"));  // 4091 readings of 4 h
        QCOMPARE(estado.Lugares_Vacios, qint16(0));
    }

    void bloques_seguidos_y_vacios_intermedios() {
        Poner(0, Encabezado(1, 3, 4, 23, 30, 31, 12, 99) + QList<QByteArray>{"0001 "});
        Poner(6, Encabezado(0, 4, 5, 10, 7, 1, 1, 1) + QList<QByteArray>{"0002 "});
        Poner(20, Encabezado(0, 5, 0, 0, 0, 1, 1, 1) + QList<QByteArray>{"0003 "});
        const QList<QByteArray> l = Informe();
        QVERIFY(l.contains("01/01/00  ;00:00;2"));  // 23:30 + 1 h, range 8 m
        QVERIFY(l.contains("01/01/01  ;12:00;2"));  // 2 h grid from 10:07
        QVERIFY(l.contains("01/01/01  ;00:05;3"));  // block after the empty run still decoded
        QCOMPARE(l.count("Inconsistencia en la memoria "), 1);
        QCOMPARE(l.indexOf("Inconsistencia en la memoria "),
                 l.indexOf("Bloque de datos N\xBA:  3") - 3);
        QVERIFY(l.contains("Memoria con inconsistencias "));
        QVERIFY(!l.contains("Bloque con inconsistencias "));
        QCOMPARE(estado.Lugares_Vacios, qint16(8 + 4096 - 26));
    }

    void palabras_que_no_son_lecturas() {
        Poner(0, {"1234 ", "0123 ", "AA55", "****"});
        Poner(4, Encabezado(0, 1, 0, 10, 0, 1, 1, 1) + QList<QByteArray>{"0123", "0abc ", "00ab "});
        Poner(12, Encabezado(0, 2, 0, 10, 0, 1, 1, 1) + QList<QByteArray>{"0001 ", "*****"});
        Poner(19, {"*****", "", "0000"});
        const QList<QByteArray> l = Informe();
        QCOMPARE(l.mid(10, 1), QList<QByteArray>{"Encabezador de bloque inconsistente "});
        QCOMPARE(estado.Total_Lecturas, qint16(2));  // "0123" short but in range
        QCOMPARE(l.count("Bloque con inconsistencias "), 2);
        QCOMPARE(l.count("Dato inconsistente "), 2);
        QCOMPARE(l[l.indexOf("Dato inconsistente ") - 1], QByteArray("01/01/01  ;10:05;291"));
        for (const char* p : {"0000", "0:00 ", "0FFF  ", "1000 ", "0abc "})
            QVERIFY2(!Es_Lectura(p), p);
        QVERIFY(Es_Lectura("0000 "));
    }

    // The structured walk and the file agree: same blocks, same readings, same ends.
    void recorrido_igual_al_archivo() {
        Poner(0, Encabezado(1, 3, 4, 23, 30, 31, 12, 99) + QList<QByteArray>{"0001 ", "0FFF "});
        Poner(7, Encabezado(2, 4, 0, 10, 7, 28, 2, 4) + QList<QByteArray>{"0002 ", "0abc "});
        Poner(15, Encabezado(0, 200, 6, 0, 0, 1, 1, 1) + QList<QByteArray>{"0003 "});
        Poner(30, Encabezado(0, 5, 9, 0, 0, 1, 1, 1) + QList<QByteArray>{"0004 "});  // bad
        for (int i = 4000; i < Palabras_Memoria; ++i) estado.Imagen_Memoria[i] = "0100 ";
        Poner(3995, Encabezado(0, 6, 1, 8, 0, 1, 2, 3));

        QList<QByteArray> del_archivo;
        for (const QByteArray& l : Informe())
            if (l.contains(';') || l.startsWith("Equipo") || l.startsWith("Dato inc"))
                del_archivo << l;
        QList<QByteArray> del_recorrido;
        const auto dos = [](int v) { return QByteArray::number(v).rightJustified(2, '0'); };
        const std::vector<Bloque_Decodificado> bloques = Recorrer_Memoria(estado.Imagen_Memoria);
        for (const Bloque_Decodificado& b : bloques) {
            del_recorrido << "Equipo N\xBA:  " + QByteArray::number(b.equipo);
            for (const Lectura_Decodificada& l : b.lecturas)
                del_recorrido << dos(l.dia) + "/" + dos(l.mes) + "/" + dos(l.anio) + "  ;" +
                                     dos(l.hora) + ":" + dos(l.minuto) + ";" +
                                     QByteArray::number(l.valor);
            if (b.fin == Fin_Bloque::Inconsistente) del_recorrido << "Dato inconsistente ";
        }
        QCOMPARE(del_recorrido, del_archivo);
        QCOMPARE(int(bloques.size()), int(estado.Cantidad_Bloques));
        QCOMPARE(bloques.size(), size_t(4));
        QCOMPARE(bloques[0].lecturas[1].valor, 8190);  // 0FFF in an 8 m block
        QCOMPARE(bloques[1].fin, Fin_Bloque::Inconsistente);
        QCOMPARE(bloques[2].fin, Fin_Bloque::Vacia);
        QCOMPARE(bloques[3].fin, Fin_Bloque::Fin_Memoria);
        QCOMPARE(bloques[3].numero, 4);
        QCOMPARE(bloques[3].lecturas.size(), size_t(Palabras_Memoria - 4000));
    }

    void encabezado_invalido_data() {
        QTest::addColumn<QList<int>>("caso");  // word, value (-1: "0c01 ", lower case), accepted
        const QList<int> casos[] = {{1, 0x03FF, 0}, {1, 0x02FF, 1}, {2, 0x0700, 0}, {2, 0x0618, 0},
                                    {2, 0x0617, 1}, {3, 0x3C01, 0}, {3, 0x3B20, 0}, {3, 0x3B00, 1},
                                    {4, 0x0D00, 0}, {4, 0x0C64, 0}, {4, 0x8001, 0}, {4, -1, 0}};
        for (const auto& c : casos) QTest::addRow("%d: %04X", c[0], c[1]) << c;
    }
    void encabezado_invalido() {
        QFETCH(QList<int>, caso);
        Poner(0, Encabezado(0, 1, 0, 0, 0, 1, 1, 1) + QList<QByteArray>{"0001 ", "0002 "});
        estado.Imagen_Memoria[caso[0]] = caso[1] < 0 ? QByteArray("0c01 ") : W(caso[1]);
        Poner(7, Encabezado(0, 9, 0, 0, 0, 1, 1, 1) + QList<QByteArray>{"0003 "});
        QCOMPARE(Informe().contains("Encabezador de bloque inconsistente "), !caso[2]);
        QCOMPARE(estado.Cantidad_Bloques, qint16(caso[2] ? 2 : 1));
        QCOMPARE(estado.Total_Lecturas, qint16(caso[2] ? 3 : 1));  // skipped up to the next marker
    }

    void calendario() {
        // dd mm yy hh mi and interval code, then the next point of its grid
        const int casos[][11] = {
            {28, 2, 1, 23, 55, 0, 1, 3, 1, 0, 0}, {28, 2, 4, 23, 55, 0, 29, 2, 4, 0, 0},
            {29, 2, 0, 23, 30, 3, 1, 3, 0, 0, 0}, {30, 4, 9, 23, 30, 4, 1, 5, 9, 0, 0},
            {30, 1, 9, 22, 0, 5, 31, 1, 9, 0, 0}, {31, 12, 99, 23, 0, 6, 1, 1, 0, 0, 0},
            {1, 1, 1, 10, 7, 1, 1, 1, 1, 10, 10}, {1, 1, 1, 10, 7, 7, 1, 1, 1, 10, 7}};
        for (const auto& c : casos) {
            int d = c[0], m = c[1], a = c[2], h = c[3], mi = c[4];
            Avanzar_Intervalo(d, m, a, h, mi, c[5]);
            QCOMPARE(QList<int>(c, c + 6) << d << m << a << h << mi, QList<int>(c, c + 11));
        }
    }

    // Every day of the logger's century, 1980-01-01 to 2079-12-31: the decoder's stamps are the
    // calendar's (minutes on its time line turned back into the logger's texts) and the logger's
    // own stepping. Blocks start at 22:00 with one reading an hour, so each one crosses
    // midnight; eight words each, as many as fit in one memory at a time.
    void calendario_en_todo_el_siglo() {
        const QDate primero(1980, 1, 1), ultimo(2079, 12, 30);
        QDate dia = primero;
        int decodificaciones = 0, lecturas = 0;
        while (dia <= ultimo) {
            init();
            QByteArray esperado;
            int p = 0;
            for (; dia <= ultimo && p + 8 <= Palabras_Memoria; dia = dia.addDays(1), p += 8) {
                const Hora_Equipo inicio{dia.day(), dia.month(), dia.year() % 100, 22, 0};
                Poner(p, Encabezado(0, 1, 4, 22, 0, inicio.dia, inicio.mes, inicio.anio) +
                             QList<QByteArray>{"0001 ", "0002 ", "0003 "});
                Hora_Equipo equipo = inicio;
                for (int k = 1; k <= 3; ++k) {
                    const Hora_Equipo h = *Hora_De_Minuto(*Minuto_Equipo(inicio) + 60 * k);
                    Avanzar_Intervalo(equipo.dia, equipo.mes, equipo.anio, equipo.hora,
                                      equipo.minuto, 4);
                    if (!(equipo == h)) QFAIL(qPrintable(Texto_Fecha_Equipo(equipo)));
                    esperado += (Texto_Fecha_Equipo(h) + "  ;" + Texto_Hora_Equipo(h) + ";" +
                                 QString::number(k))
                                    .toLatin1();
                    esperado += "\r\n";
                }
            }
            QByteArray lineas;
            for (const QByteArray& l : Decodificar().split('\n'))
                if (l.size() > 8 && l[2] == '/' && l[8] == ' ') lineas += l + '\n';
            QCOMPARE(lineas, esperado);
            ++decodificaciones;
            lecturas += esperado.count('\n');
        }
        QCOMPARE(lecturas, 3 * int(primero.daysTo(ultimo) + 1));
        QVERIFY(decodificaciones > 60);
    }

    // Stamps no calendar has keep the logger's own stepping: day 0, 30/02 (to 31/02), and the
    // year after 79.
    void fuera_del_calendario() {
        Poner(0, Encabezado(0, 1, 4, 23, 0, 0, 0, 5) + QList<QByteArray>{"0001 ", "0002 "} +
                     Encabezado(0, 1, 3, 23, 30, 30, 2, 1) + QList<QByteArray>{"0003 "} +
                     Encabezado(0, 1, 4, 23, 0, 31, 12, 79) + QList<QByteArray>{"0004 "});
        QByteArray lineas;
        for (const QByteArray& l : Decodificar().split('\n'))
            if (l.size() > 8 && l[2] == '/' && l[8] == ' ') lineas += l;
        QCOMPARE(lineas, QByteArray("01/00/05  ;00:00;1\r01/00/05  ;01:00;2\r"
                                    "31/02/01  ;00:00;3\r01/01/80  ;00:00;4\r"));
    }

    void falla_de_archivo() {
        const Falla_En_Archivo falla = Analizar_Memoria(estado, "no/existe/salida.csv", ";");
        QVERIFY(falla.tipo == Falla_Archivo::Ruta_Inexistente);
        QCOMPARE(falla.ruta, QStringLiteral("no/existe/salida.csv"));

        // The output may not be a work file; one named like them survives their removal.
        QVERIFY(Analizar_Memoria(estado, Archivo_Informe, ";").tipo ==
                Falla_Archivo::Archivo_Abierto);
        QVERIFY(!Analizar_Memoria(estado, "resumen.kvx", ";"));
        QVERIFY(QFile::exists("resumen.kvx"));
    }
};

QTEST_GUILESS_MAIN(Tst_Decodificador)
#include "tst_decodificador.moc"
