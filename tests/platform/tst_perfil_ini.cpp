#include <QtTest>

#include "dobles/disco_chico.h"
#include "platform/instancia_unica.h"
#include "platform/perfil_ini.h"

using namespace aq;

class Tst_Perfil_Ini : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    const QString Seccion = QStringLiteral("BRISNA AQ-TIDE 1.0");

    QByteArray Leer(const QString& ruta) {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : "";
    }

  private Q_SLOTS:
    void escribe_sin_tocar_lo_ajeno() {
        const QString ruta = dir_.filePath("win.ini");
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly) &&
                f.write("; perfil del usuario\r\n[windows]\r\nload=\r\n\r\n[Puertos]\r\n"
                        "; el adaptador USB\r\nCOM1=/dev/ttyUSB0\r\n") > 0);
        f.close();
        Perfil_Ini perfil(ruta);
        QVERIFY(perfil.WriteProfileString(Seccion, "MSComm1_PORT", "1"));
        QVERIFY(perfil.WriteProfileString(Seccion, "RAIZ", QStringLiteral("C:\\Ingeniería")));

        const QByteArray datos = Leer(ruta);
        QVERIFY(datos.contains(
            "[BRISNA AQ-TIDE 1.0]\r\nMSComm1_PORT=1\r\nRAIZ=C:\\Ingenier\xED\x61\r\n"));
        QVERIFY(datos.contains("; perfil del usuario\r\n") &&
                datos.contains("[windows]\r\nload=\r\n"));
        QVERIFY(datos.contains("; el adaptador USB\r\nCOM1=/dev/ttyUSB0\r\n"));
        QCOMPARE(datos.count('\n'), datos.count("\r\n"));
        QCOMPARE(perfil.GetProfileString(Seccion, "RAIZ", ""), QStringLiteral("C:\\Ingeniería"));
        QCOMPARE(perfil.GetProfileString("Puertos", "COM1", ""), QStringLiteral("/dev/ttyUSB0"));

        // A missing key gives the default.
        QCOMPARE(perfil.GetProfileInt(Seccion, "AUSENTE", -1), -1);

        QVERIFY(perfil.Borrar_Seccion(Seccion));
        QVERIFY(!Leer(ruta).contains("BRISNA"));
        QCOMPARE(perfil.GetProfileString(Seccion, "RAIZ", "NADA"), QStringLiteral("NADA"));
        QCOMPARE(perfil.GetProfileString("Puertos", "COM1", ""), QStringLiteral("/dev/ttyUSB0"));
    }

    // On a full disk or a read-only one the write is refused and the settings are kept whole.
    void disco_lleno_o_de_solo_lectura() {
        Disco_Chico disco(dir_.filePath("lleno"));
        if (!disco.Listo()) QSKIP("no tmpfs can be mounted here (needs root)");
        const QString ruta = disco.Carpeta() + "/win.ini";
        const QByteArray antes = "[Puertos]\r\nCOM1=/dev/ttyUSB0\r\n";
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(antes) == antes.size());
        f.close();
        Perfil_Ini perfil(ruta);
        disco.Llenar();
        QVERIFY(!perfil.WriteProfileString(Seccion, "RAIZ", QString(600, QLatin1Char('x'))));
        disco.Vaciar();
        QVERIFY(disco.Solo_Lectura());
        QVERIFY(!perfil.WriteProfileString(Seccion, "RAIZ", "/datos"));
        QCOMPARE(Leer(ruta), antes);
        QCOMPARE(QDir(disco.Carpeta()).entryList(QDir::Files), QStringList{"win.ini"});
    }

    void lee_numeros_data() {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<int>("numero");
        QTest::newRow("número") << "7" << 7;
        QTest::newRow("letras") << "abc" << 0;
        QTest::newRow("espacio y letra de más") << " 3x" << 3;
        QTest::newRow("negativo") << "-2" << -2;
        QTest::newRow("vacío") << "" << 0;
    }

    // Numbers read as the C library does.
    void lee_numeros() {
        QFETCH(QString, valor);
        QFETCH(int, numero);
        QTemporaryDir dir;
        Perfil_Ini perfil(dir.filePath("win.ini"));
        QVERIFY(perfil.WriteProfileString(Seccion, "MSComm1_PORT", valor));
        QCOMPARE(perfil.GetProfileInt(Seccion, "MSComm1_PORT", -1), numero);
    }

    void una_sola_copia() {
        Instancia_Unica primera(dir_.filePath("aqtide.lock"));
        QVERIFY(!primera.Otra_Copia_En_Marcha());
        QVERIFY(Instancia_Unica(dir_.filePath("aqtide.lock")).Otra_Copia_En_Marcha());
    }
};

QTEST_GUILESS_MAIN(Tst_Perfil_Ini)
#include "tst_perfil_ini.moc"
