#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "comandos.h"

namespace {

void Uso() {
    std::fputs(
        "Uso: aqtide-cli expandir RESGUARDO SALIDA\n"
        "     aqtide-cli verificar ARCHIVO\n"
        "\n"
        "  expandir   decodifica un resguardo de memoria (BAK) en un archivo de datos;\n"
        "             separador \";\" si SALIDA termina en .csv, si no tabulador.\n"
        "  verificar  comprueba que un archivo de datos pueda abrirse en el visor.\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "grafico") == 0) return Comando_Grafico(argc, argv);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        Uso();
        return 2;
    }
    const QString comando = args.takeFirst();
    if (comando == "expandir") return Comando_Expandir(args);
    if (comando == "verificar") return Comando_Verificar(args);
    if (comando == "archivo") return Comando_Archivo(args);
    Uso();
    return 2;
}
