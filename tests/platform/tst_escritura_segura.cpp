#include <unistd.h>
#include <QLocalServer>

#include <QtTest>

#include "dobles/disco_chico.h"
#include "dobles/tuberia.h"
#include "platform/escritura_segura.h"

using namespace aq;

Q_DECLARE_METATYPE(aq::Falla_Archivo)

namespace {

QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(ausente)");
}

void Escribir(const QString& ruta, const QByteArray& datos) {
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(datos) == datos.size());
}

}  // namespace

// The one writer of kept files: what it refuses, what it replaces, and that the earlier file
// survives every failure.
class Tst_Escritura_Segura : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    QLocalServer enchufe_;
    QString Ruta(const QString& nombre) const { return tmp_.filePath(nombre); }

  private Q_SLOTS:
    void init() {
        for (const QString& n : QDir(tmp_.path())
                                    .entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                               QDir::NoDotAndDotDot)) {
            if (QFileInfo(Ruta(n)).isDir() && !QFileInfo(Ruta(n)).isSymLink())
                QDir(Ruta(n)).removeRecursively();
            else
                QFile::remove(Ruta(n));
        }
        enchufe_.close();
        Escribir(Ruta("entrada.$%c"), "AA55 \r\n");
        Escribir(Ruta("previo.txt"), "anterior");
    }

    void destino_data() {
        QTest::addColumn<QString>("preparar");
        QTest::addColumn<QString>("destino");
        QTest::addColumn<Falla_Archivo>("falla");
        QTest::addColumn<QString>("queda");  // what the target then reads

        const Falla_Archivo bien = Falla_Archivo::Ninguna;
        QTest::newRow("nuevo") << ""
                               << "nuevo.txt" << bien << "nuevo";
        QTest::newRow("reemplaza") << ""
                                   << "previo.txt" << bien << "nuevo";
        QTest::newRow("solo lectura: reemplazado y aún protegido")
            << "protegido"
            << "previo.txt" << bien << "nuevo";
        QTest::newRow("enlace a un archivo: el enlace se reemplaza")
            << "enlace previo"
            << "enlace.txt" << bien << "nuevo";
        QTest::newRow("enlace roto") << "enlace roto"
                                     << "enlace.txt" << bien << "nuevo";
        QTest::newRow("tubería") << "tubería"
                                 << "x.txt" << Falla_Archivo::No_Regular << "(ausente)";
        QTest::newRow("socket") << "socket"
                                << "s.txt" << Falla_Archivo::No_Regular << "(ausente)";
        QTest::newRow("carpeta") << "carpeta"
                                 << "c.txt" << Falla_Archivo::No_Regular << "(ausente)";
        QTest::newRow("dispositivo") << ""
                                     << "/dev/null" << Falla_Archivo::No_Regular << "";
        QTest::newRow("enlace a un dispositivo") << "enlace nulo"
                                                 << "enlace.txt" << Falla_Archivo::No_Regular << "";
        QTest::newRow("la entrada misma")
            << ""
            << "entrada.$%c" << Falla_Archivo::Es_Entrada << "AA55 \r\n";
        QTest::newRow("la entrada por otro nombre (enlace duro)")
            << "enlace duro"
            << "otro.txt" << Falla_Archivo::Es_Entrada << "AA55 \r\n";
        QTest::newRow("la entrada tras un enlace")
            << "enlace entrada"
            << "enlace.txt" << Falla_Archivo::Es_Entrada << "AA55 \r\n";
        QTest::newRow("carpeta inexistente")
            << ""
            << "falta/nuevo.txt" << Falla_Archivo::Ruta_Inexistente << "(ausente)";
        QTest::newRow("sin nombre") << ""
                                    << "carpeta/" << Falla_Archivo::Nombre_Incorrecto << "";
    }

    void destino() {
        QFETCH(QString, preparar);
        QFETCH(QString, destino);
        const QString ruta = destino.startsWith('/') ? destino : Ruta(destino);
        if (preparar == "protegido") QFile::setPermissions(ruta, QFileDevice::ReadOwner);
        if (preparar == "enlace previo") QVERIFY(QFile::link(Ruta("previo.txt"), ruta));
        if (preparar == "enlace roto") QVERIFY(QFile::link(Ruta("no-existe"), ruta));
        if (preparar == "enlace nulo") QVERIFY(QFile::link("/dev/null", ruta));
        if (preparar == "enlace entrada") QVERIFY(QFile::link(Ruta("entrada.$%c"), ruta));
        if (preparar == "enlace duro")
            QVERIFY(::link(qPrintable(Ruta("entrada.$%c")), qPrintable(ruta)) == 0);
        if (preparar == "tubería") QVERIFY(Crear_Tuberia(ruta));
        if (preparar == "socket") QVERIFY(enchufe_.listen(ruta));
        if (preparar == "carpeta") QVERIFY(QDir().mkdir(ruta));
        const QFileInfo antes(ruta);

        const Falla_En_Archivo f = Reemplazar_Archivo(ruta, "nuevo", {Ruta("entrada.$%c")});

        QFETCH(Falla_Archivo, falla);
        QFETCH(QString, queda);
        QCOMPARE(f.tipo, falla);
        if (f) QCOMPARE(f.ruta, ruta);
        if (!queda.isEmpty() && preparar != "tubería" && preparar != "socket")
            QCOMPARE(Leer(ruta), queda.toLatin1());
        // Whatever was refused stands as it was; a link is never written through.
        if (f) {
            QCOMPARE(QFileInfo(ruta).isSymLink(), antes.isSymLink());
            QCOMPARE(QFileInfo(ruta).isFile(), antes.isFile());
        } else {
            QVERIFY(!QFileInfo(ruta).isSymLink());
        }
        QCOMPARE(Leer(Ruta("previo.txt")),
                 QByteArray(preparar == "" && destino == "previo.txt" ? "nuevo"
                            : preparar == "protegido"                 ? "nuevo"
                                                                      : "anterior"));
        QCOMPARE(Leer(Ruta("entrada.$%c")), QByteArray("AA55 \r\n"));
        if (preparar == "protegido")
            QCOMPARE(QFileInfo(ruta).permissions() & 0x7077, QFileDevice::ReadOwner);
        // Nothing left beside.
        for (const QString& n : QDir(tmp_.path()).entryList(QDir::Hidden | QDir::Files))
            QVERIFY2(!n.startsWith('.'), qPrintable(n));
    }

    // A full disk is met at the write, and the earlier file (read-only, as a backup) stays.
    void disco_lleno() {
        Disco_Chico disco(Ruta("lleno"));
        if (!disco.Listo()) QSKIP("no tmpfs can be mounted here (needs root)");
        const QString previo = disco.Carpeta() + "/grafico.png";
        Escribir(previo, "anterior");
        QFile::setPermissions(previo, QFileDevice::ReadOwner);
        disco.Llenar();
        {
            Escritura_Segura e(previo);
            QVERIFY(e.Abrir());
            QVERIFY(!e.Escribir(QByteArray(8192, 'x')));
            QCOMPARE(e.Falla().tipo, Falla_Archivo::Disco_Lleno);
            QVERIFY(!e.Terminar());
        }
        QCOMPARE(Leer(previo), QByteArray("anterior"));
        QCOMPARE(QFileInfo(previo).permissions() & 0x7077, QFileDevice::ReadOwner);
        QCOMPARE(QDir(disco.Carpeta()).entryList(QDir::Files | QDir::Hidden).join(' '),
                 QString("grafico.png relleno"));
    }

    // Dropped before it is finished, a writing puts nothing in place.
    void abandonada() {
        {
            Escritura_Segura e(Ruta("previo.txt"));
            QVERIFY(e.Abrir() && e.Escribir("a medias"));
        }
        QCOMPARE(Leer(Ruta("previo.txt")), QByteArray("anterior"));
        QCOMPARE(QDir(tmp_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // Work files: a link there is removed, not written through; a pipe is refused unopened.
    void trabajo() {
        QVERIFY(QFile::link(Ruta("previo.txt"), Ruta("DAT.KVX")));
        QFile a;
        QCOMPARE(Abrir_Trabajo(a, Ruta("DAT.KVX")), Falla_Archivo::Ninguna);
        QVERIFY(a.write("bloque") == 6 && a.seek(0));
        QCOMPARE(a.readAll(), QByteArray("bloque"));
        QVERIFY(!QFileInfo(Ruta("DAT.KVX")).isSymLink());
        QCOMPARE(Leer(Ruta("previo.txt")), QByteArray("anterior"));
        QVERIFY(Crear_Tuberia(Ruta("COM.KVX")));
        QFile b;
        QCOMPARE(Abrir_Trabajo(b, Ruta("COM.KVX")), Falla_Archivo::No_Regular);
    }
};

QTEST_GUILESS_MAIN(Tst_Escritura_Segura)
#include "tst_escritura_segura.moc"
