// Full memory download from the simulated logger through the real serial port: how long the
// program adds to the line time, and how much CPU the reception wait burns.
//
//   bench_descarga [path/to/aqtide-sim] [repetitions]

#include <QCoreApplication>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "dobles/dialogos_guionados.h"
#include "link/enlace.h"
#include "memory/descarga.h"
#include "platform/puerto_qt.h"
#include "platform/reloj_real.h"

#ifndef AQ_SIM_PATH
#define AQ_SIM_PATH "aqtide-sim"
#endif

using namespace aq;

namespace {

// 20487 characters of 10 bits at 9600 baud.
constexpr double Tiempo_Linea = Largo_Volcado * 10.0 / 9600.0;

double Cpu() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QString sim = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(AQ_SIM_PATH);
    const int repeticiones = argc > 2 ? std::max(1, atoi(argv[2])) : 1;

    QProcess simulador;
    simulador.start(sim, {});
    if (!simulador.waitForStarted(5000) || !simulador.waitForReadyRead(5000)) {
        out << "no se pudo arrancar " << sim << "\n";
        return 2;
    }
    const QString pty = QString::fromLocal8Bit(simulador.readLine()).trimmed();

    Reloj_Real reloj;
    aq::Perfil_Memoria perfil = aq::Perfil_Con_Com1(pty);
    Puerto_Qt puerto(perfil, reloj);
    puerto.setCommPort(1);
    int fallas = 0;
    for (int i = 0; i < repeticiones; ++i) {
        if (!Reabrir_Puerto(puerto, Buffer_Descarga)) {
            out << "no se pudo abrir " << pty << "\n";
            return 2;
        }
        puerto.setInputLen(0);

        const double t0 = reloj.Segundos();
        const QByteArray enlace = Enviar_Comando(puerto, reloj, Cadena_Enlace, 4);
        Esperar_Medio_Segundo(reloj);
        const double t1 = reloj.Segundos();

        puerto.Output(Comando_Volcado);
        const double cpu0 = Cpu();
        const double t_espera = reloj.Segundos();
        int pasadas = 0;
        const Recepcion r = Recibir_Volcado(puerto, reloj, [&](int) { ++pasadas; });
        const double cpu = Cpu() - cpu0;
        const double t2 = reloj.Segundos();

        std::vector<QByteArray> imagen;
        const QByteArray texto = Completar_Volcado(r.texto);
        Dividir_Volcado(texto, imagen);
        const bool bueno =
            enlace == Resp_OK && !r.Corta() && Checksum_Correcto(texto, imagen[4096]);
        if (!bueno) ++fallas;
        Reabrir_Puerto(puerto, Buffer_Normal);

        const double pared = t2 - t0;
        const double exceso = pared - Tiempo_Linea - (t1 - t0);
        const double cpu_pct = 100.0 * cpu / (t2 - t_espera);
        out << QStringLiteral(
                   "descarga %1: %2 recibidos, checksum %3; pared %4 s, enlace %5 s, "
                   "exceso %6 ms (objetivo < 150), CPU en la espera %7 % (objetivo < 5), "
                   "%8 pasadas\n")
                   .arg(i + 1)
                   .arg(r.recibidos)
                   .arg(bueno ? "bueno" : "MALO")
                   .arg(pared, 0, 'f', 3)
                   .arg(t1 - t0, 0, 'f', 3)
                   .arg(exceso * 1000, 0, 'f', 1)
                   .arg(cpu_pct, 0, 'f', 2)
                   .arg(pasadas);
        out.flush();
    }
    simulador.terminate();
    simulador.waitForFinished(3000);
    return fallas ? 1 : 0;
}
