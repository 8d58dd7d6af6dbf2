// The simulator as a program: a real pseudo-terminal opened like a serial port.
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace {

int Abrir_Puerto(const QString& ruta) {
    const int fd = ::open(ruta.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        termios t;
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

// Reads until `n` characters or `limite_ms`; `colgado` tells a hang-up.
std::string Leer(int fd, size_t n, int limite_ms, bool* colgado = nullptr) {
    std::string r;
    QElapsedTimer reloj;
    reloj.start();
    while (r.size() < n && reloj.elapsed() < limite_ms) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        char buf[4096];
        const ssize_t k = ::read(fd, buf, sizeof buf);
        if (k > 0) {
            r.append(buf, static_cast<size_t>(k));
        } else if (k == 0 || (k < 0 && errno == EIO) || (p.revents & POLLHUP)) {
            if (colgado) *colgado = true;
            break;
        }
    }
    return r;
}

std::string Intercambiar(int fd, const std::string& comando, size_t n) {
    if (::write(fd, comando.data(), comando.size()) != static_cast<ssize_t>(comando.size()))
        return "(error de escritura)";
    std::string r = Leer(fd, n, 2000);
    return r + Leer(fd, 1, 100);  // a character more than announced would show here
}

QString Arrancar(QProcess& p, const QStringList& args) {
    p.start(QStringLiteral(AQ_SIM_PATH), args);
    if (!p.waitForStarted(5000)) return {};
    while (!p.canReadLine() && p.waitForReadyRead(5000)) {
    }
    return QString::fromLocal8Bit(p.readLine()).trimmed();
}

}  // namespace

class Tst_Sim_Linea : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Intercambio_Por_Pty() {
        QTemporaryDir dir;
        const QString enlace = dir.filePath("ttyAQ");
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());  // runs with stdin closed
        const QString ruta = Arrancar(p, {"--rapido", "--vacia", "--enlace", enlace});
        QVERIFY2(ruta.startsWith("/dev/"), qPrintable(ruta));
        QCOMPARE(QFileInfo(enlace).symLinkTarget(), ruta);

        int fd = Abrir_Puerto(enlace);
        QVERIFY(fd >= 0);
        QCOMPARE(Intercambiar(fd, std::string(32, 'U'), 4), std::string("OK\r\n"));
        const std::string e = Intercambiar(fd, "L", 49);
        QCOMPARE(e.size(), size_t(49));
        int suma = 0;
        for (int i = 0; i < 43; ++i) suma += static_cast<unsigned char>(e[i]);
        QCOMPARE(std::stoi(e.substr(43, 4)), suma);
        QCOMPARE(e.substr(36, 7), std::string("AJ 0000"));

        // The supervisor closing and reopening its port does not end the line.
        ::close(fd);
        fd = Abrir_Puerto(ruta);
        QVERIFY(fd >= 0);
        QCOMPARE(Intercambiar(fd, "V", 13), std::string("AQ-TIDE 1.0\r\n"));
        ::close(fd);

        p.terminate();
        QVERIFY(p.waitForFinished(3000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(enlace) && !QFileInfo(enlace).isSymLink());
    }

    void Cierre_De_Linea_En_El_Volcado() {
        QProcess p;
        const QString ruta = Arrancar(p, {"--rapido", "--cerrar-en", "100"});
        const int fd = Abrir_Puerto(ruta);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "DDD", 3), ssize_t(3));
        bool colgado = false;
        const std::string r = Leer(fd, 20487, 3000, &colgado);
        QCOMPARE(r.size(), size_t(100));
        QVERIFY(colgado);
        QVERIFY(p.waitForFinished(3000));
        QCOMPARE(p.exitCode(), 0);
        ::close(fd);
    }
};

QTEST_GUILESS_MAIN(Tst_Sim_Linea)
#include "tst_sim_linea.moc"
