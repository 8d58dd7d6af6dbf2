#include <QtTest>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "dobles/dialogos_guionados.h"
#include "link/enlace.h"
#include "platform/puerto_qt.h"
#include "platform/reloj_real.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>
#endif

using namespace aq;

namespace {

const QByteArray Ok = QByteArrayLiteral("OK\r\n");

double Cpu() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

#ifdef Q_OS_UNIX
// A pseudo-terminal: the port under test opens the slave, the test plays the far end.
struct Pty {
    std::atomic<int> maestro{-1};
    QString esclavo;

    Pty() {
        const int fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd < 0) return;
        if (grantpt(fd) != 0 || unlockpt(fd) != 0) {
            ::close(fd);
            return;
        }
        esclavo = QString::fromLocal8Bit(ptsname(fd));
        maestro = fd;
    }
    ~Pty() { Cerrar(); }
    void Cerrar() {
        const int fd = maestro.exchange(-1);
        if (fd >= 0) ::close(fd);
    }
    bool Escribir(const QByteArray& d) {
        return ::write(maestro, d.constData(), d.size()) == d.size();
    }
    // Reads until `n` characters came or `ms` passed.
    QByteArray Leer(int n, int ms) {
        QByteArray r;
        QElapsedTimer t;
        t.start();
        while (r.size() < n && t.elapsed() < ms) {
            pollfd p{maestro, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(ms - t.elapsed())) <= 0) continue;
            char b[256];
            const ssize_t k = ::read(maestro, b, sizeof b);
            if (k <= 0) break;
            r.append(b, static_cast<int>(k));
        }
        return r;
    }
};
#endif

}  // namespace

class Tst_Puerto_Qt : public QObject {
    Q_OBJECT

#ifdef Q_OS_UNIX
    Perfil_Memoria perfil_;
    Reloj_Real reloj_;

    void Apuntar(int n, const QString& dispositivo) {
        perfil_.secciones["Puertos"][QStringLiteral("COM%1").arg(n)] = dispositivo;
    }

  private Q_SLOTS:
    void abre_cierra_escribe_y_lee() {
        Pty pty;
        QVERIFY(!pty.esclavo.isEmpty());
        Apuntar(2, pty.esclavo);
        Puerto_Qt puerto(perfil_, reloj_);
        puerto.setCommPort(2);
        QVERIFY(puerto.setPortOpen(true));
        QVERIFY(puerto.PortOpen());

        puerto.Output("AAA");
        QCOMPARE(pty.Leer(3, 1000), QByteArray("AAA"));

        // What the line delivered is counted without any wait on the port.
        QVERIFY(pty.Escribir("OK\r\n"));
        QThread::msleep(100);
        QCOMPARE(puerto.InBufferCount(), 4);
        puerto.setInputLen(2);
        QCOMPARE(puerto.Input(), QByteArray("OK"));
        QCOMPARE(puerto.InBufferCount(), 2);
        puerto.setInputLen(0);
        QCOMPARE(puerto.Input(), QByteArray("\r\n"));
        QCOMPARE(puerto.InBufferCount(), 0);

        // Nothing is lost beyond the nominal buffer size.
        QVERIFY(puerto.setPortOpen(false));
        puerto.setInBufferSize(16);
        QVERIFY(puerto.setPortOpen(true));
        const QByteArray largo(3000, 'x');
        QVERIFY(pty.Escribir(largo));
        const double limite = reloj_.Segundos() + 2;
        while (puerto.InBufferCount() < largo.size() && reloj_.Segundos() < limite)
            puerto.Esperar_Datos(limite);
        QCOMPARE(puerto.Input(), largo);

        QVERIFY(puerto.setPortOpen(false));
        QVERIFY(!puerto.PortOpen());
    }

    void espera_datos_sin_gastar_cpu() {
        Pty pty;
        Apuntar(1, pty.esclavo);
        Puerto_Qt puerto(perfil_, reloj_);
        puerto.setCommPort(1);
        QVERIFY(puerto.setPortOpen(true));

        double t0 = reloj_.Segundos();
        double cpu0 = Cpu();
        QVERIFY(!puerto.Esperar_Datos(t0 + 0.5));
        QVERIFY(reloj_.Segundos() - t0 >= 0.5);
        QVERIFY(reloj_.Segundos() - t0 < 0.7);
        QVERIFY2(Cpu() - cpu0 < 0.05, "the wait must block, not spin");

        std::thread par([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            pty.Escribir("K");
        });
        t0 = reloj_.Segundos();
        QVERIFY(puerto.Esperar_Datos(t0 + 3));
        par.join();
        QVERIFY(reloj_.Segundos() - t0 < 1.0);
        QCOMPARE(puerto.Input(), QByteArray("K"));
    }

    void dispositivo_inexistente() {
        Apuntar(3, QStringLiteral("/dev/aqtide-no-existe"));
        Puerto_Qt puerto(perfil_, reloj_);
        puerto.setCommPort(3);
        QVERIFY(!puerto.setPortOpen(true));
        QVERIFY(!puerto.PortOpen());
        QCOMPARE(puerto.InBufferCount(), 0);
        QCOMPARE(Enviar_Comando(puerto, reloj_, "L", Largo_Estado), Resp_NC);
    }

    void dispositivo_perdido_a_mitad_de_intercambio() {
        Pty pty;
        Apuntar(4, pty.esclavo);
        Puerto_Qt puerto(perfil_, reloj_);
        puerto.setCommPort(4);
        QVERIFY(puerto.setPortOpen(true));

        // The far end vanishes while the exchange waits for the reply.
        std::thread par([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            pty.Cerrar();
        });
        const double t0 = reloj_.Segundos();
        const double cpu0 = Cpu();
        const QByteArray r = Enviar_Comando(puerto, reloj_, "L", Largo_Estado);
        par.join();
        QCOMPARE(r, Resp_NC);
        QVERIFY(!puerto.PortOpen());
        QVERIFY(reloj_.Segundos() - t0 < 2.0);
        QVERIFY(Cpu() - cpu0 < 0.2);
        // A closed port stays a silent line: waits sleep instead of returning in a loop.
        const double t1 = reloj_.Segundos();
        QVERIFY(!puerto.Esperar_Datos(t1 + 0.2));
        QVERIFY(reloj_.Segundos() - t1 >= 0.2);
    }

    void dispositivo_perdido_mientras_corren_eventos() {
        Pty pty;
        Apuntar(4, pty.esclavo);
        Puerto_Qt puerto(perfil_, reloj_);
        puerto.setCommPort(4);
        QVERIFY(puerto.setPortOpen(true));
        pty.Cerrar();
        // Qt's own read notifier meets the hang-up: the port closes instead of firing forever.
        const double cpu0 = Cpu();
        const double limite = reloj_.Segundos() + 1.0;
        while (puerto.PortOpen() && reloj_.Segundos() < limite) reloj_.Ceder(0.05);
        QVERIFY(!puerto.PortOpen());
        reloj_.Ceder(0.2);
        QVERIFY(Cpu() - cpu0 < 0.1);
    }

    void intercambio_con_el_equipo() {
        Pty pty;
        Apuntar(1, pty.esclavo);
        Puerto_Qt puerto(perfil_, reloj_);
        puerto.setCommPort(1);
        QVERIFY(puerto.setPortOpen(true));

        std::thread par([&] {
            const QByteArray oido = pty.Leer(Cadena_Enlace.size(), 3000);
            if (oido == Cadena_Enlace) pty.Escribir(Ok);
        });
        const double t0 = reloj_.Segundos();
        const QByteArray r = Enviar_Comando(puerto, reloj_, Cadena_Enlace, 4);
        par.join();
        QCOMPARE(r, Ok);
        QVERIFY(reloj_.Segundos() - t0 < 1.5);
        QCOMPARE(puerto.InputLen(), 0);
    }
#endif

  private Q_SLOTS:
    void reloj_real() {
        Reloj_Real reloj;
        const double t0 = reloj.Segundos();
        reloj.Dormir(0.1);
        QVERIFY(reloj.Segundos() - t0 >= 0.1);

        // Nothing to run: the wait lasts its bound, asleep.
        reloj.Ceder();
        double t1 = reloj.Segundos();
        const double cpu0 = Cpu();
        reloj.Ceder(0.3);
        QVERIFY(reloj.Segundos() - t1 >= 0.29);
        QVERIFY(Cpu() - cpu0 < 0.05);

        // An event ends the wait early, and it has run.
        bool corrio = false;
        QTimer::singleShot(50, [&] { corrio = true; });
        t1 = reloj.Segundos();
        reloj.Ceder(2.0);
        QVERIFY(corrio);
        QVERIFY(reloj.Segundos() - t1 < 1.0);
        QVERIFY(qAbs(reloj.Ahora().secsTo(QDateTime::currentDateTime())) <= 1);
    }

#ifndef Q_OS_UNIX
    void sin_pseudoterminales() {
        QSKIP("needs POSIX pseudo-terminals");
    }
#endif
};

QTEST_GUILESS_MAIN(Tst_Puerto_Qt)
#include "tst_puerto_qt.moc"
