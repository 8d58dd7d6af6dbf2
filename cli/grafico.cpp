#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <optional>

#include "archivo/archivo_historico.h"
#include "archivo/serie.h"
#include "comandos.h"
#include "core/estado.h"
#include "hidrografia/ui/hidrograma.h"
#include "memory/archivos.h"
#include "memory/datos_exportados.h"
#include "memory/serie_datos.h"
#include "platform/escritura_segura.h"
#include "platform/perfil_ini.h"

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

const char* const Uso_Archivo =
    "Uso: aqtide-cli archivo grafico EQUIPO SALIDA.png [--desde AAAA-MM-DD] [--hasta AAAA-MM-DD]\n"
    "                                [--magnitud columna|profundidad|cota] [--ancho W] [--alto H]\n"
    "                                [--base URL]";

int Uso(const char* texto) {
    Error(QString::fromUtf8(texto));
    return cli::Uso;
}

// A picture needs no screen: unless told otherwise, the offscreen platform is used, which also
// spares the connection to a display.
void Plataforma_Sin_Pantalla() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Sin_Avisos_Qt);
}

struct Opciones_Grafico {
    int ancho = Ancho_Defecto, alto = Alto_Defecto;
    QStringList posicionales;
    QMap<QString, QString> valores;  // --desde, --hasta, --magnitud, --base
};

// false with the exit status in `salida` on a wrong word.
bool Leer(QStringList args, const QStringList& con_valor, Opciones_Grafico* o, int* salida,
          const char* uso) {
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--ancho") || a == QLatin1String("--alto")) {
            if (args.isEmpty()) return (*salida = Uso(uso)), false;
            bool ok = false;
            const int valor = args.takeFirst().toInt(&ok);
            if (!ok || valor < Lado_Minimo || valor > Lado_Maximo) {
                Error(a + QStringLiteral(": debe ser un número entre ") +
                      QString::number(Lado_Minimo) + QStringLiteral(" y ") +
                      QString::number(Lado_Maximo) + QLatin1Char('.'));
                return (*salida = cli::Uso), false;
            }
            (a == QLatin1String("--ancho") ? o->ancho : o->alto) = valor;
        } else if (con_valor.contains(a)) {
            if (args.isEmpty()) return (*salida = Uso(uso)), false;
            o->valores[a] = args.takeFirst();
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(uso, stdout);
            std::fputc('\n', stdout);
            return (*salida = cli::Exito), false;
        } else if (a.startsWith(QLatin1String("--"))) {
            return (*salida = Uso(uso)), false;
        } else {
            o->posicionales << a;
        }
    }
    return true;
}

// Writes the picture; the exit status.
int Guardar(const QImage& imagen, const QString& ruta, const QStringList& entradas = {}) {
    const QByteArray png = aq::Png_De(imagen);
    if (png.isEmpty()) {
        Error(QStringLiteral("No se pudo generar la imagen."));
        return cli::Archivo;
    }
    const aq::Falla_Archivo falla = aq::Reemplazar_Archivo(ruta, png, entradas).tipo;
    if (falla != aq::Falla_Archivo::Ninguna) {
        Error(ruta + QStringLiteral(": ") +
              aq::Mensaje_Error_Archivo(falla).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return cli::Archivo;
    }
    return cli::Exito;
}

}  // namespace

// The hydrograph of a data file, as a PNG picture; no display is needed.
int Comando_Grafico(int argc, char** argv) {
    Plataforma_Sin_Pantalla();
    QApplication app(argc, argv);
    Opciones_Grafico o;
    int salida = cli::Exito;
    if (!Leer(app.arguments().mid(2), {}, &o, &salida,
              "Uso: aqtide-cli grafico DATOS.csv|DATOS.txt SALIDA.png [--ancho W] [--alto H]"))
        return salida;
    if (o.posicionales.size() != 2) return cli::Uso_De("grafico");

    const aq::Datos_Exportados datos = aq::Leer_Datos_Exportados(o.posicionales[0]);
    if (!datos.Valido()) {
        Error(o.posicionales[0] + QStringLiteral(": ") + datos.error);
        return cli::Archivo;
    }
    if (datos.lecturas_sin_fecha)
        Error(QString::number(datos.lecturas_sin_fecha) +
              QString::fromUtf8(" lecturas sin fecha válida, no graficadas."));
    return Guardar(aq::Renderizar_Hidrograma(aq::Serie_De_Datos(datos), o.ancho, o.alto),
                   o.posicionales[1], {o.posicionales[0]});
}

// A station's series from the archive, as a PNG picture, for reports.
int Comando_Archivo_Grafico(int argc, char** argv) {
    Plataforma_Sin_Pantalla();
    QApplication app(argc, argv);
    Opciones_Grafico o;
    int salida = cli::Exito;
    const QStringList con_valor = {"--desde", "--hasta", "--magnitud", "--base"};
    if (!Leer(app.arguments().mid(3), con_valor, &o, &salida, Uso_Archivo)) return salida;
    if (o.posicionales.size() != 2) return Uso(Uso_Archivo);
    bool ok = false;
    const int equipo = o.posicionales[0].toInt(&ok);
    if (!ok || equipo < 0 || equipo > 255) {
        Error(o.posicionales[0] + QStringLiteral(": el equipo es un número de 0 a 255."));
        return cli::Uso;
    }
    QDate fechas[2];
    const char* nombres[2] = {"--desde", "--hasta"};
    for (int k = 0; k < 2; ++k)
        if (o.valores.contains(nombres[k])) {
            fechas[k] = QDate::fromString(o.valores[nombres[k]], Qt::ISODate);
            if (!fechas[k].isValid()) {
                Error(QString::fromLatin1(nombres[k]) +
                      QStringLiteral(": la fecha se escribe AAAA-MM-DD."));
                return cli::Uso;
            }
        }
    const QString texto_magnitud = o.valores.value("--magnitud", "columna");
    const QStringList magnitudes = {"columna", "profundidad", "cota"};
    if (!magnitudes.contains(texto_magnitud)) {
        Error(QStringLiteral("--magnitud: columna, profundidad o cota."));
        return cli::Uso;
    }
    const aq::Magnitud magnitud = aq::Magnitud(magnitudes.indexOf(texto_magnitud));

    aq::Archivo_Historico archivo;
    aq::Perfil_Ini perfil;
    const QString raiz =
        aq::Directorio_Raiz_De_Perfil(perfil, aq::Estado().Seccion_Ini, QDir::currentPath());
    aq::Destino_Archivo destino;
    aq::Resultado_Archivo r =
        aq::Abrir_Archivo_Configurado(archivo, perfil, raiz, o.valores.value("--base"), &destino);
    if (!r) {
        const QString donde = destino.Descripcion();
        Error(QString::fromUtf8("Archivo histórico%1: %2")
                  .arg(donde.isEmpty() ? QString() : QLatin1Char(' ') + donde,
                       aq::Mensaje_Archivo(r)));
        return cli::Rechazo;
    }
    QString nombre;
    std::optional<double> referencia;
    bool conocida = false;
    for (const aq::Resumen_Estacion& e : archivo.Estaciones(&r))
        if (e.equipo == equipo) {
            nombre = e.nombre;
            referencia = e.referencia;
            conocida = true;
        }
    if (r && !conocida) r.fin = aq::Fin_Archivo::Equipo_Desconocido;
    const std::vector<aq::Punto_Serie> serie =
        r ? archivo.Serie(equipo, QDate(), QDate(), &r) : std::vector<aq::Punto_Serie>();
    if (!r) {
        Error(aq::Mensaje_Archivo(r));
        return cli::Rechazo;
    }
    const std::vector<aq::Lectura_Manual> manuales = magnitud == aq::Magnitud::Columna
                                                         ? std::vector<aq::Lectura_Manual>()
                                                         : archivo.Manuales(equipo, &r);
    if (!r) {
        Error(aq::Mensaje_Archivo(r));
        return cli::Rechazo;
    }
    if (magnitud != aq::Magnitud::Columna && manuales.empty()) {
        Error(QString::fromUtf8("El equipo ") + QString::number(equipo) +
              QString::fromUtf8(" no tiene lecturas manuales: sólo hay columna de agua."));
        return cli::Rechazo;
    }
    if (magnitud == aq::Magnitud::Cota && !referencia) {
        Error(QString::fromUtf8("El equipo ") + QString::number(equipo) +
              QString::fromUtf8(" no tiene cota de referencia: use \"archivo referencia\"."));
        return cli::Rechazo;
    }
    const aq::Serie_Grafica s =
        aq::Serie_De_Archivo(serie, magnitud, manuales, referencia,
                             aq::Nombre_Estacion(equipo, nombre), fechas[0], fechas[1]);
    return Guardar(aq::Renderizar_Hidrograma(s, o.ancho, o.alto), o.posicionales[1],
                   destino.Archivos());
}
