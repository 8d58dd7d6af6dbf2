#include <QtTest>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <thread>

#include "dobles/dialogos_guionados.h"
#include "link/enlace.h"
#include "platform/puerto_qt.h"
#include "platform/reloj_real.h"

using namespace aq;

class Tst_Puerto_Qt : public QObject {
    Q_OBJECT
    Perfil_Memoria perfil_;
    Reloj_Real reloj_;

    static double Cpu() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

    // A pseudo-terminal: the port under test opens the slave, the test plays the far end.
    struct Pty {
        int maestro = posix_openpt(O_RDWR | O_NOCTTY);
        Pty() { QVERIFY(maestro >= 0 && grantpt(maestro) == 0 && unlockpt(maestro) == 0); }
        ~Pty() { Cerrar(); }
        void Cerrar() { ::close(std::exchange(maestro, -1)); }
        bool Escribir(QByteArray d) { return ::write(maestro, d.data(), d.size()) == d.size(); }
        QString Esclavo() const { return QString::fromLocal8Bit(ptsname(maestro)); }
    };

    // COM1 on `dispositivo`, opened, with a nominal receive buffer of 16 characters.
    std::unique_ptr<Puerto_Qt> Abrir(const QString& dispositivo) {
        perfil_.secciones["Puertos"]["COM1"] = dispositivo;
        auto puerto = std::make_unique<Puerto_Qt>(perfil_, reloj_);
        puerto->setInBufferSize(16);
        puerto->setPortOpen(true);
        return puerto;
    }

  private Q_SLOTS:
    void linea_real() {
        Pty pty;
        auto puerto = Abrir(pty.Esclavo());
        // A silent line: the wait lasts until its deadline, asleep.
        double t0 = reloj_.Segundos(), cpu0 = Cpu();
        QVERIFY(!puerto->Esperar_Datos(t0 + 0.5));
        QVERIFY(reloj_.Segundos() - t0 >= 0.5 && reloj_.Segundos() - t0 < 0.7);
        QVERIFY2(Cpu() - cpu0 < 0.05, "the wait must block, not spin");
        // Data ends the wait early.
        std::thread par([&] { QThread::msleep(200), pty.Escribir("OK\r\n"); });
        t0 = reloj_.Segundos();
        QVERIFY(puerto->Esperar_Datos(t0 + 3));
        par.join();
        QVERIFY(reloj_.Segundos() - t0 < 1.0);

        puerto->Output("AAA");
        const QByteArray largo(3000, 'x');
        QVERIFY(pty.Escribir(largo));
        QThread::msleep(100);
        char oido[8] = {};
        QCOMPARE(QByteArray(oido, ::read(pty.maestro, oido, sizeof oido)), QByteArray("AAA"));
        // What the line delivered is counted without any wait, and nothing is lost beyond the
        // nominal buffer size.
        QCOMPARE(puerto->InBufferCount(), 3004);
        puerto->setInputLen(2);
        QCOMPARE(puerto->Input(), QByteArray("OK"));
        QCOMPARE(puerto->InBufferCount(), 3002);
        puerto->setInputLen(0);
        QCOMPARE(puerto->Input(), "\r\n" + largo);
    }

    void dispositivo_inexistente_o_perdido() {
        auto nada = Abrir("/dev/aqtide-no-existe");
        QVERIFY(!nada->PortOpen());
        QCOMPARE(Enviar_Comando(*nada, reloj_, "L", Largo_Estado), QByteArray("NC\r\n"));

        // The far end vanishes while the exchange waits for the reply.
        Pty pty;
        auto puerto = Abrir(pty.Esclavo());
        QVERIFY(puerto->PortOpen());
        std::thread par([&] { QThread::msleep(700), pty.Cerrar(); });
        const double t0 = reloj_.Segundos(), cpu0 = Cpu();
        const QByteArray r = Enviar_Comando(*puerto, reloj_, "L", Largo_Estado);
        par.join();
        QCOMPARE(r, QByteArray("NC\r\n"));
        QVERIFY(!puerto->PortOpen() && reloj_.Segundos() - t0 < 2.0 && Cpu() - cpu0 < 0.2);
        // A closed port stays a silent line: waits sleep instead of returning in a loop.
        const double t1 = reloj_.Segundos();
        QVERIFY(!puerto->Esperar_Datos(t1 + 0.2));
        QVERIFY(reloj_.Segundos() - t1 >= 0.2);
    }
};

QTEST_GUILESS_MAIN(Tst_Puerto_Qt)
#include "tst_puerto_qt.moc"
#else
#include <cstdio>
int main() {
    std::puts("SKIP: Tst_Puerto_Qt necesita seudoterminales POSIX");
    return 77;  // ctest reports it skipped
}
#endif
