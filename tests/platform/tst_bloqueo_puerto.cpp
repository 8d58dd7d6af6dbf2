#include <QtTest>

#include "platform/bloqueo_puerto.h"

using namespace aq;

namespace {
const char* const Ayudante = "AQ_BLOQUEO_AYUDANTE";
const QString Clave = QStringLiteral("/dev/ttyUSB0");
}  // namespace

// The lock of a device between programs: the other program is this test run again as a helper
// that takes the lock, says so, and waits to be killed.
class Tst_Bloqueo_Puerto : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private Q_SLOTS:
    void dos_tenedores_en_un_programa() {
        Bloqueo_Puerto a(dir_.path()), b(dir_.path());
        QVERIFY(a.Tomar(Clave) && a.Tomado());
        QVERIFY(!b.Tomar(Clave) && !b.Tomado());
        QVERIFY(b.Tomar("tcp://logger:4001"));  // another device is free
        // Held for long: age alone never frees it.
        QFile(Bloqueo_Puerto::Ruta(dir_.path(), Clave))
            .setFileTime(QDateTime::currentDateTime().addDays(-1),
                         QFileDevice::FileModificationTime);
        QVERIFY(!b.Tomar(Clave));
        a.Soltar();
        QVERIFY(b.Tomar(Clave));
    }

    void otro_programa_vivo_o_muerto() {
        QProcess otro;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(Ayudante, dir_.path());
        otro.setProcessEnvironment(env);
        otro.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(otro.waitForReadyRead(5000));
        QCOMPARE(otro.readAll(), QByteArray("tomado\n"));
        Bloqueo_Puerto yo(dir_.path());
        QVERIFY(!yo.Tomar(Clave));
        otro.kill();  // dies holding it: no chance to clean up
        QVERIFY(otro.waitForFinished(3000));
        QVERIFY(QFile::exists(Bloqueo_Puerto::Ruta(dir_.path(), Clave)));
        QVERIFY(yo.Tomar(Clave));
        yo.Soltar();
        QVERIFY(!QFile::exists(Bloqueo_Puerto::Ruta(dir_.path(), Clave)));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(Ayudante)) {
        Bloqueo_Puerto b(qEnvironmentVariable(Ayudante));
        if (!b.Tomar(Clave)) return 1;
        std::fputs("tomado\n", stdout);
        std::fflush(stdout);
        QThread::sleep(30);
        return 0;
    }
    Tst_Bloqueo_Puerto t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_bloqueo_puerto.moc"
