#include <QLocalServer>
#include <QtTest>
#include <cerrno>

#include "dobles/tuberia.h"
#include "platform/archivo_regular.h"
#include "platform/perfil_ini.h"

using namespace aq;

Q_DECLARE_METATYPE(aq::Apertura)

class Tst_Archivo_Regular : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    QLocalServer enchufe_;
    QString Ruta(const QString& nombre) const { return tmp_.filePath(nombre); }

  private Q_SLOTS:
    void initTestCase() {
        QFile f(Ruta("datos.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("12;34\r\n") == 7);
        f.close();
        QVERIFY(Crear_Tuberia(Ruta("x.csv")));
        QVERIFY(QFile::link(Ruta("x.csv"), Ruta("enlace.csv")));
        QVERIFY(QFile::link(Ruta("datos.txt"), Ruta("enlace.txt")));
        QVERIFY(QDir(tmp_.path()).mkdir("carpeta.txt"));
        QVERIFY(enchufe_.listen(Ruta("socket.csv")));
    }

    void abrir_data() {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<Apertura>("esperado");
        QTest::addColumn<QString>("texto");  // read back, or the message
        const QString especial =
            "No es un archivo común (es una tubería, un dispositivo, un "
            "socket o una carpeta).";
        QTest::newRow("regular") << Ruta("datos.txt") << Apertura::Abierto << "12;34\r\n";
        QTest::newRow("enlace a regular") << Ruta("enlace.txt") << Apertura::Abierto << "12;34\r\n";
        QTest::newRow("tubería") << Ruta("x.csv") << Apertura::Especial << especial;
        QTest::newRow("enlace a tubería") << Ruta("enlace.csv") << Apertura::Especial << especial;
        QTest::newRow("dispositivo") << "/dev/zero" << Apertura::Especial << especial;
        QTest::newRow("carpeta") << Ruta("carpeta.txt") << Apertura::Especial << especial;
        QTest::newRow("socket") << Ruta("socket.csv") << Apertura::Especial << especial;
        // The system's own words, in the user's language.
        const QString sistema = qt_error_string(ENOENT);
        QTest::newRow("inexistente") << Ruta("falta.txt") << Apertura::Fallo << sistema;
        QTest::newRow("sin nombre") << "" << Apertura::Fallo << sistema;
    }
    // A pipe nobody writes to, a device or a folder is refused at once, never waited on.
    void abrir() {
        QFETCH(QString, ruta);
        QFETCH(Apertura, esperado);
        QFETCH(QString, texto);
        Vigia_Tuberia vigia(Ruta("x.csv"));
        QFile archivo(ruta);
        QString error;
        const Apertura a = Abrir_Lectura_Regular(archivo, &error);
        QVERIFY(!vigia.Disparado());
        QCOMPARE(a, esperado);
        QCOMPARE(archivo.isOpen(), a == Apertura::Abierto);
        QCOMPARE(a == Apertura::Abierto ? QString::fromLatin1(archivo.readAll()) : error, texto);
    }

    // A profile that is a pipe reads as empty and is never replaced by a written one.
    void perfil_en_tuberia() {
        Vigia_Tuberia vigia(Ruta("x.csv"));
        Perfil_Ini perfil(Ruta("enlace.csv"));
        QCOMPARE(perfil.GetProfileString("Puertos", "COM1", "nada"), QString("nada"));
        QCOMPARE(perfil.GetProfileInt("Puertos", "Baudios", 7), 7);
        QVERIFY(!perfil.WriteProfileString("Puertos", "COM1", "/dev/ttyS0"));
        QVERIFY(!perfil.Borrar_Seccion("Puertos"));
        QVERIFY(!vigia.Disparado());
        QVERIFY(QFileInfo(Ruta("enlace.csv")).isSymLink());
        QVERIFY(!QFileInfo(Ruta("x.csv")).isFile() && QFileInfo::exists(Ruta("x.csv")));
    }
};

QTEST_GUILESS_MAIN(Tst_Archivo_Regular)
#include "tst_archivo_regular.moc"
