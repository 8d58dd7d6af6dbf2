// Latency and CPU cost of the command exchange over the real serial port layer.
//  (a) time from the last reply character on the line to the return of Enviar_Comando, with a
//      peer on a pseudo-terminal that paces its reply at 9600 baud (median of 10 runs);
//  (b) CPU time used while the exchange waits on a silent logger (about 5.5 s);
//  (c) with the simulator (build/sim/aqtide-sim, or the path given as first argument): the
//      whole "L" exchange against the paced simulator, and (b) against "--mudo".
#include "dobles/dialogos_guionados.h"
#include "link/enlace.h"
#include "platform/puerto_qt.h"
#include "platform/reloj_real.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

using Reloj_Std = std::chrono::steady_clock;

namespace {

double Cpu_Proceso() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

QByteArray Bloque_Estado() {
    QByteArray datos = "007 04 0123 15/03/02 10:07 15 min    AJ 0096";
    datos = datos.left(36) + "AJ" + datos.mid(38);
    datos = datos.leftJustified(43, ' ', true);
    long suma = 0;
    for (char c : datos) suma += static_cast<unsigned char>(c);
    return datos + QByteArray::number(static_cast<qlonglong>(suma)).rightJustified(4, '0') + "\r\n";
}

struct Pty {
    int maestro = -1;
    QString esclavo;
    Pty() {
        maestro = posix_openpt(O_RDWR | O_NOCTTY);
        if (maestro >= 0 && grantpt(maestro) == 0 && unlockpt(maestro) == 0)
            esclavo = QString::fromLocal8Bit(ptsname(maestro));
    }
    ~Pty() {
        if (maestro >= 0) ::close(maestro);
    }
};

double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Latencia_Con_Par() {
    Pty pty;
    aq::Perfil_Memoria perfil = aq::Perfil_Con_Com1(pty.esclavo);
    aq::Reloj_Real reloj;
    aq::Puerto_Qt puerto(perfil, reloj);
    if (pty.esclavo.isEmpty() || !puerto.setPortOpen(true)) {
        std::printf("(a) no pseudo-terminal available\n");
        return;
    }
    const QByteArray bloque = Bloque_Estado();
    std::atomic<bool> fin{false};
    std::atomic<Reloj_Std::rep> ultimo{0};
    std::atomic<int> respuestas{0};
    std::thread par([&] {
        while (!fin) {
            pollfd p{pty.maestro, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char c;
            if (::read(pty.maestro, &c, 1) != 1 || c != 'L') continue;
            // One character every 1.04 ms, as the logger's line delivers them.
            for (char b : bloque) {
                std::this_thread::sleep_for(std::chrono::microseconds(1040));
                if (::write(pty.maestro, &b, 1) != 1) break;
            }
            ultimo = Reloj_Std::now().time_since_epoch().count();
            ++respuestas;
        }
    });
    std::vector<double> ms;
    int malas = 0;
    for (int i = 0; i < 10; ++i) {
        const QByteArray r = aq::Enviar_Comando(puerto, reloj, "L", aq::Largo_Estado);
        const auto fin_llamada = Reloj_Std::now().time_since_epoch().count();
        if (r != bloque) ++malas;
        // The peer stamps its last write just after it: wait for the stamp of this run.
        for (int k = 0; k < 1000 && respuestas.load() <= i; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ms.push_back((fin_llamada - ultimo.load()) *
                     (1000.0 * Reloj_Std::period::num / Reloj_Std::period::den));
    }
    fin = true;
    par.join();
    std::printf(
        "(a) last reply character -> return of Enviar_Comando: median %.2f ms, "
        "min %.2f ms, max %.2f ms over %zu runs (%d wrong replies); target < 10 ms\n",
        Mediana(ms), *std::min_element(ms.begin(), ms.end()),
        *std::max_element(ms.begin(), ms.end()), ms.size(), malas);
}

void Cpu_Silencio(const char* etiqueta, const QString& dispositivo, const char* origen) {
    aq::Perfil_Memoria perfil = aq::Perfil_Con_Com1(dispositivo);
    aq::Reloj_Real reloj;
    aq::Puerto_Qt puerto(perfil, reloj);
    if (!puerto.setPortOpen(true)) {
        std::printf("%s cannot open %s\n", etiqueta, qPrintable(dispositivo));
        return;
    }
    const double t0 = reloj.Segundos();
    const double cpu0 = Cpu_Proceso();
    const QByteArray r = aq::Enviar_Comando(puerto, reloj, "L", aq::Largo_Estado);
    const double pared = reloj.Segundos() - t0;
    const double cpu = Cpu_Proceso() - cpu0;
    std::printf(
        "%s silent logger (%s): reply %s, wall %.2f s, CPU %.3f s = %.2f %% of wall; "
        "target < 2 %%\n",
        etiqueta, origen, r == aq::Resp_NC ? "NC" : r.trimmed().constData(), pared, cpu,
        100.0 * cpu / pared);
}

// Starts the simulator and returns the slave path it announces.
QString Arrancar_Sim(QProcess& sim, const QString& exe, const QStringList& args) {
    sim.setProgram(exe);
    sim.setArguments(args);
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    if (!sim.waitForStarted(3000)) return {};
    while (!sim.canReadLine() && sim.waitForReadyRead(3000)) {
    }
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

void Con_Simulador(const QString& exe) {
    {
        QProcess sim;
        const QString esclavo = Arrancar_Sim(sim, exe, {});
        if (esclavo.isEmpty()) {
            std::printf("(c) simulator did not start: %s\n", qPrintable(exe));
            return;
        }
        aq::Perfil_Memoria perfil = aq::Perfil_Con_Com1(esclavo);
        aq::Reloj_Real reloj;
        aq::Puerto_Qt puerto(perfil, reloj);
        if (puerto.setPortOpen(true)) {
            std::vector<double> ms;
            int malas = 0;
            for (int i = 0; i < 5; ++i) {
                const double t0 = reloj.Segundos();
                const QByteArray r = aq::Enviar_Comando(puerto, reloj, "L", aq::Largo_Estado);
                ms.push_back((reloj.Segundos() - t0) * 1000);
                if (r.size() != aq::Largo_Estado) ++malas;
            }
            std::printf(
                "(c) \"L\" with the paced simulator: median %.1f ms per exchange "
                "(0.5 s pause + write + 49 characters at 9600 baud ~ 551 ms + logger "
                "think time), %d wrong replies\n",
                Mediana(ms), malas);
        }
        sim.kill();
        sim.waitForFinished(2000);
    }
    QProcess mudo;
    const QString esclavo = Arrancar_Sim(mudo, exe, {QStringLiteral("--mudo")});
    if (!esclavo.isEmpty()) Cpu_Silencio("(c)", esclavo, "simulator --mudo");
    mudo.kill();
    mudo.waitForFinished(2000);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Latencia_Con_Par();
    {
        Pty silencio;  // nobody answers on the far end
        Cpu_Silencio("(b)", silencio.esclavo, "pseudo-terminal with no peer");
    }
    const QString exe = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(AQ_SIM_PATH);
    if (QFileInfo(exe).isExecutable())
        Con_Simulador(exe);
    else
        std::printf("(c) skipped: no simulator at %s\n", qPrintable(exe));
    return 0;
}
