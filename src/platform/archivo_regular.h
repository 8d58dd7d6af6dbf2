#pragma once
#include <QFile>
#include <QString>

namespace aq {

enum class Apertura {
    Abierto,   // open for reading
    Especial,  // a named pipe, device, socket or folder: left alone
    Fallo,     // could not be opened (missing, no permission...); errno is kept
};

// Opens `archivo` (by its file name) for reading only when it is a regular file. A named pipe
// is never waited on and a device is never opened, so choosing one cannot freeze the program.
// On failure `error` (when not null) gets a text for the user. The file is opened on its
// descriptor, so `archivo.fileName()` reads empty afterwards.
Apertura Abrir_Lectura_Regular(QFile& archivo, QString* error = nullptr);

// The text given for a path that is no regular file.
inline const QString Texto_No_Regular = QStringLiteral(
    "No es un archivo común (es una tubería, un dispositivo, un socket o una "
    "carpeta).");

}  // namespace aq
