#include "platform/falla_archivo.h"

#include <QFileInfo>
#include <cerrno>
#include <system_error>

namespace aq {

namespace {

// errno as the C++ library names it; the platform may leave it at 0.
Falla_Archivo Por_Numero(int numero_error, Operacion_Archivo operacion) {
    switch (static_cast<std::errc>(numero_error)) {
        case std::errc::no_such_file_or_directory:
        case std::errc::not_a_directory:
            return operacion == Operacion_Archivo::Abrir_Lectura ? Falla_Archivo::Otra
                                                                 : Falla_Archivo::Ruta_Inexistente;
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
        case std::errc::read_only_file_system:
            return Falla_Archivo::Permiso_Denegado;
        case std::errc::no_space_on_device:
        case std::errc::file_too_large:
            return Falla_Archivo::Disco_Lleno;
        case std::errc::device_or_resource_busy:
        case std::errc::text_file_busy:
            return Falla_Archivo::Archivo_Abierto;
        case std::errc::filename_too_long:
        case std::errc::invalid_argument:
        case std::errc::is_a_directory:
        case std::errc::illegal_byte_sequence:
            return Falla_Archivo::Nombre_Incorrecto;
        case std::errc::io_error:
        case std::errc::no_such_device:
        case std::errc::no_such_device_or_address:
            return Falla_Archivo::Disco_No_Lista;
        default:
            return Falla_Archivo::Ninguna;
    }
}

}  // namespace

Falla_Archivo Clasificar_Falla_Archivo(const QString& ruta, Operacion_Archivo operacion,
                                       QFileDevice::FileError error, int numero_error) {
    const bool abrir = operacion == Operacion_Archivo::Abrir_Escritura ||
                       operacion == Operacion_Archivo::Abrir_Lectura;
    const QFileInfo info(ruta);

    // What the file system shows for certain comes first: errno may be stale or unset.
    if (abrir) {
        if (ruta.isEmpty() || info.fileName().isEmpty() || info.isDir())
            return Falla_Archivo::Nombre_Incorrecto;
        const QFileInfo carpeta(info.absolutePath());
        if (!carpeta.exists() || !carpeta.isDir()) return Falla_Archivo::Ruta_Inexistente;
    }
    if (operacion == Operacion_Archivo::Escribir && error == QFileDevice::ResourceError)
        return Falla_Archivo::Disco_Lleno;

    const Falla_Archivo por_numero = Por_Numero(numero_error, operacion);
    if (por_numero != Falla_Archivo::Ninguna) return por_numero;

    if (error == QFileDevice::PermissionsError) return Falla_Archivo::Permiso_Denegado;
    if (operacion == Operacion_Archivo::Abrir_Escritura || operacion == Operacion_Archivo::Borrar) {
        if (info.exists() && !info.isWritable()) return Falla_Archivo::Permiso_Denegado;
        if (!QFileInfo(info.absolutePath()).isWritable()) return Falla_Archivo::Permiso_Denegado;
        // A writable file in a writable folder that still cannot be opened or removed is held by
        // another program (Windows says so only in words).
        if (info.exists()) return Falla_Archivo::Archivo_Abierto;
    }
    if (operacion == Operacion_Archivo::Abrir_Lectura && info.exists() && !info.isReadable())
        return Falla_Archivo::Permiso_Denegado;
    return Falla_Archivo::Otra;
}

Falla_Archivo Clasificar_Falla_Archivo(const QFileDevice& archivo, Operacion_Archivo operacion) {
    const int numero_error = errno;
    return Clasificar_Falla_Archivo(archivo.fileName(), operacion, archivo.error(), numero_error);
}

}  // namespace aq
