#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "memory/decodificador.h"
#include "memory/resguardo.h"

using namespace aq;

class Tst_Cli_Expandir : public QObject {
    Q_OBJECT

    QTemporaryDir* dir = nullptr;
    QString anterior;
    Estado estado;

    // A backup as the download writes it: elements 0..4097, one record each.
    void Escribir_Resguardo(const QString& nombre, int lineas, const QByteArray& fin = "\r\n") {
        QFile f(nombre);
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < lineas; ++i) f.write(estado.Imagen_Memoria[i] + fin);
    }

    struct Resultado {
        int estado;
        QString error;
    };
    Resultado Ejecutar(const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(dir->path());
        p.start(QStringLiteral(AQ_BINARIOS "/cli/aqtide-cli"), QStringList{"expandir"} + args);
        if (!p.waitForFinished(20000)) return {-1, "no terminó"};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }

    QByteArray Leer(const QString& nombre) {
        QFile f(nombre);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

  private Q_SLOTS:
    void init() {
        dir = new QTemporaryDir;
        anterior = QDir::currentPath();
        QDir::setCurrent(dir->path());
        estado = Estado();
        for (int i = 0; i < Palabras_Memoria; ++i) estado.Imagen_Memoria[i] = "FFFF ";
        const QList<QByteArray> datos = {"AA55 ", "0107 ", "020A ", "070F ", "0302 ",
                                         "0100 ", "0FFF ", "AA55 ", "0208 ", "0517 ",
                                         "1E1C ", "0263 ", "0001 ", "0abc "};
        for (int i = 0; i < datos.size(); ++i) estado.Imagen_Memoria[i] = datos[i];
        estado.Imagen_Memoria[4096] = "1234 ";
        estado.Imagen_Memoria[4097] = "\r\n";
    }
    void cleanup() {
        QDir::setCurrent(anterior);
        delete dir;
    }

    void expande_como_el_decodificador() {
        Escribir_Resguardo("POZO3.$%c", 4098);
        QVERIFY(Analizar_Memoria(estado, "directo.csv", ";", nullptr));
        QVERIFY(Analizar_Memoria(estado, "directo.txt", "\t", nullptr));

        Resultado r = Ejecutar({"POZO3.$%c", "SALIDA.CSV"});
        QCOMPARE(r.estado, 0);
        QCOMPARE(r.error, QString());
        QCOMPARE(Leer("SALIDA.CSV"), Leer("directo.csv"));
        QVERIFY(Leer("directo.csv").contains("15/03/02  ;10:30;8190"));

        Escribir_Resguardo("lf.bak", 4096, "\n");
        r = Ejecutar({"lf.bak", "salida.txt"});
        QCOMPARE(r.estado, 0);
        QCOMPARE(Leer("salida.txt"), Leer("directo.txt"));
        QCOMPARE(QDir().entryList({"*.KVX"}, QDir::Files), QStringList());
    }

    void resguardo_corto_o_ausente() {
        Escribir_Resguardo("corto.bak", 4095);
        Resultado r = Ejecutar({"corto.bak", "s.csv"});
        QCOMPARE(r.estado, 1);
        QVERIFY2(r.error.contains(QString::fromUtf8("Tiene 4095 líneas")), qPrintable(r.error));

        std::vector<QByteArray> imagen(Elementos_Imagen, "x");
        QString error;
        QVERIFY(!Leer_Resguardo("corto.bak", imagen, &error));
        QCOMPARE(imagen[0], QByteArray("x"));  // untouched

        r = Ejecutar({"no-esta.bak", "s.csv"});
        QCOMPARE(r.estado, 1);
        QVERIFY(r.error.contains("El archivo seleccionado no existe"));
    }

    void falla_al_escribir() {
        Escribir_Resguardo("r.bak", 4098);
        const Resultado r = Ejecutar({"r.bak", "falta/s.csv"});
        QCOMPARE(r.estado, 1);
        QCOMPARE(r.error, QString::fromUtf8("No existe el directorio solicitado.\n"
                                            "Créelo y vuelva a intentar\n"));
    }

    void uso() {
        QCOMPARE(Ejecutar({}).estado, 2);
        QCOMPARE(Ejecutar({"r.bak"}).estado, 2);
        QCOMPARE(Ejecutar({"a", "b", "c"}).estado, 2);
    }
};

QTEST_GUILESS_MAIN(Tst_Cli_Expandir)
#include "tst_cli_expandir.moc"
