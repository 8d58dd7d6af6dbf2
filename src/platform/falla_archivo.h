#pragma once
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
    No_Regular,         // a device, pipe, socket or folder where a file was to be written
    Es_Entrada,         // the file to write is one the same operation reads
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

}  // namespace aq
