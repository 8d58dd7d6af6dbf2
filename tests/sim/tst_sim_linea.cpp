// The simulator as a program: a real pseudo-terminal opened like a serial port.
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <string>

// Reads for up to 2 s until `n` characters, then 100 ms more: a character beyond the announced
// length would show.
static std::string Intercambiar(int fd, const std::string& comando, size_t n) {
    if (::write(fd, comando.data(), comando.size()) != ssize_t(comando.size())) return "(error)";
    std::string r;
    char buf[256];
    for (QDeadlineTimer limite(2000); !limite.hasExpired(); QThread::msleep(5)) {
        if (r.size() >= n && limite.remainingTime() > 100) limite.setRemainingTime(100);
        const ssize_t k = ::read(fd, buf, sizeof buf);
        if (k > 0) r.append(buf, static_cast<size_t>(k));
    }
    return r;
}

class Tst_Sim_Linea : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Intercambio_Por_Pty() {
        QTemporaryDir dir;
        const QString enlace = dir.filePath("ttyAQ");
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());  // runs with stdin closed
        p.start(QStringLiteral(AQ_SIM_PATH), {"--rapido", "--vacia", "--enlace", enlace});
        // The first line it prints names the slave side, where the link points.
        while (!p.canReadLine() && p.waitForReadyRead(5000)) continue;
        QCOMPARE(QFileInfo(enlace).symLinkTarget(), QString::fromLocal8Bit(p.readLine()).trimmed());

        const int fd = ::open(enlace.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        QCOMPARE(Intercambiar(fd, std::string(32, 'U'), 4), std::string("OK\r\n"));
        QCOMPARE(Intercambiar(fd, "L", 49).size(), size_t(49));
        ::close(fd);

        p.terminate();
        QVERIFY(p.waitForFinished(3000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(enlace) && !QFileInfo(enlace).isSymLink());
    }
};

QTEST_GUILESS_MAIN(Tst_Sim_Linea)
#include "tst_sim_linea.moc"
