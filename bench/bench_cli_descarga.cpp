// "aqtide-cli descargar" from the paced simulated logger: the wall time from the start of the
// tool to its last file written, against the line time of the dump plus the link check, and the
// tool's CPU while it waits for the dump.
//
//   bench_cli_descarga [repetitions] [simulator options...]
//
// With "--byte-a-byte" the simulator writes each character on its own, as a UART without FIFO
// delivers them: the worst case for the wait.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#ifndef AQ_SIM_PATH
#define AQ_SIM_PATH "aqtide-sim"
#endif
#ifndef AQ_CLI_PATH
#define AQ_CLI_PATH "aqtide-cli"
#endif

namespace {

// 20487 characters of 10 bits at 9600 baud.
constexpr double Tiempo_Linea = 20487 * 10.0 / 9600.0;
constexpr double Margen = 0.050;
// Linux reports process times in ticks of 1/100 s.
constexpr double Tic = 0.01;

// User plus system CPU seconds of a process, -1 where /proc is not there.
double Cpu_De(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray t = f.readAll();
    const QList<QByteArray> campos = t.mid(t.lastIndexOf(')') + 2).split(' ');
    if (campos.size() < 13) return -1;
    return (campos[11].toDouble() + campos[12].toDouble()) * Tic;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int repeticiones = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    QStringList opciones_sim;
    for (int i = 2; i < argc; ++i) opciones_sim << QString::fromLocal8Bit(argv[i]);
    int fuera = 0;

    for (int i = 0; i < repeticiones; ++i) {
        QProcess simulador;
        simulador.start(QStringLiteral(AQ_SIM_PATH), opciones_sim);
        if (!simulador.waitForStarted(5000) || !simulador.waitForReadyRead(5000)) {
            out << "no se pudo arrancar " << AQ_SIM_PATH << "\n";
            return 2;
        }
        const QString pty = QString::fromLocal8Bit(simulador.readLine()).trimmed();

        QTemporaryDir dir;
        QDir d(dir.path());
        d.mkdir(QStringLiteral("DATOS"));
        d.mkdir(QStringLiteral("BAK"));
        QFile ini(d.filePath(QStringLiteral("win.ini")));
        if (!ini.open(QIODevice::WriteOnly)) return 2;
        ini.write(QStringLiteral("[BRISNA AQ-TIDE 1.0]\r\nMSComm1_PORT=1\r\nRAIZ=%1\r\nDATOS=%1/"
                                 "DATOS\r\nBAK=%1/BAK\r\n[Puertos]\r\nCOM1=%2\r\n")
                      .arg(dir.path(), pty)
                      .toLocal8Bit());
        ini.close();

        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("AQTIDE_WININI"), d.filePath(QStringLiteral("win.ini")));
        cli.setProcessEnvironment(env);
        cli.setWorkingDirectory(dir.path());

        const QDateTime inicio = QDateTime::currentDateTime();
        QElapsedTimer reloj;
        reloj.start();
        cli.start(QStringLiteral(AQ_CLI_PATH),
                  {QStringLiteral("descargar"), QStringLiteral("x.csv")});
        cli.waitForStarted(5000);
        const qint64 pid = cli.processId();

        // The stage lines on standard error mark the start and the end of the reception.
        QByteArray errores;
        double t_recibiendo = -1, t_verificando = -1, cpu_recibiendo = -1, cpu_verificando = -1;
        while (cli.state() != QProcess::NotRunning) {
            cli.waitForReadyRead(5);
            errores += cli.readAllStandardError();
            if (t_recibiendo < 0 && errores.contains("Recibiendo ...")) {
                t_recibiendo = reloj.nsecsElapsed() / 1e9;
                cpu_recibiendo = Cpu_De(pid);
            }
            if (t_verificando < 0 && errores.contains("Verificando ...")) {
                t_verificando = reloj.nsecsElapsed() / 1e9;
                cpu_verificando = Cpu_De(pid);
            }
        }
        cli.waitForFinished(60000);
        simulador.terminate();
        simulador.waitForFinished(3000);

        // The last file written, by its modification time.
        qint64 ultimo_ms = 0;
        for (const char* f : {"x.csv", "BAK/x.$%c", "BAK/temp.tmp", "DUMP.$$$"})
            ultimo_ms = std::max(ultimo_ms,
                                 inicio.msecsTo(QFileInfo(d.filePath(QString::fromLatin1(f)))
                                                    .fileTime(QFileDevice::FileModificationTime)));
        const double pared = ultimo_ms / 1000.0;
        const double objetivo = Tiempo_Linea + t_recibiendo + Margen;
        const double espera = t_verificando - t_recibiendo;
        const bool cpu_medida = cpu_recibiendo >= 0 && cpu_verificando >= 0 && espera > 0;
        const double cpu_pct =
            cpu_medida ? 100.0 * (cpu_verificando - cpu_recibiendo) / espera : -1;
        const bool bien = cli.exitCode() == 0 && pared <= objetivo && cpu_pct < 2.0;
        if (!bien) ++fuera;

        out << QStringLiteral(
                   "descarga %1: salida %2; hasta el último archivo %3 s (objetivo <= %4 s = "
                   "%5 línea + %6 arranque y enlace + 0.050); recepción %7 s; CPU en la espera "
                   "%8 (objetivo < 2 %)\n")
                   .arg(i + 1)
                   .arg(cli.exitCode())
                   .arg(pared, 0, 'f', 3)
                   .arg(objetivo, 0, 'f', 3)
                   .arg(Tiempo_Linea, 0, 'f', 3)
                   .arg(t_recibiendo, 0, 'f', 3)
                   .arg(espera, 0, 'f', 3)
                   .arg(cpu_medida ? QStringLiteral("%1 %").arg(cpu_pct, 0, 'f', 2)
                                   : QStringLiteral("no disponible"));
        out.flush();
    }
    return fuera ? 1 : 0;
}
