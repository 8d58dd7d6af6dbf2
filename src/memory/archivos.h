#pragma once
#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace aq {

// Kinds of file failure the program reports with fixed texts.
enum class Falla_Archivo {
    Ninguna,
    Ruta_Inexistente,   // path not found
    Archivo_Abierto,    // file already open (or in use elsewhere)
    Nombre_Incorrecto,  // bad file name
    Permiso_Denegado,   // permission denied (read-only file, folder or disk)
    Disco_No_Lista,     // disk not ready
    Disco_Lleno,        // disk full
    Otra,               // anything else
};

// A failure and the file it came on; false when there was none.
struct Falla_En_Archivo {
    Falla_Archivo tipo = Falla_Archivo::Ninguna;
    QString ruta;
    explicit operator bool() const { return tipo != Falla_Archivo::Ninguna; }
};

// What was being done when the failure came; it decides how an ambiguous error is read.
enum class Operacion_Archivo { Abrir_Escritura, Abrir_Lectura, Escribir, Leer, Borrar };

// Classifies a failed operation on `ruta`. `numero_error` is errno taken right after the
// failing call (0 when unknown: the platform may not set it), `error` the device's error.
// The file system is checked as well, so the result holds where errno says nothing.
Falla_Archivo Clasificar_Falla_Archivo(const QString& ruta, Operacion_Archivo operacion,
                                       QFileDevice::FileError error, int numero_error);

// Same, for a device that has just failed; errno is read here, so call it at once.
Falla_Archivo Clasificar_Falla_Archivo(const QFileDevice& archivo, Operacion_Archivo operacion);

// The message of a failure kind, lines joined by line feeds.
QString Mensaje_Error_Archivo(Falla_Archivo falla);

// Shorthand: classify `archivo` (just failed) and word the message.
QString Mensaje_Error_Archivo(const QFileDevice& archivo, Operacion_Archivo operacion);

// Writes `contenido` beside `ruta` and puts it in place only once it is whole on disk: a full
// disk or a vanished folder leaves the earlier file (a read-only one included) as it was. A
// link or special file at `ruta` is replaced, never written through.
Falla_En_Archivo Reemplazar_Archivo(const QString& ruta, const QByteArray& contenido);

// Makes a file writable and deletes it; true when it is gone.
bool Borrar_Forzado(const QString& ruta);

}  // namespace aq
