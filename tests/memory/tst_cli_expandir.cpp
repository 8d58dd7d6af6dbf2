#include <QtTest>

#include "dobles/tabla.h"
#include "dobles/tuberia.h"
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
        QCOMPARE(Expandir({"corto.bak", "s.csv"}), 3);
        QCOMPARE(Expandir({"lf.bak", "falta/s.csv"}), 3);
        QCOMPARE(Expandir({"lf.bak"}), 2);  // usage
        QDir::setCurrent(QDir::tempPath());
    }

    void fallas_de_archivo_data() {
        // salida: the output argument; estado: the exit status; mensaje: the start of stderr
        Columnas<QString, QString, int, QString>({"caso", "salida", "estado", "mensaje"});
        Fila("trabajo imposible junto a la salida: a otra carpeta", "trabajo", "salida/s.csv", 0,
             "");
        Fila("carpeta de salida de solo lectura", "salida_ro", "salida/s.csv", 3,
             "salida/s.csv: Permiso denegado.");
        Fila("carpeta que desapareció", "sin_carpeta", "salida/s.csv", 3,
             "salida/s.csv: No existe el directorio solicitado.");
        Fila("enlace a /dev/full", "dev_full", "salida/s.csv", 3,
             "salida/s.csv: No es un archivo común");
        Fila("resguardo en tubería", "tuberia", "salida/s.csv", 3, "r.bak: No es un archivo común");
        Fila("la salida es el resguardo", "", "r.bak", 3,
             "r.bak: Es uno de los archivos que se están leyendo.");
        Fila("la salida es el resguardo con otro nombre", "enlace_duro", "salida/s.csv", 3,
             "salida/s.csv: Es uno de los archivos que se están leyendo.");
    }
    // A failure leaves the output folder as it was: no empty or partial output, an earlier
    // output (or the backup) intact, no temporary file; the tool says why and ends with status 3.
    void fallas_de_archivo() {
        QFETCH(QString, caso);
        QFETCH(QString, salida);
        QFETCH(int, estado);
        QFETCH(QString, mensaje);
        QTemporaryDir tmp;
        QDir dir(tmp.path());
        QVERIFY(dir.mkdir("salida") && dir.mkdir("trabajo"));
        const QByteArray resguardo = Volcado_De(Bloque_Ejemplo()).replace(' ', " \r\n");
        QVERIFY(Escribir(QFile(dir.filePath("r.bak")), resguardo));
        QVERIFY(Escribir(QFile(dir.filePath("salida/s.csv")), "anterior"));
        // Root ignores permissions: the tool then runs as nobody.
        QStringList programa{AQ_BINARIOS "/cli/aqtide-cli"};
        if (caso.endsWith("_ro")) {
            QProcess id;
            id.start("id", {"-u"});
            QVERIFY(id.waitForFinished());
            if (id.readAll().trimmed() == "0") {
                if (QStandardPaths::findExecutable("setpriv").isEmpty()) QSKIP("sin setpriv");
                programa = QStringList{"setpriv", "--reuid=65534", "--regid=65534",
                                       "--clear-groups", "--"} +
                           programa;
                for (const QString& d : {tmp.path(), dir.filePath("trabajo")})
                    QVERIFY(QFile::setPermissions(d, QFileDevice::Permissions(0x7777)));
                QVERIFY(QFile::setPermissions(dir.filePath("salida/s.csv"),
                                              QFileDevice::Permissions(0x6666)));
            }
            QVERIFY(
                QFile::setPermissions(dir.filePath("salida"), QFileDevice::Permissions(0x5555)));
        }
        if (caso == "trabajo") QVERIFY(dir.mkdir("salida/DAT$$QTW.KVX"));
        if (caso == "sin_carpeta") QVERIFY(QDir(dir.filePath("salida")).removeRecursively());
        if (caso == "dev_full") {
            QVERIFY(QFile::remove(dir.filePath("salida/s.csv")));
            QVERIFY(QFile::link("/dev/full", dir.filePath("salida/s.csv")));
        }
        if (caso == "enlace_duro") {
            QVERIFY(QFile::remove(dir.filePath("salida/s.csv")));
            QVERIFY(QProcess::execute("ln",
                                      {dir.filePath("r.bak"), dir.filePath("salida/s.csv")}) == 0);
        }
        if (caso == "tuberia") QVERIFY(Crear_Tuberia(dir.filePath("r.bak")));
        const auto en = [&](const char* carpeta) {
            return QDir(dir.filePath(carpeta))
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden);
        };
        const QStringList antes = en("salida");

        Vigia_Tuberia vigia(dir.filePath("r.bak"));
        QProcess p;
        p.setWorkingDirectory(dir.filePath("trabajo"));
        p.start(programa.first(),
                programa.mid(1) + QStringList{"expandir", "../r.bak", "../" + salida});
        QVERIFY(p.waitForFinished(20000));
        QVERIFY(!vigia.Disparado());
        const QString dicho = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), estado);
        QVERIFY2(mensaje.isEmpty() ? dicho.isEmpty() : dicho.startsWith("../" + mensaje),
                 qPrintable(dicho));
        QCOMPARE(en("salida"), antes);
        if (caso == "dev_full")
            QCOMPARE(QFileInfo(dir.filePath("salida/s.csv")).symLinkTarget(), QString("/dev/full"));
        else if (caso == "trabajo")
            QVERIFY(Leer(dir.filePath("salida/s.csv")).startsWith("Informaci"));
        else if (caso != "sin_carpeta" && caso != "enlace_duro" && salida != "r.bak")
            QCOMPARE(Leer(dir.filePath("salida/s.csv")), QByteArray("anterior"));
        if (caso != "tuberia") QCOMPARE(Leer(dir.filePath("r.bak")), resguardo);
        // Nothing in the process's own folder, nor left behind anywhere.
        QVERIFY(en("trabajo").isEmpty());
        QFile::setPermissions(dir.filePath("salida"), QFileDevice::Permissions(0x7777));
    }
};

QTEST_GUILESS_MAIN(Tst_Cli_Expandir)
#include "tst_cli_expandir.moc"
