#include <QFileInfo>
#include <QString>
#include <cstdio>

#include "comandos.h"
#include "memory/decodificador.h"
#include "memory/resguardo.h"
#include "platform/dialogos.h"
#include "core/estado.h"

namespace {

void Error(const QString& texto) {
    std::fputs(texto.toUtf8().constData(), stderr);
    if (!texto.endsWith(QLatin1Char('\n'))) std::fputc('\n', stderr);
}

// The decoder's message boxes, for a terminal.
class Dialogos_Consola : public aq::Dialogos {
  public:
    aq::Respuesta MsgBox(const QString& texto, aq::Icono, aq::Botones, const QString&) override {
        Error(texto);
        return aq::Respuesta::Aceptar;
    }
    QString Guardar_Archivo(const QString&, const QString&) override { return {}; }
    QString Abrir_Archivo(const QString&, const QString&) override { return {}; }
};

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
    Dialogos_Consola avisos;
    return aq::Analizar_Memoria(estado, salida, separador, &avisos) ? 0 : 1;
}
