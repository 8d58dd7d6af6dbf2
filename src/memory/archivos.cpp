#include "memory/archivos.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
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

QString Mensaje_Error_Archivo(Falla_Archivo falla) {
    switch (falla) {
        case Falla_Archivo::Ruta_Inexistente:
            return QStringLiteral(
                "No existe el directorio solicitado.\nCréelo y vuelva a intentar");
        case Falla_Archivo::Archivo_Abierto:
            return QStringLiteral(
                "El archivo solicitado ya está\nabierto. Ciérrelo y vuelva a\nintentar.");
        case Falla_Archivo::Nombre_Incorrecto:
            return QStringLiteral(
                "El nombre solicitado es incorrecto.\nVerifique que tenga 8 letras\n"
                "de nombre y 3 de extensión");
        case Falla_Archivo::Permiso_Denegado:
            return QStringLiteral("Permiso denegado.");
        case Falla_Archivo::Disco_No_Lista:
            return QStringLiteral("La unidad de disco no está lista.");
        case Falla_Archivo::Disco_Lleno:
            return QStringLiteral(
                "El disco está lleno y por esta razón \nNO SE HAN PODIDO GUARDAR LOS DATOS !!!\n");
        case Falla_Archivo::Ninguna:
        case Falla_Archivo::Otra:
            break;
    }
    return QStringLiteral(
        "No se pudo usar el archivo solicitado.\nVerifique el disco y vuelva a\n"
        "intentar.");
}

QString Mensaje_Error_Archivo(const QFileDevice& archivo, Operacion_Archivo operacion) {
    return Mensaje_Error_Archivo(Clasificar_Falla_Archivo(archivo, operacion));
}

void Hacer_Escribible(const QString& ruta) {
    QFile::setPermissions(
        ruta, QFile::permissions(ruta) | QFileDevice::WriteOwner | QFileDevice::WriteUser);
}

bool Borrar_Forzado(const QString& ruta) {
    const QFileInfo info(ruta);
    if (!info.exists() && !info.isSymLink()) return true;
    Hacer_Escribible(ruta);
    return QFile::remove(ruta);
}

Falla_En_Archivo Reemplazar_Archivo(const QString& ruta, const QByteArray& contenido) {
    const QFileInfo info(ruta);
    // A link or a special file is replaced, never written through.
    if ((info.isSymLink() || (info.exists() && !info.isFile())) && !Borrar_Forzado(ruta))
        return {Clasificar_Falla_Archivo(ruta, Operacion_Archivo::Borrar, QFileDevice::RemoveError,
                                         errno),
                ruta};
    const bool existia = QFileInfo::exists(ruta);
    // The "user" flags describe the caller's access, and setting them sets the owner's bits.
    const QFileDevice::Permissions permisos =
        QFile::permissions(ruta) &
        ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    if (existia) Hacer_Escribible(ruta);
    auto fallar = [&](Falla_Archivo tipo) {
        if (existia) QFile::setPermissions(ruta, permisos);
        return Falla_En_Archivo{tipo, ruta};
    };

    // Unbuffered: a failure met only when a buffer is flushed at commit would go unnoticed.
    QSaveFile archivo(ruta);
    errno = 0;
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fallar(Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Abrir_Escritura));
    errno = 0;
    if (archivo.write(contenido) != contenido.size()) {
        const Falla_Archivo tipo = Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Escribir);
        archivo.cancelWriting();
        // A short write with nothing else to say: no room left.
        return fallar(tipo == Falla_Archivo::Otra ? Falla_Archivo::Disco_Lleno : tipo);
    }
    errno = 0;
    if (!archivo.commit())
        return fallar(Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Escribir));
    return {};
}

}  // namespace aq
