#include <QFileInfo>
#include <QString>
#include <cstdio>

#include "comandos.h"
#include "maintenance/datos_visor.h"

namespace {

void Escribir(const QString& texto) {
    std::fputs(texto.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

// The viewer's two checks, for a data file outside the program.
int Comando_Verificar(const QStringList& args) {
    if (args.size() != 1) return cli::Uso_De("verificar");
    const QString ruta = args.first();
    if (!aq::Extension_Valida(ruta)) {
        Escribir(QStringLiteral("extensión: el nombre debe terminar en .txt o .csv"));
        return cli::Rechazo;
    }
    const aq::Revision_Contenido r = aq::Revisar_Contenido(ruta);
    if (!r.legible) {
        // A file that cannot be read is a file failure, not a verdict on its content.
        std::fprintf(stderr, "%s\n",
                     QStringLiteral("%1: %2").arg(ruta, r.error).toUtf8().constData());
        return cli::Archivo;
    }
    if (!r.valido) {
        Escribir(QStringLiteral("carácter no admitido: línea %1, columna %2, byte %3 (0x%4)")
                     .arg(r.linea)
                     .arg(r.columna)
                     .arg(r.byte)
                     .arg(r.byte, 2, 16, QLatin1Char('0')));
        return cli::Rechazo;
    }
    Escribir(QStringLiteral("ok"));
    return cli::Exito;
}
