#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "comandos.h"

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
     "Verifica el enlace y lee el estado del equipo: equipo, alcance_m, lectura_mm, fecha,\n"
     "hora, intervalo, modo y registros_libres, uno por línea (\"campo: valor\"), o un objeto\n"
     "JSON con --json.\n",
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
     "BAK y su copia DUMP.$$$ en la carpeta del programa, y decodifica los datos en SALIDA\n"
     "(\";\" si termina en .csv, si no tabulador). Un archivo existente sólo se reemplaza con\n"
     "--sobrescribir. Con --y-borrar borra la memoria después de una lectura completa,\n"
     "verificada y resguardada; pregunta en una terminal, salvo con --si (obligatorio sin\n"
     "terminal). El equipo queda en el modo en que estaba. Sale con 1 si la recepción fue\n"
     "incompleta o el checksum no coincide, aunque los archivos se hayan escrito.\n",
     cli::Orden_Descargar, nullptr},
    {"borrar", "borrar --sin-descarga-previa --si",
     "Borra la memoria del equipo sin haberla leído en esta ejecución. Para leerla y borrarla\n"
     "de una vez, use \"descargar SALIDA --y-borrar\".\n",
     cli::Orden_Borrar, nullptr},
    {"expandir", "expandir RESGUARDO SALIDA",
     "Decodifica un resguardo de memoria (BAK) en un archivo de datos; separador \";\" si\n"
     "SALIDA termina en .csv, si no tabulador.\n",
     nullptr, Comando_Expandir},
    {"verificar", "verificar ARCHIVO",
     "Comprueba que un archivo de datos pueda abrirse en el visor.\n", nullptr, Comando_Verificar},
    {"grafico", "grafico DATOS SALIDA.png [--ancho W] [--alto H]",
     "Dibuja el hidrograma de un archivo de datos (.csv o .txt) en una imagen PNG, sin\n"
     "pantalla.\n",
     nullptr, [](const QStringList&) { return int(cli::Uso); }},  // runs before, in main
    {"archivo", "archivo importar|listar|exportar|nombre ... [--base URL]",
     "El archivo histórico de estaciones; cada orden explica su uso con --help.\n", nullptr,
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
        "\nMensajes en la salida de errores, datos en la salida estándar.\n"
        "Estado de salida: 0 éxito; 1 el equipo rechazó, no respondió o la transferencia fue\n"
        "mala; 2 uso o valor incorrecto; 3 falla de archivo.\n");
    Texto(flujo, t);
}

bool Es_Ayuda(const QString& a) {
    return a == QLatin1String("--help") || a == QLatin1String("-h") ||
           a == QLatin1String("--ayuda");
}

}  // namespace

namespace cli {

int Uso_De(Sesion& s, const char* orden) {
    if (const Orden* o = Buscar(QString::fromLatin1(orden)))
        s.Aviso(QStringLiteral("Uso: aqtide-cli [--puerto N|DISPOSITIVO|tcp://HOST:PUERTO] ") +
                QString::fromUtf8(o->uso));
    return Uso;
}

}  // namespace cli

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "grafico") == 0) return Comando_Grafico(argc, argv);
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
    if (args.size() == 1 && Es_Ayuda(args.first()) && orden->archivo != Comando_Archivo) {
        Texto(stdout,
              QStringLiteral("Uso: aqtide-cli [--puerto N|DISPOSITIVO|tcp://HOST:PUERTO] %1\n\n%2")
                  .arg(QString::fromUtf8(orden->uso), QString::fromUtf8(orden->ayuda)));
        return cli::Exito;
    }
    if (orden->archivo) return orden->archivo(args);
    aq::Consola_Real consola;
    cli::Sesion sesion(consola, puerto);
    return orden->logger(sesion, args);
}
