#pragma once
#include <QString>

#include "core/contexto.h"

namespace aq {

// Names and version of the application. No display name: the window system would append it
// to every title, and titles are exactly the program's own.
void Preparar_Aplicacion();

// True when `ruta` names an ordinary file.
bool Existe_Archivo(const QString& ruta);
// True when any entry (directory or file) of that name exists.
bool Existe_Directorio(const QString& ruta);

// Reads the directories and the port number of a normal start, warning through `dialogos` of
// what is missing or wrong (the current directory stands for a missing one, COM1 for a missing
// port). Changes no directory and writes nothing.
void Leer_Ajustes(Estado& e, Perfil& perfil, Dialogos& dialogos);

// Reads and repairs the settings, or on the first run after installation (a file
// "inicial.txt" in the current directory) writes them afresh and makes the directories.
// Leaves the current directory at `Directorio_Datos` on a normal start. Warnings go
// through ctx.dialogos. Returns true on the first run.
bool Leer_Configuracion(Contexto& ctx);

}  // namespace aq
