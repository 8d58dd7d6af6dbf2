#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <cstdio>

#include "comandos.h"
#include "memory/archivos.h"
#include "memory/datos_exportados.h"
#include "memory/ui/hidrograma.h"

namespace {

constexpr int Ancho_Defecto = 1200, Alto_Defecto = 600;
constexpr int Lado_Minimo = 100, Lado_Maximo = 8000;

void Error(const QString& texto) {
    std::fputs(texto.toUtf8().constData(), stderr);
    if (!texto.endsWith(QLatin1Char('\n'))) std::fputc('\n', stderr);
}

// Qt's own notices (in English, about the session) would mix with the tool's messages.
void Sin_Avisos_Qt(QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg) Error(texto);
}

int Uso_Grafico() {
    return cli::Uso_De("grafico");
}

}  // namespace

// The hydrograph of a data file, as a PNG picture; no display is needed.
int Comando_Grafico(int argc, char** argv) {
    // A picture needs no screen: unless told otherwise, the offscreen platform is used, which
    // also spares the connection to a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Sin_Avisos_Qt);
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(2);

    int ancho = Ancho_Defecto, alto = Alto_Defecto;
    QStringList rutas;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--ancho") || a == QLatin1String("--alto")) {
            if (args.isEmpty()) return Uso_Grafico();
            bool ok = false;
            const int valor = args.takeFirst().toInt(&ok);
            if (!ok || valor < Lado_Minimo || valor > Lado_Maximo) {
                Error(a + QStringLiteral(": debe ser un número entre ") +
                      QString::number(Lado_Minimo) + QStringLiteral(" y ") +
                      QString::number(Lado_Maximo) + QLatin1Char('.'));
                return cli::Uso;
            }
            (a == QLatin1String("--ancho") ? ancho : alto) = valor;
        } else if (a.startsWith(QLatin1String("--"))) {
            return Uso_Grafico();
        } else {
            rutas << a;
        }
    }
    if (rutas.size() != 2) return Uso_Grafico();

    const aq::Datos_Exportados datos = aq::Leer_Datos_Exportados(rutas[0]);
    if (!datos.Valido()) {
        Error(rutas[0] + QStringLiteral(": ") + datos.error);
        return cli::Archivo;
    }
    QByteArray png;
    QBuffer memoria(&png);
    memoria.open(QIODevice::WriteOnly);
    if (!aq::Renderizar_Hidrograma(datos, ancho, alto).save(&memoria, "PNG")) {
        Error(QStringLiteral("No se pudo generar la imagen."));
        return cli::Archivo;
    }
    const aq::Falla_Archivo falla = aq::Reemplazar_Archivo(rutas[1], png).tipo;
    if (falla != aq::Falla_Archivo::Ninguna) {
        Error(rutas[1] + QStringLiteral(": ") +
              aq::Mensaje_Error_Archivo(falla).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return cli::Archivo;
    }
    return cli::Exito;
}
