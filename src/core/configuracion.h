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
// what is missing or wrong (`carpeta_inicio` stands for a missing directory, COM1 for a missing
// port). Writes nothing.
void Leer_Ajustes(Estado& e, Perfil& perfil, Dialogos& dialogos, const QString& carpeta_inicio);

// Reads and repairs the settings, or on the first run after installation (a file
// "inicial.txt" in `carpeta_inicio`) writes them afresh and makes the directories there.
// Warnings go through ctx.dialogos. Returns true on the first run. The process's current
// folder is left alone: every file is named by its full path.
bool Leer_Configuracion(Contexto& ctx, const QString& carpeta_inicio);

}  // namespace aq
