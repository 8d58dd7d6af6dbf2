#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "comandos.h"
#include "link/enlace.h"
#include "platform/senales.h"

namespace {

struct Orden {
    const char* nombre;
    const char* uso;
    const char* ayuda;
    int (*logger)(cli::Sesion&, const QStringList&);  // talks to the logger
    int (*archivo)(const QStringList&);               // works on files only
};

const Orden Ordenes[] = {
    {"estado", "estado [--json]",
     "Lee el estado del equipo: equipo, alcance_m, lectura_mm, fecha, hora, intervalo, modo y\n"
     "registros_libres, uno por línea (\"campo: valor\"); además deriva_reloj_min, los minutos\n"
     "que el reloj del equipo se aparta del de esta PC, deriva_reloj y memoria_llena cuando el\n"
     "monitor los mostraría.\n"
     "  --json  los mismos campos como un objeto JSON en una línea\n",
     cli::Orden_Estado, nullptr},
    {"modo", "modo ajuste|registro",
     "Pasa el equipo a Modo AJUSTE (no registra) o REGISTRO (abre un nuevo bloque de datos),\n"
     "lee el estado y muestra el modo en que quedó. Sale con 0 sólo si quedó en el modo pedido.\n",
     cli::Orden_Modo, nullptr},
    {"fecha", "fecha DD/MM/AA",
     "Programa la fecha del equipo (en Modo AJUSTE). Una fecha imposible no se envía.\n",
     cli::Orden_Fecha, nullptr},
    {"hora", "hora HH:MM", "Programa la hora del equipo (en Modo AJUSTE).\n", cli::Orden_Hora,
     nullptr},
    {"intervalo", "intervalo 5m|10m|15m|30m|1h|2h|4h|0..6",
     "Programa el intervalo entre lecturas (en Modo AJUSTE); 0 a 6 son los códigos de\n"
     "5, 10, 15, 30 minutos, 1, 2 y 4 horas.\n",
     cli::Orden_Intervalo, nullptr},
    {"reloj", "reloj",
     "Programa la fecha y la hora del equipo con las de esta PC (en Modo AJUSTE).\n",
     cli::Orden_Reloj, nullptr},
    {"descargar", "descargar SALIDA [--sobrescribir] [--y-borrar [--si]]",
     "Lee toda la memoria del equipo, la verifica (checksum), guarda el resguardo en la carpeta\n"
     "BAK y su copia DUMP.$$$ en la carpeta del programa, decodifica los datos en SALIDA\n"
     "(\";\" si termina en .csv, si no tabulador) y registra la descarga en el archivo\n"
     "histórico. El nombre de SALIDA (no sus carpetas) no puede tener dos puntos ni ser un\n"
     "ejecutable, un comprimido o AYUDA.TXT. El equipo queda en el modo en que estaba.\n"
     "  --sobrescribir  reemplaza un archivo SALIDA existente\n"
     "  --y-borrar      borra la memoria después de una lectura completa, verificada y\n"
     "                  resguardada; pregunta en una terminal\n"
     "  --si            borra sin preguntar (obligatorio sin terminal)\n"
     "Sale con 1 si la recepción fue incompleta o el checksum no coincide, aunque los archivos\n"
     "se hayan escrito, y con 4 si todo se guardó pero el archivo histórico no se actualizó.\n",
     cli::Orden_Descargar, nullptr},
    {"borrar", "borrar --sin-descarga-previa --si",
     "Borra la memoria del equipo sin haberla leído en esta ejecución; las dos opciones son\n"
     "obligatorias. Para leerla y borrarla de una vez, use \"descargar SALIDA --y-borrar\".\n",
     cli::Orden_Borrar, nullptr},
    {"expandir", "expandir RESGUARDO SALIDA",
     "Decodifica un resguardo de memoria (BAK) en un archivo de datos; separador \";\" si\n"
     "SALIDA termina en .csv, si no tabulador.\n",
     nullptr, Comando_Expandir},
    {"verificar", "verificar ARCHIVO",
     "Comprueba que un archivo de datos pueda abrirse en el visor: escribe \"ok\" o el primer\n"
     "problema hallado, y sale con 1 si lo hay.\n",
     nullptr, Comando_Verificar},
    {"grafico", "grafico DATOS.csv|DATOS.txt SALIDA.png [--ancho W] [--alto H]",
     "Dibuja el hidrograma de un archivo de datos (.csv o .txt) en una imagen PNG, sin\n"
     "pantalla.\n"
     "  --ancho W, --alto H  tamaño de la imagen en píxeles, 100 a 8000 (1200 x 600)\n",
     nullptr, [](const QStringList&) { return int(cli::Uso); }},  // runs before, in main
    {"archivo", "archivo importar|listar|exportar|nombre ... [--base URL]",
     "El archivo histórico de estaciones; \"archivo --help\" explica cada orden.\n", nullptr,
     Comando_Archivo},
};

const Orden* Buscar(const QString& nombre) {
    for (const Orden& o : Ordenes)
        if (nombre == QLatin1String(o.nombre)) return &o;
    return nullptr;
}

void Texto(std::FILE* flujo, const QString& t) {
    std::fputs(t.toUtf8().constData(), flujo);
}

void Ayuda_General(std::FILE* flujo) {
    QString t = QStringLiteral(
        "Uso: aqtide-cli [--puerto N|DISPOSITIVO|tcp://HOST:PUERTO] ORDEN [ARGUMENTOS]\n"
        "     aqtide-cli ORDEN --help\n\n"
        "  --puerto N            puerto 1 a 4, con el dispositivo de [Puertos] COMn del archivo\n"
        "                        de configuración (como en el programa)\n"
        "  --puerto DISPOSITIVO  un dispositivo serie, p. ej. /dev/ttyUSB0\n"
        "  --puerto tcp://HOST:PUERTO  un servidor serie en la red (modo TCP directo)\n"
        "  sin --puerto          el puerto configurado (MSComm1_PORT)\n\n"
        "Órdenes:\n");
    for (const Orden& o : Ordenes) t += QStringLiteral("  %1\n").arg(QString::fromUtf8(o.uso));
    t += QStringLiteral(
        "\nLas órdenes que hablan con el equipo verifican antes el enlace y la versión de su\n"
        "firmware, como el programa al iniciar.\n"
        "Mensajes en la salida de errores, datos en la salida estándar.\n\n");
    Texto(flujo, t + QString::fromUtf8(cli::Texto_Salidas));
}

QString Linea_Uso(const Orden& o) {
    return QStringLiteral("Uso: aqtide-cli %1%2\n")
        .arg(o.logger ? QStringLiteral("[--puerto N|DISPOSITIVO|tcp://HOST:PUERTO] ") : QString(),
             QString::fromUtf8(o.uso));
}

bool Es_Ayuda(const QString& a) {
    return a == QLatin1String("--help") || a == QLatin1String("-h") ||
           a == QLatin1String("--ayuda");
}

}  // namespace

namespace cli {

const char* const Texto_Salidas =
    "Estado de salida: 0 hecho; 1 falló el equipo o la operación; 2 uso o valor incorrecto;\n"
    "3 falla de archivo; 4 descarga guardada sin actualizar el archivo histórico;\n"
    "130 interrumpida con Ctrl-C; 143 terminada con SIGTERM.\n";

int Uso_De(const char* orden, const QString& motivo) {
    if (!motivo.isEmpty()) Texto(stderr, motivo + QLatin1Char('\n'));
    if (const Orden* o = Buscar(QString::fromLatin1(orden))) Texto(stderr, Linea_Uso(*o));
    return Uso;
}

}  // namespace cli

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "grafico") == 0) {
        bool ayuda = false;
        for (int k = 2; k < argc; ++k) ayuda = ayuda || Es_Ayuda(QString::fromLocal8Bit(argv[k]));
        if (!ayuda) return Comando_Grafico(argc, argv);
    }
    if (argc > 2 && std::strcmp(argv[1], "archivo") == 0 && std::strcmp(argv[2], "grafico") == 0)
        return Comando_Archivo_Grafico(argc, argv);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    QString puerto;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString a = args.takeFirst();
        if (Es_Ayuda(a)) {
            Ayuda_General(stdout);
            return cli::Exito;
        }
        if (a == QLatin1String("--puerto") && !args.isEmpty()) {
            puerto = args.takeFirst();
            QString error;
            if (!cli::Puerto_Cli_Valido(puerto, &error)) {
                Texto(stderr, error + QLatin1Char('\n'));
                return cli::Uso;
            }
            continue;
        }
        Ayuda_General(stderr);
        return cli::Uso;
    }
    if (args.isEmpty()) {
        Ayuda_General(stderr);
        return cli::Uso;
    }
    const Orden* orden = Buscar(args.takeFirst());
    if (!orden) {
        Ayuda_General(stderr);
        return cli::Uso;
    }
    // "archivo" has orders of its own, each with its own help.
    if (std::any_of(args.begin(), args.end(), Es_Ayuda) && orden->archivo != Comando_Archivo) {
        Texto(stdout, Linea_Uso(*orden) + QLatin1Char('\n') + QString::fromUtf8(orden->ayuda) +
                          QLatin1Char('\n') + QString::fromUtf8(cli::Texto_Salidas));
        return cli::Exito;
    }
    if (orden->archivo) return orden->archivo(args);

    aq::Atender_Senales();
    aq::Consola_Real consola;
    cli::Sesion sesion(consola, puerto);
    try {
        return orden->logger(sesion, args);
    } catch (const cli::Interrupcion& i) {
        sesion.Desarmar();
        sesion.Aviso(QStringLiteral("\nInterrumpido."));
        // As the order's own end would, the logger is left in the mode it reports; one still
        // sending its dump hears nothing, so it is left alone.
        if (sesion.Saludado()) {
            aq::Contexto& c = sesion.ctx();
            c.puerto.Input();
            if (!c.puerto.Esperar_Datos(c.reloj.Segundos() + 0.3)) aq::Reponer_Modo(c);
        }
        return cli::Salida_De_Senal(i.senal);
    }
}
