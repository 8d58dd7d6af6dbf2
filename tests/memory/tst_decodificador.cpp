#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <system_error>

#include "dobles/dialogos_guionados.h"
#include "memory/archivos.h"
#include "memory/decodificador.h"

using namespace aq;

namespace {

QByteArray W(int valor) {
    return QByteArray::number(valor, 16).toUpper().rightJustified(4, '0') + ' ';
}

// Header words for a block: range, equipment, interval, hh:mm, dd/mm/yy.
QList<QByteArray> Encabezado(int alcance, int equipo, int intervalo, int hora, int minuto, int dia,
                             int mes, int anio) {
    return {"AA55 ", W(alcance * 256 + equipo), W(intervalo * 256 + hora), W(minuto * 256 + dia),
            W(mes * 256 + anio)};
}

// Expected file text: UTF-8 source lines to Latin-1, each ended by CR LF.
QByteArray Lineas(const QStringList& lineas) {
    QByteArray r;
    for (const QString& l : lineas) r += l.toLatin1() + "\r\n";
    return r;
}

}  // namespace

class Tst_Decodificador : public QObject {
    Q_OBJECT

    QTemporaryDir* dir = nullptr;
    QString anterior;
    Estado estado;
    Dialogos_Guionados avisos;

    void Poner(int desde, const QList<QByteArray>& palabras) {
        for (int k = 0; k < palabras.size(); ++k) estado.Imagen_Memoria[desde + k] = palabras[k];
    }

    QByteArray Decodificar(const QByteArray& separador = ";") {
        [&] { QVERIFY(Analizar_Memoria(estado, "salida.csv", separador, &avisos)); }();
        QFile f("salida.csv");
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    QList<QByteArray> Informe(const QByteArray& salida) {
        QList<QByteArray> l = salida.split('\n');
        for (QByteArray& x : l) x.chop(1);  // CR
        l.removeLast();
        return l;
    }

  private Q_SLOTS:
    void init() {
        dir = new QTemporaryDir;
        anterior = QDir::currentPath();
        QDir::setCurrent(dir->path());
        estado = Estado();
        for (int i = 0; i < Palabras_Memoria; ++i) estado.Imagen_Memoria[i] = "FFFF ";
        avisos.cajas.clear();
    }
    void cleanup() {
        QDir::setCurrent(anterior);
        delete dir;
    }

    void ejemplo_resuelto() {
        Poner(0, {"AA55 ", "0007 ", "020A ", "070F ", "0302 ", "0100 ", "0101 "});
        QFile otro("VIEJO.KVX");
        otro.open(QIODevice::WriteOnly);
        otro.close();

        const QStringList cabeza = {"Información resumida de los datos ",
                                    "registrados en la memoria.",
                                    " ",
                                    " ",
                                    "Cantidad de bloques de datos:  1",
                                    "Cantidad total de lecturas registradas:  2",
                                    "Cantidad de lugares vacíos:  4089",
                                    " ",
                                    " ",
                                    " ",
                                    " ",
                                    "Bloque de datos Nº:  1",
                                    " ",
                                    "Datos Del Bloque:  2",
                                    "Alcance:  4  Metros ",
                                    "Equipo Nº:  7",
                                    "Intervalo entre lecturas:  15 minutos",
                                    "Inicio del bloque:  15/03/02  10:07",
                                    "",
                                    ""};
        const QByteArray esperado =
            Lineas(cabeza + QStringList{"15/03/02  ;10:15;256", "15/03/02  ;10:30;257"});
        QVERIFY(esperado.contains("N\xBA:  1"));
        QCOMPARE(Decodificar(";"), esperado);
        QCOMPARE(estado.Cantidad_Bloques, qint16(1));
        QCOMPARE(estado.Total_Lecturas, qint16(2));
        QCOMPARE(estado.Lugares_Vacios, qint16(4089));
        QVERIFY(avisos.cajas.isEmpty());
        QCOMPARE(QDir().entryList({"*.KVX"}, QDir::Files), QStringList());

        QCOMPARE(Decodificar("\t"),
                 Lineas(cabeza + QStringList{"15/03/02  \t10:15\t256", "15/03/02  \t10:30\t257"}));
    }

    void memoria_vacia() {
        const QByteArray s = Decodificar();
        QCOMPARE(Informe(s).size(), 9);
        QVERIFY(!s.contains("inconsistencias"));
        QCOMPARE(estado.Cantidad_Bloques, qint16(0));
        QCOMPARE(estado.Total_Lecturas, qint16(0));
        QCOMPARE(estado.Lugares_Vacios, qint16(4096));
    }

    void memoria_llena_hasta_el_final() {
        Poner(0, Encabezado(2, 1, 6, 0, 0, 1, 1, 0));
        for (int i = 5; i < Palabras_Memoria; ++i) estado.Imagen_Memoria[i] = "0FFF ";
        const QList<QByteArray> l = Informe(Decodificar());
        QVERIFY(!l.contains("Memoria con inconsistencias "));
        QVERIFY(l.contains("Datos Del Bloque:  4091"));
        QCOMPARE(l.last(), QByteArray("12/11/01  ;20:00;20475"));  // 4091 readings of 4 h
        QCOMPARE(estado.Total_Lecturas, qint16(4091));
        QCOMPARE(estado.Lugares_Vacios, qint16(0));
    }

    void bloques_seguidos_y_vacios_intermedios() {
        Poner(0, Encabezado(1, 3, 4, 23, 30, 31, 12, 99) + QList<QByteArray>{"0001 "});
        Poner(6, Encabezado(0, 4, 5, 10, 7, 1, 1, 1) + QList<QByteArray>{"0002 "});
        Poner(20, Encabezado(0, 5, 0, 0, 0, 1, 1, 1) + QList<QByteArray>{"0003 "});
        const QList<QByteArray> l = Informe(Decodificar());
        QCOMPARE(estado.Cantidad_Bloques, qint16(3));
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
        const QList<QByteArray> l = Informe(Decodificar());
        QCOMPARE(l.mid(10, 1), QList<QByteArray>{"Encabezador de bloque inconsistente "});
        QCOMPARE(estado.Cantidad_Bloques, qint16(2));
        QCOMPARE(estado.Total_Lecturas, qint16(2));  // "0123" short but in range
        QCOMPARE(l.count("Bloque con inconsistencias "), 2);
        QCOMPARE(l.count("Dato inconsistente "), 2);
        const int b1 = l.indexOf("Bloque de datos N\xBA:  1");
        QCOMPARE(l.mid(b1 + 2, 4), (QList<QByteArray>{"Datos Del Bloque:  1", " ",
                                                      "Bloque con inconsistencias ", " "}));
        QCOMPARE(l[l.indexOf("Dato inconsistente ") - 1], QByteArray("01/01/01  ;10:05;291"));
        QVERIFY(!Es_Lectura("0000"));
        QVERIFY(!Es_Lectura("0:00 "));
        QVERIFY(Es_Lectura("0000 "));
        QVERIFY(!Es_Lectura("0FFF  "));
        QVERIFY(!Es_Lectura("1000 "));
    }

    void encabezado_invalido_data() {
        QTest::addColumn<int>("palabra");
        QTest::addColumn<int>("valor");
        QTest::addColumn<bool>("pasa");
        QTest::newRow("alcance 3") << 1 << 0x03FF << false;
        QTest::newRow("alcance 2") << 1 << 0x02FF << true;
        QTest::newRow("intervalo 7") << 2 << 0x0700 << false;
        QTest::newRow("hora 24") << 2 << 0x0618 << false;
        QTest::newRow("hora 23") << 2 << 0x0617 << true;
        QTest::newRow("minuto 60") << 3 << 0x3C01 << false;
        QTest::newRow("dia 32") << 3 << 0x3B20 << false;
        QTest::newRow("minuto 59 dia 0") << 3 << 0x3B00 << true;
        QTest::newRow("mes 13") << 4 << 0x0D00 << false;
        QTest::newRow("anio 100") << 4 << 0x0C64 << false;
        QTest::newRow("byte alto 128") << 4 << 0x8001 << false;
        QTest::newRow("minusculas") << 4 << -1 << false;
    }
    void encabezado_invalido() {
        QFETCH(int, palabra);
        QFETCH(int, valor);
        QFETCH(bool, pasa);
        Poner(0, Encabezado(0, 1, 0, 0, 0, 1, 1, 1) + QList<QByteArray>{"0001 ", "0002 "});
        estado.Imagen_Memoria[palabra] = valor < 0 ? QByteArray("0c01 ") : W(valor);
        Poner(7, Encabezado(0, 9, 0, 0, 0, 1, 1, 1) + QList<QByteArray>{"0003 "});
        const QList<QByteArray> l = Informe(Decodificar());
        QCOMPARE(estado.Cantidad_Bloques, qint16(pasa ? 2 : 1));
        QCOMPARE(l.contains("Encabezador de bloque inconsistente "), !pasa);
        QCOMPARE(estado.Total_Lecturas, qint16(pasa ? 3 : 1));  // skipped up to the next marker
        QCOMPARE(l.contains("Equipo N\xBA:  9"), true);
    }

    void marca_sin_lugar() {
        Poner(4091, Encabezado(0, 1, 0, 0, 0, 1, 1, 1));
        int i = 4091;
        QVERIFY(!Validar_Encabezado(estado.Imagen_Memoria, i));
        QCOMPARE(i, 4092);
        QVERIFY(Informe(Decodificar()).contains("Encabezador de bloque inconsistente "));
        QCOMPARE(estado.Cantidad_Bloques, qint16(0));

        Poner(4090, Encabezado(0, 1, 0, 0, 0, 1, 1, 1) + QList<QByteArray>{"0001 "});
        i = 4090;
        QVERIFY(Validar_Encabezado(estado.Imagen_Memoria, i));
        QCOMPARE(i, 4095);
    }

    void calendario_data() {
        QTest::addColumn<QList<int>>("desde");  // dd mm yy hh mi
        QTest::addColumn<int>("intervalo");
        QTest::addColumn<QList<int>>("hasta");
        QTest::newRow("fin de febrero")
            << QList<int>{28, 2, 1, 23, 55} << 0 << QList<int>{1, 3, 1, 0, 0};
        QTest::newRow("bisiesto") << QList<int>{28, 2, 4, 23, 55} << 0
                                  << QList<int>{29, 2, 4, 0, 0};
        QTest::newRow("29 bisiesto")
            << QList<int>{29, 2, 0, 23, 30} << 3 << QList<int>{1, 3, 0, 0, 0};
        QTest::newRow("una hora") << QList<int>{30, 4, 9, 23, 30} << 4 << QList<int>{1, 5, 9, 0, 0};
        QTest::newRow("31 de mes largo")
            << QList<int>{30, 1, 9, 22, 0} << 5 << QList<int>{31, 1, 9, 0, 0};
        QTest::newRow("fin de anio")
            << QList<int>{31, 12, 99, 23, 0} << 6 << QList<int>{1, 1, 0, 0, 0};
        QTest::newRow("10 min") << QList<int>{1, 1, 1, 10, 7} << 1 << QList<int>{1, 1, 1, 10, 10};
        QTest::newRow("15 en punto")
            << QList<int>{1, 1, 1, 10, 15} << 2 << QList<int>{1, 1, 1, 10, 30};
        QTest::newRow("2 h") << QList<int>{1, 1, 1, 10, 7} << 5 << QList<int>{1, 1, 1, 12, 0};
        QTest::newRow("codigo 7") << QList<int>{1, 1, 1, 10, 7} << 7 << QList<int>{1, 1, 1, 10, 7};
    }
    void calendario() {
        QFETCH(QList<int>, desde);
        QFETCH(int, intervalo);
        QFETCH(QList<int>, hasta);
        Avanzar_Intervalo(desde[0], desde[1], desde[2], desde[3], desde[4], intervalo);
        QCOMPARE(desde, hasta);
    }

    void falla_de_archivo() {
        QVERIFY(!Analizar_Memoria(estado, "no/existe/salida.csv", ";", &avisos));
        QCOMPARE(avisos.cajas.size(), 1);
        QCOMPARE(
            avisos.cajas[0].texto,
            QString::fromUtf8("No existe el directorio solicitado.\nCréelo y vuelva a intentar"));
        QCOMPARE(avisos.cajas[0].icono, Icono::Ninguno);
        QCOMPARE(avisos.cajas[0].botones, Botones::Aceptar);
        QCOMPARE(avisos.cajas[0].titulo, Titulo_Aplicacion);

        QVERIFY(!Analizar_Memoria(estado, "COM$$QTW.KVX", ";", nullptr));
        QVERIFY(!Analizar_Memoria(estado, ".", ";", &avisos));
        QCOMPARE(avisos.cajas.last().texto,
                 Mensaje_Error_Archivo(Falla_Archivo::Nombre_Incorrecto));

        // An output named like the work files survives their removal.
        QVERIFY(Analizar_Memoria(estado, "resumen.kvx", ";", &avisos));
        QVERIFY(QFile::exists("resumen.kvx"));
        QVERIFY(!QFile::exists(Archivo_Bloque));
    }

    void clases_de_falla() {
        auto clase = [](const QString& ruta, Operacion_Archivo op, QFileDevice::FileError e,
                        std::errc n) { return Clasificar_Falla_Archivo(ruta, op, e, int(n)); };
        const auto abrir = Operacion_Archivo::Abrir_Escritura;
        QCOMPARE(clase("x.csv", abrir, QFileDevice::OpenError, std::errc::permission_denied),
                 Falla_Archivo::Permiso_Denegado);
        QCOMPARE(clase("x.csv", abrir, QFileDevice::OpenError, std::errc::read_only_file_system),
                 Falla_Archivo::Permiso_Denegado);
        QCOMPARE(clase("x.csv", abrir, QFileDevice::OpenError, std::errc::text_file_busy),
                 Falla_Archivo::Archivo_Abierto);
        QCOMPARE(clase("x.csv", abrir, QFileDevice::OpenError, std::errc::filename_too_long),
                 Falla_Archivo::Nombre_Incorrecto);
        QCOMPARE(clase("x.csv", abrir, QFileDevice::OpenError, std::errc::io_error),
                 Falla_Archivo::Disco_No_Lista);
        // A stale errno does not outweigh what the file system shows.
        QCOMPARE(clase("falta/x.csv", abrir, QFileDevice::OpenError, std::errc::io_error),
                 Falla_Archivo::Ruta_Inexistente);
        QCOMPARE(
            clase("x.csv", Operacion_Archivo::Escribir, QFileDevice::ResourceError, std::errc{}),
            Falla_Archivo::Disco_Lleno);
        QCOMPARE(clase("x.csv", abrir, QFileDevice::OpenError, std::errc{}), Falla_Archivo::Otra);
        QVERIFY(Mensaje_Error_Archivo(Falla_Archivo::Otra).startsWith("No se pudo usar"));
    }

    void disco_lleno() {
        QFile lleno("/dev/full");
        if (!lleno.open(QIODevice::WriteOnly)) QSKIP("no /dev/full here");
        lleno.close();
        QVERIFY(!Analizar_Memoria(estado, "/dev/full", ";", &avisos));
        QCOMPARE(avisos.cajas.size(), 1);
        QCOMPARE(avisos.cajas[0].texto,
                 QString::fromUtf8("El disco está lleno y por esta razón \n"
                                   "NO SE HAN PODIDO GUARDAR LOS DATOS !!!\n"));
        QVERIFY(QFile::exists(Archivo_Bloque));  // left in place after a failure
        QVERIFY(QFile::exists(Archivo_Informe));
    }
};

QTEST_GUILESS_MAIN(Tst_Decodificador)
#include "tst_decodificador.moc"
