#pragma once
#include <QList>
#include <QString>

#include "core/contexto.h"
#include "platform/dialogos.h"

namespace aq {

// Names and version of the application. No display name: the window system would append it
// to every title, and titles are exactly the program's own.
void Preparar_Aplicacion();

// True when `ruta` names an ordinary file.
bool Existe_Archivo(const QString& ruta);
// True when any entry (directory or file) of that name exists.
bool Existe_Directorio(const QString& ruta);

// A warning about the settings, worded and titled as its box shows it.
struct Aviso_Ajustes {
    QString texto;
    Icono icono;
    QString titulo;
};

// Reads the directories and the port number of a normal start, and returns the warnings of
// what is missing or wrong, in the order they are to be shown (`carpeta_inicio` stands for a
// missing directory, COM1 for a missing port). Writes nothing.
QList<Aviso_Ajustes> Leer_Ajustes(Estado& e, Perfil& perfil, const QString& carpeta_inicio);

// Reads and repairs the settings, or on the first run after installation (a file
// "inicial.txt" in `carpeta_inicio`) writes them afresh and makes the directories there.
// The warnings of a normal start go to `avisos`. Returns true on the first run. The process's
// current folder is left alone: every file is named by its full path.
bool Leer_Configuracion(Contexto& ctx, const QString& carpeta_inicio, QList<Aviso_Ajustes>* avisos);

}  // namespace aq
