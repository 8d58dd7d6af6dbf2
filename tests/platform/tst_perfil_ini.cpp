#include <QtTest>

#include "platform/instancia_unica.h"
#include "platform/perfil_ini.h"

using namespace aq;

namespace {

const QString Seccion = QStringLiteral("BRISNA AQ-TIDE 1.0");

QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Escribir(const QString& ruta, const QByteArray& datos) {
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(datos);
}

}  // namespace

class Tst_Perfil_Ini : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString Ruta(const QString& nombre = QStringLiteral("win.ini")) const {
        return dir_.filePath(nombre);
    }

  private Q_SLOTS:
    void escribe_sin_tocar_lo_ajeno() {
        const QString ruta = Ruta();
        Escribir(ruta,
                 "; perfil del usuario\r\n[windows]\r\nload=\r\n\r\n; puertos\r\n[Puertos]\r\n"
                 "; el adaptador USB\r\nCOM1=/dev/ttyUSB0\r\n");
        Perfil_Ini perfil(ruta);
        QVERIFY(perfil.WriteProfileString(Seccion, "MSComm1_PORT", "1"));
        QVERIFY(perfil.WriteProfileString(Seccion, "RAIZ", "C:\\AQTIDE"));

        const QByteArray datos = Leer(ruta);
        QVERIFY(datos.contains("[BRISNA AQ-TIDE 1.0]\r\nMSComm1_PORT=1\r\nRAIZ=C:\\AQTIDE\r\n"));
        QVERIFY(datos.contains("; perfil del usuario"));
        QVERIFY(datos.contains("; el adaptador USB\r\nCOM1=/dev/ttyUSB0\r\n"));
        QVERIFY(datos.contains("[windows]\r\nload=\r\n"));
        QCOMPARE(datos.count('\n'), datos.count("\r\n"));

        QCOMPARE(perfil.GetProfileString(Seccion, "RAIZ", "NADA"), QStringLiteral("C:\\AQTIDE"));
        QCOMPARE(perfil.GetProfileString("Puertos", "COM1", ""), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(perfil.GetProfileString(Seccion, "DATOS", "NADA"), QStringLiteral("NADA"));
        QCOMPARE(perfil.GetProfileString("windows", "load", "x"), QString());

        // Another program edits the file: the next read sees it.
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::Append));
        f.write("[Otra]\r\nclave=nueva\r\n");
        f.close();
        QCOMPARE(perfil.GetProfileString("Otra", "clave", ""), QStringLiteral("nueva"));
    }

    void enteros_data() {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<int>("esperado");
        QTest::newRow("numero") << "7" << 7;
        QTest::newRow("texto") << "abc" << 0;
        QTest::newRow("blancos y cola") << " 3x" << 3;
        QTest::newRow("signo") << "-2" << -2;
        QTest::newRow("vacio") << "" << 0;
    }
    void enteros() {
        QFETCH(QString, valor);
        QFETCH(int, esperado);
        const QString ruta = Ruta(QStringLiteral("enteros.ini"));
        Perfil_Ini perfil(ruta);
        QVERIFY(perfil.WriteProfileString(Seccion, "MSComm1_PORT", valor));
        QCOMPARE(perfil.GetProfileInt(Seccion, "MSComm1_PORT", -1), esperado);
        QCOMPARE(perfil.GetProfileInt(Seccion, "AUSENTE", -1), -1);
    }

    void borra_la_seccion_entera() {
        const QString ruta = Ruta(QStringLiteral("borrar.ini"));
        Perfil_Ini perfil(ruta);
        QVERIFY(perfil.WriteProfileString(Seccion, "INSTALADO", "5/6/2002    9:7:3"));
        QVERIFY(perfil.WriteProfileString(Seccion, "VIEJA", "x"));
        QVERIFY(perfil.WriteProfileString("Puertos", "COM2", "/dev/ttyS7"));
        QVERIFY(perfil.Borrar_Seccion(Seccion));
        QCOMPARE(perfil.GetProfileString(Seccion, "VIEJA", "NADA"), QStringLiteral("NADA"));
        QVERIFY(!Leer(ruta).contains("BRISNA"));
        QCOMPARE(perfil.GetProfileString("Puertos", "COM2", ""), QStringLiteral("/dev/ttyS7"));
        QVERIFY(perfil.Borrar_Seccion(Seccion));  // already gone: nothing to do
    }

    void latin1_en_el_archivo() {
        const QString ruta = Ruta(QStringLiteral("latin1.ini"));
        Perfil_Ini perfil(ruta);
        QVERIFY(perfil.WriteProfileString(Seccion, "RAIZ", QStringLiteral("C:\\Ingeniería")));
        QVERIFY(
            Leer(ruta).contains("RAIZ=C:\\Ingenier\xED"
                                "a\r\n"));
        QCOMPARE(perfil.GetProfileString(Seccion, "RAIZ", ""), QStringLiteral("C:\\Ingeniería"));
    }

    void archivo_no_escribible() {
        // A folder that cannot be created: a plain file stands in its way.
        Escribir(Ruta(QStringLiteral("estorbo")), "x");
        Perfil_Ini sin_carpeta(Ruta(QStringLiteral("estorbo/win.ini")));
        QVERIFY(!sin_carpeta.WriteProfileString(Seccion, "MSComm1_PORT", "3"));
        QCOMPARE(sin_carpeta.GetProfileInt(Seccion, "MSComm1_PORT", -1), -1);

        const QString ruta = Ruta(QStringLiteral("solo_lectura.ini"));
        Escribir(ruta, "[BRISNA AQ-TIDE 1.0]\r\nMSComm1_PORT=2\r\n");
        QFile::setPermissions(ruta, QFileDevice::ReadOwner);
        if (QFileInfo(ruta).isWritable()) QSKIP("running with rights that ignore permissions");
        Perfil_Ini perfil(ruta);
        QVERIFY(!perfil.WriteProfileString(Seccion, "MSComm1_PORT", "3"));
        QVERIFY(!perfil.Borrar_Seccion(Seccion));
        QCOMPARE(perfil.GetProfileInt(Seccion, "MSComm1_PORT", -1), 2);
        QFile::setPermissions(ruta, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void ruta_por_variable_de_entorno() {
        qputenv("AQTIDE_WININI", Ruta(QStringLiteral("otro.ini")).toLocal8Bit());
        QCOMPARE(Perfil_Ini::Ruta_Predeterminada(), Ruta(QStringLiteral("otro.ini")));
        qunsetenv("AQTIDE_WININI");
        QVERIFY(Perfil_Ini::Ruta_Predeterminada().endsWith(QStringLiteral("/aqtide/win.ini")));
    }

    void una_sola_copia() {
        const QString ruta = Ruta(QStringLiteral("aqtide.lock"));
        Instancia_Unica primera(ruta);
        QVERIFY(!primera.Otra_Copia_En_Marcha());
        QVERIFY(!primera.Otra_Copia_En_Marcha());
        Instancia_Unica segunda(ruta);
        QVERIFY(segunda.Otra_Copia_En_Marcha());
    }

    void bloqueo_de_una_copia_caida() {
        // The lock of a process that no longer exists (same host, same program).
        const QString ruta = Ruta(QStringLiteral("caida.lock"));
        Escribir(ruta, QByteArray::number(qint64(0x3ffffff0)) + '\n' +
                           QCoreApplication::applicationName().toUtf8() + '\n' +
                           QSysInfo::machineHostName().toUtf8() + '\n');
        Instancia_Unica nueva(ruta);
        QVERIFY(!nueva.Otra_Copia_En_Marcha());
    }
};

QTEST_GUILESS_MAIN(Tst_Perfil_Ini)
#include "tst_perfil_ini.moc"
