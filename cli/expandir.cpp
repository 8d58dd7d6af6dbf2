#include <QFileInfo>
#include <QString>
#include <cstdio>

#include "comandos.h"
#include "core/estado.h"
#include "memory/decodificador.h"
#include "memory/resguardo.h"

namespace {

void Error(const QString& texto) {
    std::fputs(texto.toUtf8().constData(), stderr);
    if (!texto.endsWith(QLatin1Char('\n'))) std::fputc('\n', stderr);
}

}  // namespace

// A raw backup decoded as the expander window does it, into a file of the user's choice.
int Comando_Expandir(const QStringList& args) {
    if (args.size() != 2) {
        std::fputs("Uso: aqtide-cli expandir RESGUARDO SALIDA\n", stderr);
        return 2;
    }
    aq::Estado estado;
    QString error;
    if (!aq::Leer_Resguardo(args[0], estado.Imagen_Memoria, &error)) {
        Error(args[0] + QStringLiteral(": ") + error);
        return 1;
    }
    const QString salida = args[1];
    const QByteArray separador = QFileInfo(salida).fileName().toLower().endsWith(".csv")
                                     ? QByteArrayLiteral(";")
                                     : QByteArrayLiteral("\t");
    if (const aq::Falla_En_Archivo falla = aq::Analizar_Memoria(estado, salida, separador)) {
        Error(aq::Mensaje_Error_Archivo(falla.tipo));
        return 1;
    }
    return 0;
}
