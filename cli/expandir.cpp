#include <QDir>
#include <QString>
#include <cstdio>

#include "comandos.h"
#include "core/estado.h"
#include "maintenance/expansion.h"
#include "memory/descarga.h"

// A raw backup decoded as the expander window does it, into a file of the user's choice.
int Comando_Expandir(const QStringList& args) {
    if (args.size() != 2) return cli::Uso_De("expandir");
    aq::Estado estado;
    const aq::Resultado_Expansion r =
        aq::Expandir_Resguardo(estado, args[0], args[1], aq::Separador_Para(args[1]));
    if (r.fin == aq::Fin_Expansion::Expandida) return cli::Exito;
    const QString ruta = r.fin == aq::Fin_Expansion::Resguardo_Ilegible ? args[0] : r.falla.ruta;
    QString texto = QDir::toNativeSeparators(ruta) + QStringLiteral(": ") +
                    aq::Mensaje_Expansion(r).replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s\n", texto.simplified().toUtf8().constData());
    return cli::Archivo;
}
