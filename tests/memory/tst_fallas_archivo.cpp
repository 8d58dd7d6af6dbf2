#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "dobles/disco_chico.h"
#include "memory/archivos.h"
#include "memory/operacion_descarga.h"
#include "tst_descarga_volcado.h"

using namespace aq;

namespace {

void Escribir(const QString& ruta, const QByteArray& datos) {
    QFile f(ruta);
    if (f.open(QIODevice::WriteOnly)) f.write(datos);
}

}  // namespace

// The download's files on a full disk, a read-only folder and a folder gone since the choice:
// the fixed messages, the earlier good files untouched and no partial file left.
class Tst_Fallas_Archivo : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void descarga_data() {
        QTest::addColumn<QString>("carpeta");  // RAIZ, DATOS or BAK: the one that fails
        QTest::addColumn<QString>("falla");    // "lleno", "solo lectura" or "desaparece"
        QTest::addColumn<QString>("archivo");  // the file that is refused
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QStringList>("nuevos");  // the files written afresh; the rest as they were

        const QString lleno = QString::fromUtf8(
            "El disco está lleno y por esta razón \nNO SE HAN PODIDO GUARDAR LOS DATOS !!!\n");
        const QStringList resguardos = {"BAK/POZO.$%c", "RAIZ/DUMP.$$$"};
        // The decoder's work files then go to a temporary folder: the data file is written.
        QTest::newRow("resguardo, disco lleno")
            << "BAK"
            << "lleno"
            << "BAK/POZO.$%c" << lleno << QStringList{"DATOS/POZO.csv"};
        QTest::newRow("copia DUMP.$$$, disco lleno")
            << "RAIZ"
            << "lleno"
            << "RAIZ/DUMP.$$$" << lleno << QStringList{"BAK/POZO.$%c", "DATOS/POZO.csv"};
        QTest::newRow("datos, disco lleno") << "DATOS"
                                            << "lleno"
                                            << "DATOS/POZO.csv" << lleno << resguardos;
        QTest::newRow("resguardo, solo lectura")
            << "BAK"
            << "solo lectura"
            << "BAK/POZO.$%c"
            << "Permiso denegado." << QStringList{"DATOS/POZO.csv"};
        QTest::newRow("datos, solo lectura") << "DATOS"
                                             << "solo lectura"
                                             << "DATOS/POZO.csv"
                                             << "Permiso denegado." << resguardos;
        QTest::newRow("datos, carpeta desaparecida")
            << "DATOS"
            << "desaparece"
            << "DATOS/POZO.csv"
            << QString::fromUtf8("No existe el directorio solicitado.\nCréelo y vuelva a intentar")
            << resguardos;
    }

    void descarga() {
        QFETCH(QString, carpeta);
        QFETCH(QString, falla);
        QFETCH(QString, archivo);
        QTemporaryDir tmp;
        const QString viejo = "lectura anterior\r\n";
        std::unique_ptr<Disco_Chico> fs;
        for (const char* d : {"RAIZ", "DATOS", "BAK"}) {
            if (d == carpeta && falla != "desaparece") {
                fs = std::make_unique<Disco_Chico>(tmp.filePath(d));
                if (!fs->Listo()) QSKIP("no tmpfs can be mounted here (needs root)");
            } else {
                QDir(tmp.path()).mkdir(d);
            }
        }
        // The good files of an earlier download, the backup protected as the program leaves it.
        for (const char* f : {"BAK/POZO.$%c", "RAIZ/DUMP.$$$", "DATOS/POZO.csv"})
            Escribir(tmp.filePath(f), viejo.toLatin1());
        QFile::setPermissions(tmp.filePath("BAK/POZO.$%c"), QFileDevice::ReadOwner);
        if (falla == "lleno") fs->Llenar();
        if (falla == "solo lectura") QVERIFY(fs->Solo_Lectura());
        if (falla == "desaparece") QVERIFY(QDir(tmp.filePath("DATOS")).removeRecursively());

        Banco_Operaciones b;
        b.estado.Directorio_Raiz = tmp.filePath("RAIZ");
        b.estado.Directorio_Datos = tmp.filePath("DATOS");
        b.estado.Directorio_Bak = tmp.filePath("BAK");
        b.puerto.Responder_Enlace();
        // Enough readings that no file fits in what a full disk still finds room for.
        QList<QByteArray> palabras = Bloque_Ejemplo();
        while (palabras.size() < 4000) palabras << "0123";
        b.puerto.al_escribir = [&](const QByteArray& c) {
            if (c == "DDD") b.puerto.Entregar(Volcado_De(palabras), 0.2);
        };
        QStringList mensajes;
        Seguimiento_Descarga s;
        s.falla_respaldo = s.falla_archivo = [&](const Falla_En_Archivo& f) {
            mensajes << QDir::fromNativeSeparators(f.ruta) + ": " + Mensaje_Error_Archivo(f.tipo);
        };
        const Resultado_Descarga r = Descargar_Memoria(b.ctx, tmp.filePath("DATOS/POZO.csv"), s);
        QDir::setCurrent(QDir::tempPath());

        QVERIFY(r.enlace && !r.corta && r.checksum_bueno);
        QFETCH(QString, mensaje);
        QVERIFY2(mensajes.contains(tmp.filePath(archivo) + ": " + mensaje),
                 qPrintable(mensajes.join('|')));
        QFETCH(QStringList, nuevos);
        // Erasing stays refused unless the backup and its copy are on disk.
        QCOMPARE(b.estado.Memoria_Leida, nuevos.contains("RAIZ/DUMP.$$$"));

        // What was not written afresh is as it was (or, in a vanished folder, not there at all).
        const QByteArray respaldo = Leer(tmp.filePath("BAK/POZO.$%c"));
        for (const QString f : {"BAK/POZO.$%c", "RAIZ/DUMP.$$$", "DATOS/POZO.csv"}) {
            const QByteArray ahora = Leer(tmp.filePath(f));
            if (!nuevos.contains(f))
                QVERIFY2(ahora == viejo.toLatin1() || (falla == "desaparece" && ahora.isEmpty()),
                         qPrintable(f));
            else if (f.endsWith(".csv"))
                QVERIFY2(ahora.contains("Cantidad total de lecturas registradas:  3995\r\n"),
                         qPrintable(f));
            else
                QVERIFY2(ahora.startsWith("AA55 \r\n0007 \r\n") && ahora == respaldo,
                         qPrintable(f));
        }
        QVERIFY(!(QFileInfo(tmp.filePath("BAK/POZO.$%c")).permissions() & QFileDevice::WriteOwner));
        // No half-written file beside them, nor work files of a failed decoding.
        if (falla == "lleno") fs->Vaciar();
        for (const QString d : {"RAIZ", "DATOS", "BAK"})
            for (const QString& n : QDir(tmp.filePath(d)).entryList(QDir::Files))
                QVERIFY2(QStringList({"POZO.$%c", "DUMP.$$$", "POZO.csv", "temp.tmp"}).contains(n),
                         qPrintable(d + "/" + n));
    }
};

QTEST_GUILESS_MAIN(Tst_Fallas_Archivo)
#include "tst_fallas_archivo.moc"
