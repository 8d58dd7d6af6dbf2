// A 4096-reading data file read and plotted in the window until its first paint, and the whole
// `aqtide-cli grafico` process on the same file; worst case against the targets.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "archivo/niveles.h"
#include "archivo/serie.h"
#include "dobles/dialogos_guionados.h"
#include "hidrografia/ui/hidrograma.h"
#include "memory/datos_exportados.h"
#include "memory/serie_datos.h"

namespace {

constexpr double Meta_Ventana_Ms = 100, Meta_Cli_Ms = 400, Meta_Archivo_Ms = 1000;
constexpr int Lecturas_Archivo = 1000000;

// Four blocks of 1024 readings, 15 minutes apart, as the decoder writes them.
QByteArray Archivo(int lecturas) {
    QByteArray t = QString::fromUtf8(
                       "Información resumida de los datos \r\nregistrados en la memoria.\r\n"
                       " \r\n \r\nCantidad de bloques de datos:  4\r\n \r\n \r\n")
                       .toLatin1();
    QDateTime m(QDate(2002, 3, 15), QTime(10, 15), Qt::UTC);
    for (int i = 0; i < lecturas; ++i) {
        if (i % 1024 == 0) {
            t += QString::fromUtf8(
                     " \r\n \r\nBloque de datos Nº:  %1\r\n \r\n"
                     "Datos Del Bloque:  1024\r\nAlcance:  8  Metros \r\n"
                     "Equipo Nº:  7\r\nIntervalo entre lecturas:  15 minutos\r\n"
                     "Inicio del bloque:  %2\r\n\r\n\r\n")
                     .arg(i / 1024 + 1)
                     .arg(m.toString("dd/MM/yy  hh:mm"))
                     .toLatin1();
            m = m.addDays(3);
        }
        m = m.addSecs(15 * 60);
        const int valor = 2 * (2000 + int(1500 * std::sin(i / 50.0)));
        t += m.toString("dd/MM/yy  ;hh:mm;").toLatin1() + QByteArray::number(valor) + "\r\n";
    }
    return t;
}

// Pass/fail word next to a figure.
const char* Veredicto(double peor, double meta) {
    return peor < meta ? "cumple" : "NO CUMPLE";
}

class Pintura : public QObject {
  public:
    bool pintado = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) pintado = true;
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int vueltas = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 10;

    QTemporaryDir tmp;
    const QString ruta = tmp.filePath("POZO.CSV");
    {
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly) || f.write(Archivo(4096)) < 0) return 1;
    }

    // In the program the main window has painted before: fonts and style are loaded by then.
    double en_frio = 0;
    {
        QElapsedTimer t;
        t.start();
        QLabel previo(QStringLiteral("Columna de agua [mm] 0123456789/:"));
        previo.show();
        previo.grab();
        en_frio = t.nsecsElapsed() / 1e6;
    }

    aq::Dialogos_Guionados dialogos;
    std::vector<double> ventana;
    for (int v = 0; v < vueltas; ++v) {
        QElapsedTimer t;
        t.start();
        aq::Datos_Exportados datos = aq::Leer_Datos_Exportados(ruta);
        if (datos.Total_Lecturas() != 4096) {
            std::fprintf(stderr, "the file did not read whole\n");
            return 1;
        }
        const double t_leer = t.nsecsElapsed() / 1e6;
        aq::Hidrograma h(aq::Serie_De_Datos(datos), dialogos, nullptr);
        const double t_armar = t.nsecsElapsed() / 1e6;
        Pintura pintura;
        h.Vista->viewport()->installEventFilter(&pintura);
        h.show();
        while (!pintura.pintado) app.processEvents(QEventLoop::AllEvents, 5);
        ventana.push_back(t.nsecsElapsed() / 1e6);
        if (qEnvironmentVariableIsSet("AQ_DETALLE"))
            std::printf("leer %.1f armar %.1f pintar %.1f\n", t_leer, t_armar - t_leer,
                        ventana.back() - t_armar);
    }

    // A station's million readings (28 years at 15 minutes, a gap each 10,000) with two manual
    // readings: levels computed, the runs cut, the depth drawn until the first paint.
    std::vector<aq::Punto_Serie> serie;
    serie.reserve(Lecturas_Archivo);
    for (int i = 0; i < Lecturas_Archivo; ++i)
        serie.push_back(
            {qint64(i) * 15 + (i / 10000) * 1440, 3000 + int(1500 * std::sin(i / 500.0))});
    const std::vector<aq::Lectura_Manual> manuales = {{serie[1000].minuto, 12.5, {}},
                                                      {serie[900000].minuto, 12.8, {}}};
    std::vector<double> archivo;
    for (int v = 0; v < vueltas; ++v) {
        QElapsedTimer t;
        t.start();
        aq::Hidrograma h(aq::Serie_De_Archivo(serie, aq::Magnitud::Profundidad, manuales, 100.0,
                                              QStringLiteral("Equipo 7")),
                         dialogos, nullptr);
        Pintura pintura;
        h.Vista->viewport()->installEventFilter(&pintura);
        h.show();
        while (!pintura.pintado) app.processEvents(QEventLoop::AllEvents, 5);
        if (h.Grafico()->Serie().Total_Puntos() != size_t(Lecturas_Archivo)) {
            std::fprintf(stderr, "the levels did not cover the series\n");
            return 1;
        }
        archivo.push_back(t.nsecsElapsed() / 1e6);
    }

    std::vector<double> cli;
    const QString png = tmp.filePath("POZO.png");
    for (int v = 0; v < vueltas; ++v) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(AQ_CLI_PATH, {"grafico", ruta, png});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            std::fprintf(stderr, "aqtide-cli grafico failed: %s\n",
                         p.readAllStandardError().constData());
            return 1;
        }
        cli.push_back(t.nsecsElapsed() / 1e6);
    }

    auto informe = [](const char* que, std::vector<double> v, double meta) {
        const double primera = v.front();
        std::sort(v.begin(), v.end());
        std::printf("%s: primera %.1f ms, mediana %.1f ms, peor %.1f ms; meta < %.0f ms: %s\n", que,
                    primera, v[v.size() / 2], v.back(), meta, Veredicto(v.back(), meta));
    };
    QFile carga(QStringLiteral("/proc/loadavg"));
    const QByteArray promedio =
        carga.open(QIODevice::ReadOnly) ? carga.readLine(64).trimmed() : "?";
    std::printf("archivo: 4096 lecturas en 4 bloques, %lld bytes; %d vueltas; carga %s\n",
                (long long)QFile(ruta).size(), vueltas, promedio.constData());
    std::printf("arranque de fuentes y estilo (una vez, antes de medir): %.1f ms\n", en_frio);
    informe("leer + ventana hasta la primera pintura", ventana, Meta_Ventana_Ms);
    informe("aqtide-cli grafico (proceso entero)", cli, Meta_Cli_Ms);
    informe("archivo: 1.000.000 lecturas con niveles hasta la primera pintura", archivo,
            Meta_Archivo_Ms);
    return 0;
}
