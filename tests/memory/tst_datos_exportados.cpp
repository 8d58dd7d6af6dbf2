#include <QtTest>

#include "dobles/tabla.h"
#include "dobles/tuberia.h"
#include "memory/datos_exportados.h"
#include "memory/decodificador.h"
#include "tst_descarga_volcado.h"

using namespace aq;

namespace {

// A memory holding `palabras` from word 0, the rest empty.
Estado Memoria_Con(const QList<QByteArray>& palabras) {
    Estado e;
    for (int i = 0; i < Palabras_Memoria; ++i)
        e.Imagen_Memoria[i] = i < palabras.size() ? palabras[i] : "FFFF ";
    return e;
}

// Everything the plot takes from a file, in one line: per block its number, equipment, count,
// first and last reading; "!" for an inconsistent block; the memory flag and the readings that
// had no calendar date.
QString Firma(const Datos_Exportados& d) {
    if (!d.Valido()) return QStringLiteral("error: ") + d.error;
    QStringList partes;
    if (d.memoria_inconsistente) partes << "inc";
    if (d.lecturas_sin_fecha) partes << QString("sin fecha %1").arg(d.lecturas_sin_fecha);
    for (const Bloque_Exportado& b : d.bloques) {
        QString t = QString("B%1 E%2 n%3").arg(b.numero).arg(b.equipo).arg(b.lecturas.size());
        if (!b.lecturas.empty())
            for (const Lectura_Exportada* l : {&b.lecturas.front(), &b.lecturas.back()})
                t += l->momento.toString(" dd/MM/yyyy hh:mm=") + QString::number(l->milimetros);
        if (b.inconsistente) t += " !";
        partes << t;
    }
    return partes.join(" | ");
}

// The decoder's worked example, as it writes it with ";".
const QByteArray Ejemplo = QString::fromUtf8(
                               "Información resumida de los datos \r\nregistrados en la memoria."
                               "\r\n \r\n \r\nCantidad de bloques de datos:  1\r\n"
                               "Cantidad total de lecturas registradas:  2\r\n"
                               "Cantidad de lugares vacíos:  4089\r\n \r\n \r\n \r\n \r\n"
                               "Bloque de datos Nº:  1\r\n \r\nDatos Del Bloque:  2\r\n"
                               "Alcance:  4  Metros \r\nEquipo Nº:  7\r\n"
                               "Intervalo entre lecturas:  15 minutos\r\n"
                               "Inicio del bloque:  15/03/02  10:07\r\n\r\n\r\n"
                               "15/03/02  ;10:15;256\r\n15/03/02  ;10:30;257\r\n")
                               .toLatin1();
const QString Firma_Ejemplo = "B1 E7 n2 15/03/2002 10:15=256 15/03/2002 10:30=257";
const QString Foraneo = QString::fromUtf8(
    "error: El archivo no contiene datos del limnígrafo-freatígrafo: no comienza con el resumen "
    "de la memoria que escribe el programa.");

}  // namespace

class Tst_Datos_Exportados : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;

    QString Escribir(const QString& nombre, const QByteArray& bytes) {
        QFile f(tmp_.filePath(nombre));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : "";
    }

  private Q_SLOTS:
    void initTestCase() { QVERIFY(QDir::setCurrent(tmp_.path())); }
    void cleanupTestCase() { QDir::setCurrent(QDir::tempPath()); }

    // Images decoded by the real decoder, with both separators, read back.
    void lo_que_escribe_el_decodificador_data() {
        Columnas<QList<QByteArray>, QString>({"palabras", "firma"});  // from word 0; the rest empty
        using L = QList<QByteArray>;
        Fila("ejemplo", L{"AA55 ", "0007 ", "020A ", "070F ", "0302 ", "0100 ", "0101 "},
             Firma_Ejemplo);
        // The file holds raw x range factor: it is the water column as written.
        Fila("alcances 8 y 20 m, seguidos",
             Encabezado(1, 3, 4, 23, 30, 31, 12, 98) + L{"0100 "} +
                 Encabezado(2, 4, 5, 10, 7, 1, 1, 1) + L{"0FFF ", "0001 "},
             "B1 E3 n1 01/01/1999 00:00=512 01/01/1999 00:00=512 | "
             "B2 E4 n2 01/01/2001 12:00=20475 01/01/2001 14:00=5");
        Fila("cambio de siglo",
             Encabezado(0, 1, 4, 21, 0, 31, 12, 99) + L{"0001 ", "0002 ", "0003 "},
             "B1 E1 n3 31/12/1999 22:00=1 01/01/2000 00:00=3");
        Fila("bisiesto", Encabezado(0, 1, 0, 23, 55, 28, 2, 4) + L{"0001 "},
             "B1 E1 n1 29/02/2004 00:00=1 29/02/2004 00:00=1");
        Fila("vacios y luego un bloque",
             Encabezado(0, 1, 0, 0, 0, 1, 1, 1) + L{"0001 ", "FFFF "} +
                 Encabezado(0, 2, 0, 0, 0, 2, 1, 1) + L{"0002 "},
             "inc | B1 E1 n1 01/01/2001 00:05=1 01/01/2001 00:05=1 | "
             "B2 E2 n1 02/01/2001 00:05=2 02/01/2001 00:05=2");
        Fila("bloque que termina en basura",
             Encabezado(0, 1, 0, 0, 0, 1, 1, 1) + L{"0001 ", "0002 ", "1234 "},
             "inc | B1 E1 n2 01/01/2001 00:05=1 01/01/2001 00:10=2 !");
        Fila("encabezado rechazado", Encabezado(3, 1, 0, 0, 0, 1, 1, 1) + L{"0001 "}, "inc");
        // Day 0 and 31/04 pass the header test; such readings cannot be placed in time.
        Fila("dia 0", Encabezado(0, 1, 4, 10, 0, 0, 3, 2) + L{"0001 ", "0002 "},
             "sin fecha 2 | B1 E1 n0");
        Fila("31 de abril", Encabezado(0, 1, 4, 22, 0, 31, 4, 2) + L{"0001 ", "0002 "},
             "sin fecha 1 | B1 E1 n1 01/05/2002 00:00=2 01/05/2002 00:00=2");
        Fila("memoria vacia", L{}, "");
    }
    void lo_que_escribe_el_decodificador() {
        QFETCH(QList<QByteArray>, palabras);
        QFETCH(QString, firma);
        Estado estado = Memoria_Con(palabras);
        for (const char* nombre : {"DATOS.CSV", "DATOS.txt"}) {
            const QByteArray sep = QByteArray(nombre).endsWith("CSV") ? ";" : "\t";
            QVERIFY(!Analizar_Memoria(estado, nombre, sep));
            QCOMPARE(Firma(Leer_Datos_Exportados(nombre)), firma);
        }
    }

    void memoria_llena_de_un_bloque() {
        QList<QByteArray> palabras = Encabezado(1, 9, 6, 0, 0, 1, 1, 0);
        while (palabras.size() < Palabras_Memoria) palabras << W(palabras.size() % 4096);
        Estado estado = Memoria_Con(palabras);
        QVERIFY(!Analizar_Memoria(estado, "LLENA.CSV", ";"));
        const Datos_Exportados d = Leer_Datos_Exportados("LLENA.CSV");
        QCOMPARE(Firma(d), QString("B1 E9 n4091 01/01/2000 04:00=10 12/11/2001 20:00=8190"));
        QCOMPARE(d.bloques[0].lecturas_declaradas, 4091);
        QCOMPARE(d.bloques[0].alcance, QString("8  Metros"));
        QCOMPARE(d.bloques[0].intervalo, QString("4 horas"));
        QCOMPARE(d.bloques[0].inicio.toString("dd/MM/yyyy hh:mm"), QString("01/01/2000 00:00"));
    }

    void archivos_danados_o_ajenos_data() {
        Columnas<QByteArray, QString>({"contenido", "firma"});
        const QByteArray e = Ejemplo;
        Fila("vacio", QByteArray(), "error: El archivo está vacío: no hay lecturas para graficar.");
        Fila("lineas de datos sueltas", QByteArray("12;05/03/02;10:15;1234\r\n"), Foraneo);
        Fila("binario", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), Foraneo);
        Fila("solo la primera linea", e.left(36), Foraneo);
        Fila("solo el resumen", e.left(e.indexOf("Cantidad")), "");
        Fila("fin de linea LF", QByteArray(e).replace("\r\n", "\n"), Firma_Ejemplo);
        Fila("fin de linea CR", QByteArray(e).replace("\r\n", "\r"), Firma_Ejemplo);
        Fila("pasado a UTF-8 con BOM", "\xEF\xBB\xBF" + QString::fromLatin1(e).toUtf8(),
             Firma_Ejemplo);
        Fila("cortado a media lectura", e.left(e.size() - 8),
             "B1 E7 n1 15/03/2002 10:15=256 15/03/2002 10:15=256");
        Fila("separadores mezclados", e + "15/03/02  \t10:45;258\r\n",
             "B1 E7 n3 15/03/2002 10:15=256 15/03/2002 10:45=258");
        // Lines that only look like readings are no readings.
        Fila("lecturas imposibles",
             e + "15/03/02  ;10:45;-3\r\n15/03/02  ;10:45;1,5\r\n15/03/02;10:45;1;2\r\n"
                 "15/3/02;10:45;1\r\n15/03/02;10:45;9999999999\r\n15/03/02;1045;1\r\n",
             Firma_Ejemplo);
        Fila("lecturas antes de todo bloque",
             e.left(e.indexOf(" \r\n \r\nBloque")) + "01/02/03;04:05;6\r\n",
             "B0 E-1 n1 01/02/2003 04:05=6 01/02/2003 04:05=6");
        Fila("hora 24", QByteArray(e).replace(";10:30;", ";24:00;"),
             "sin fecha 1 | B1 E7 n1 15/03/2002 10:15=256 15/03/2002 10:15=256");
    }
    void archivos_danados_o_ajenos() {
        QFETCH(QByteArray, contenido);
        QTEST(Firma(Leer_Datos_Exportados(Escribir("d.csv", contenido))), "firma");
    }

    // Whatever is not a readable regular file is refused at once, without waiting on it (the
    // kinds of file are the regular-file test's; one stands for all here).
    void rutas_que_no_son_archivos_comunes() {
        QCOMPARE(Firma(Leer_Datos_Exportados(tmp_.filePath("falta.csv"))),
                 QString("error: El archivo no existe."));
        // Up to the size limit a file is read; one byte more and it is refused.
        QByteArray relleno(Tamano_Maximo_Datos - Ejemplo.size(), ' ');
        for (qsizetype i = 1; i < relleno.size(); i += 40) relleno[i - 1] = '\r', relleno[i] = '\n';
        const QString grande = tmp_.filePath("grande.csv");
        QCOMPARE(Firma(Leer_Datos_Exportados(Escribir("grande.csv", Ejemplo + relleno))),
                 Firma_Ejemplo);
        QCOMPARE(Firma(Leer_Datos_Exportados(Escribir("grande.csv", Ejemplo + relleno + ' '))),
                 QString("error: El archivo es demasiado grande para ser un archivo de datos del "
                         "limnígrafo-freatígrafo."));
        const QString fifo = tmp_.filePath("tubo.csv");
        QVERIFY(Crear_Tuberia(fifo));
        Vigia_Tuberia vigia(fifo);
        QCOMPARE(Firma(Leer_Datos_Exportados(fifo)),
                 QString("error: No es un archivo común (es una carpeta, un dispositivo o una "
                         "tubería)."));
        QVERIFY(!vigia.Disparado());
    }
};

QTEST_GUILESS_MAIN(Tst_Datos_Exportados)
#include "tst_datos_exportados.moc"
