#include <QtTest>

#include "memory/decodificador.h"
#include "memory/descarga.h"
#include "tst_descarga_volcado.h"

using namespace aq;

class Tst_Cli_Expandir : public QObject {
    Q_OBJECT

    static int Expandir(const QStringList& args) {
        return QProcess::execute(AQ_BINARIOS "/cli/aqtide-cli", QStringList{"expandir"} + args);
    }
    static bool Escribir(QFile&& f, const QByteArray& t) {
        return f.open(QIODevice::WriteOnly) && f.write(t) == t.size();
    }

  private Q_SLOTS:
    // The backup a download leaves, read back with CR LF or LF ends, decodes as the image did;
    // a short backup or an output folder that is missing ends in failure.
    void expande_como_el_decodificador() {
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        Estado estado;
        Dividir_Volcado(Volcado_De(Bloque_Ejemplo()), estado.Imagen_Memoria);
        QVERIFY(!Guardar_Respaldo(estado.Imagen_Memoria, "POZO3.$%c", dir.path()));
        QVERIFY(Escribir(QFile("lf.bak"), Leer("POZO3.$%c").replace("\r\n", "\n")));
        QVERIFY(Escribir(QFile("corto.bak"), Leer("lf.bak").left(6 * 4095)));
        QVERIFY(!Analizar_Memoria(estado, "directo.csv", ";"));
        QCOMPARE(Expandir({"POZO3.$%c", "SALIDA.CSV"}), 0);
        QCOMPARE(Expandir({"lf.bak", "lf.csv"}), 0);
        QCOMPARE(Leer("SALIDA.CSV"), Leer("directo.csv"));
        QCOMPARE(Leer("lf.csv"), Leer("directo.csv"));
        QCOMPARE(Expandir({"corto.bak", "s.csv"}), 1);
        QCOMPARE(Expandir({"lf.bak", "falta/s.csv"}), 1);
        QCOMPARE(Expandir({"lf.bak"}), 2);  // usage
        QDir::setCurrent(QDir::tempPath());
    }
};

QTEST_GUILESS_MAIN(Tst_Cli_Expandir)
#include "tst_cli_expandir.moc"
