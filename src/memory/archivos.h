#pragma once
#include <QFileDevice>
#include <QString>

#include "platform/escritura_segura.h"
#include "platform/falla_archivo.h"

namespace aq {

// The message of a failure kind, lines joined by line feeds.
QString Mensaje_Error_Archivo(Falla_Archivo falla);

// Shorthand: classify `archivo` (just failed) and word the message.
QString Mensaje_Error_Archivo(const QFileDevice& archivo, Operacion_Archivo operacion);

}  // namespace aq
