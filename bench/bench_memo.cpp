// The memory reader window downloading from the paced simulated logger through the real serial
// port into the station archive, as the main window sets it up, timed where the user's wait
// starts and ends: from "DDD" on the line to the last file written ("Guardado." shown), and from
// the last character received to the archive's commit and to "Guardado.". Also the CPU the
// reception wait burns.
//
//   bench_memo [path/to/aqtide-sim] [repetitions] [simulator options...]
//
// e.g. `bench_memo build/sim/aqtide-sim 1 --byte-a-byte`: a dump delivered one character a write
// (a UART without FIFO), where the wait must still cost under 2 % of one core.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "archivo/archivo_historico.h"
#include "core/contexto.h"
#include "dobles/dialogos_guionados.h"
#include "memory/descarga.h"
#include "memory/ui/memo.h"
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

// The real port, noting when "DDD" leaves and when the whole dump is waiting.
class Puerto_Cronometrado : public Puerto_Serie {
  public:
    Puerto_Cronometrado(Puerto_Serie& real, Reloj& reloj) : real_(real), reloj_(reloj) {}
    double t_ddd = -1, t_ultimo = -1, cpu_ddd = 0, cpu_ultimo = 0;

    void setCommPort(int n) override { real_.setCommPort(n); }
    int CommPort() const override { return real_.CommPort(); }
    bool setPortOpen(bool abrir) override { return real_.setPortOpen(abrir); }
    bool PortOpen() const override { return real_.PortOpen(); }
    void setInputLen(int n) override { real_.setInputLen(n); }
    int InputLen() const override { return real_.InputLen(); }
    int InBufferCount() override {
        const int n = real_.InBufferCount();
        if (t_ddd >= 0 && t_ultimo < 0 && n >= Largo_Volcado) {
            t_ultimo = reloj_.Segundos();
            cpu_ultimo = Cpu();
        }
        return n;
    }
    QByteArray Input() override { return real_.Input(); }
    void Output(const QByteArray& texto) override {
        if (texto == Comando_Volcado) {
            t_ddd = reloj_.Segundos();
            cpu_ddd = Cpu();
        }
        real_.Output(texto);
    }
    void setInBufferSize(int n) override { real_.setInBufferSize(n); }
    int InBufferSize() const override { return real_.InBufferSize(); }
    bool Esperar_Datos(double limite) override { return real_.Esperar_Datos(limite); }

  private:
    Puerto_Serie& real_;
    Reloj& reloj_;
};

// The archive, noting when its commit is done.
class Registro_Cronometrado : public Registro_Descarga {
  public:
    Registro_Cronometrado(Contexto& ctx, double& t_fin)
        : archivador_(ctx.perfil, ctx.estado.Directorio_Raiz), reloj_(ctx.reloj), t_fin_(t_fin) {}
    void Preparar() override { archivador_.Preparar(); }
    void Entregar(const std::vector<QByteArray>& imagen, const QString& respaldo) override {
        archivador_.Entregar(imagen, respaldo);
    }
    QString Registrar() override {
        const QString texto = archivador_.Registrar();
        t_fin_ = reloj_.Segundos();
        return texto;
    }

  private:
    Archivador_Descarga archivador_;
    Reloj& reloj_;
    double& t_fin_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QString sim = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(AQ_SIM_PATH);
    const int repeticiones = argc > 2 ? std::max(1, atoi(argv[2])) : 1;

    QProcess simulador;
    QStringList opciones;
    for (int k = 3; k < argc; ++k) opciones << QString::fromLocal8Bit(argv[k]);
    simulador.start(sim, opciones);
    if (!simulador.waitForStarted(5000) || !simulador.waitForReadyRead(5000)) {
        out << "no se pudo arrancar " << sim << "\n";
        return 2;
    }
    const QString pty = QString::fromLocal8Bit(simulador.readLine()).trimmed();

    QTemporaryDir raiz;
    for (const char* d : {"DATOS", "BAK"}) QDir(raiz.path()).mkpath(QString::fromLatin1(d));
    Estado estado;
    estado.Directorio_Raiz = raiz.path();
    estado.Directorio_Datos = raiz.filePath(QStringLiteral("DATOS"));
    estado.Directorio_Bak = raiz.filePath(QStringLiteral("BAK"));
    Reloj_Real reloj;
    Perfil_Memoria perfil = Perfil_Con_Com1(pty);
    Puerto_Qt real(perfil, reloj);
    real.setCommPort(1);
    real.setPortOpen(true);
    Puerto_Cronometrado puerto(real, reloj);
    Dialogos_Guionados dialogos;
    Ayuda_Registro ayuda;
    Contexto_Ventanas ctx{{estado, puerto, reloj, perfil}, dialogos, ayuda};

    double peor_total = 0, peor_cola = 0, peor_cpu = 0, peor_archivo = 0, t_archivo = -1;
    int fallas = 0;
    for (int i = 0; i < repeticiones; ++i) {
        Memo ventana(ctx);
        ventana.Nuevo_Registro = [&]() -> std::unique_ptr<Registro_Descarga> {
            return std::make_unique<Registro_Cronometrado>(ctx, t_archivo);
        };
        ventana.show();
        dialogos.rutas = {raiz.filePath(QStringLiteral("DATOS/POZO%1.csv").arg(i))};
        puerto.t_ddd = puerto.t_ultimo = t_archivo = -1;
        ventana.Command1_Click();
        const double t_fin = reloj.Segundos();
        const bool bueno =
            estado.Memoria_Leida && ventana.Label1->text() == "Guardado." && puerto.t_ddd >= 0 &&
            puerto.t_ultimo >= 0 && t_archivo >= 0 &&
            ventana.Label_Archivo->text().startsWith(QString::fromUtf8("Archivo histórico: "));
        if (!bueno) {
            ++fallas;
            out << "descarga " << i + 1 << ": MALA " << ventana.Label_Archivo->text() << "\n";
            continue;
        }
        const double total = t_fin - puerto.t_ddd;
        const double cola = t_fin - puerto.t_ultimo;
        const double archivo = t_archivo - puerto.t_ultimo;
        const double cpu = 100.0 * (puerto.cpu_ultimo - puerto.cpu_ddd) /
                           std::max(1e-9, puerto.t_ultimo - puerto.t_ddd);
        peor_total = std::max(peor_total, total - Tiempo_Linea);
        peor_cola = std::max(peor_cola, cola);
        peor_archivo = std::max(peor_archivo, archivo);
        peor_cpu = std::max(peor_cpu, cpu);
        out << QStringLiteral(
                   "descarga %1: \"DDD\" → último archivo %2 s (línea %3 s); último carácter → "
                   "archivo histórico %4 ms, → \"Guardado.\" %5 ms; CPU en la espera %6 %\n")
                   .arg(i + 1)
                   .arg(total, 0, 'f', 3)
                   .arg(Tiempo_Linea, 0, 'f', 3)
                   .arg(archivo * 1000, 0, 'f', 1)
                   .arg(cola * 1000, 0, 'f', 1)
                   .arg(cpu, 0, 'f', 2);
        out.flush();
    }
    simulador.terminate();
    simulador.waitForFinished(3000);
    if (fallas) return 1;
    const bool cola_ok = peor_cola * 1000 < 50 && peor_archivo * 1000 < 50, cpu_ok = peor_cpu < 2;
    out << QStringLiteral(
               "peor: último carácter → archivo histórico %1 ms, → \"Guardado.\" %2 ms "
               "(objetivo < 50) %3; CPU en la espera %4 % (objetivo < 2) %5; tras la línea %6 ms\n")
               .arg(peor_archivo * 1000, 0, 'f', 1)
               .arg(peor_cola * 1000, 0, 'f', 1)
               .arg(cola_ok ? "cumplido" : "NO CUMPLIDO")
               .arg(peor_cpu, 0, 'f', 2)
               .arg(cpu_ok ? "cumplido" : "NO CUMPLIDO")
               .arg(peor_total * 1000, 0, 'f', 1);
    return cola_ok && cpu_ok ? 0 : 1;
}
