#include "platform/escritura_segura.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>

namespace aq {

namespace {

QByteArray Nativa(const QString& ruta) {
    return QFile::encodeName(ruta);
}

// What stands at `ruta`: nothing, a regular file (straight or through a link) or anything else.
enum class Objetivo { Ausente, Regular, Especial };

Objetivo Mirar_Objetivo(const QByteArray& ruta) {
    struct stat propio;
    if (::lstat(ruta.constData(), &propio) != 0) return Objetivo::Ausente;
    if (S_ISREG(propio.st_mode)) return Objetivo::Regular;
    if (!S_ISLNK(propio.st_mode)) return Objetivo::Especial;
    // The link itself is replaced, but not when it leads to a device or folder: a link such as
    // /dev/stdout names the device to its user.
    struct stat destino;
    if (::stat(ruta.constData(), &destino) != 0) return Objetivo::Ausente;
    return S_ISREG(destino.st_mode) ? Objetivo::Regular : Objetivo::Especial;
}

mode_t Mascara_Creacion() {
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    return mascara;
}

bool Escribir_Todo(int fd, const char* datos, qint64 largo) {
    while (largo > 0) {
        const ssize_t n = ::write(fd, datos, static_cast<size_t>(largo));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;  // no progress and no error: no room left
            return false;
        }
        datos += n;
        largo -= n;
    }
    return true;
}

}  // namespace

Escritura_Segura::Escritura_Segura(const QString& ruta, const QStringList& entradas)
    : ruta_(ruta), entradas_(entradas) {
    falla_.ruta = ruta;
}

Escritura_Segura::~Escritura_Segura() {
    Cancelar();
}

bool Escritura_Segura::Fallar(Falla_Archivo tipo, int numero_error, Operacion_Archivo operacion) {
    if (tipo == Falla_Archivo::Ninguna) {
        const QFileDevice::FileError error = operacion == Operacion_Archivo::Escribir
                                                 ? QFileDevice::WriteError
                                                 : QFileDevice::OpenError;
        tipo = Clasificar_Falla_Archivo(ruta_, operacion, error, numero_error);
        // A write refused with nothing else to say: no room left (quotas included).
        if (operacion == Operacion_Archivo::Escribir && tipo == Falla_Archivo::Otra)
            tipo = Falla_Archivo::Disco_Lleno;
    }
    Cancelar();
    falla_.tipo = tipo;
    return false;
}

bool Escritura_Segura::Abrir() {
    if (falla_ || fd_ >= 0) return !falla_;
    const QFileInfo info(ruta_);
    if (ruta_.isEmpty() || info.fileName().isEmpty())
        return Fallar(Falla_Archivo::Nombre_Incorrecto, 0, Operacion_Archivo::Abrir_Escritura);
    const QByteArray nativa = Nativa(ruta_);
    const Objetivo objetivo = Mirar_Objetivo(nativa);
    if (objetivo == Objetivo::Especial)
        return Fallar(Falla_Archivo::No_Regular, 0, Operacion_Archivo::Abrir_Escritura);
    for (const QString& entrada : entradas_)
        if (Mismo_Archivo(ruta_, entrada))
            return Fallar(Falla_Archivo::Es_Entrada, 0, Operacion_Archivo::Abrir_Escritura);

    QByteArray plantilla = Nativa(info.absolutePath() + QStringLiteral("/.aqtide-XXXXXX"));
    errno = 0;
    const int fd = ::mkostemp(plantilla.data(), O_CLOEXEC);
    if (fd < 0) return Fallar(Falla_Archivo::Ninguna, errno, Operacion_Archivo::Abrir_Escritura);
    fd_ = fd;
    temporal_ = QFile::decodeName(plantilla);

    struct stat previo;
    if (objetivo == Objetivo::Regular && ::stat(nativa.constData(), &previo) == 0) {
        if (::fchown(fd_, previo.st_uid, previo.st_gid) != 0) {
            // Another owner's file becomes the writer's: only its permissions carry over.
        }
        ::fchmod(fd_, previo.st_mode & 07777);
    } else {
        ::fchmod(fd_, 0666 & ~Mascara_Creacion());
    }
    return true;
}

bool Escritura_Segura::Escribir(const QByteArray& datos) {
    if (falla_) return false;
    if (fd_ < 0 && !Abrir()) return false;
    errno = 0;
    if (Escribir_Todo(fd_, datos.constData(), datos.size())) return true;
    return Fallar(Falla_Archivo::Ninguna, errno, Operacion_Archivo::Escribir);
}

bool Escritura_Segura::Terminar() {
    if (falla_) return false;
    if (fd_ < 0 && !Abrir()) return false;
    errno = 0;
    if (::fsync(fd_) != 0)
        return Fallar(Falla_Archivo::Ninguna, errno, Operacion_Archivo::Escribir);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        fd_ = -1;
        return Fallar(Falla_Archivo::Ninguna, errno, Operacion_Archivo::Escribir);
    }
    // Looked at again: something else may have taken the target's place meanwhile.
    const QByteArray nativa = Nativa(ruta_);
    if (Mirar_Objetivo(nativa) == Objetivo::Especial)
        return Fallar(Falla_Archivo::No_Regular, 0, Operacion_Archivo::Abrir_Escritura);
    errno = 0;
    if (::rename(Nativa(temporal_).constData(), nativa.constData()) != 0)
        return Fallar(Falla_Archivo::Ninguna, errno, Operacion_Archivo::Abrir_Escritura);
    temporal_.clear();
    // The rename itself is on disk only once its folder is.
    const int carpeta =
        ::open(Nativa(QFileInfo(ruta_).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (carpeta >= 0) {
        ::fsync(carpeta);
        ::close(carpeta);
    }
    return true;
}

void Escritura_Segura::Cancelar() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporal_.isEmpty()) ::unlink(Nativa(temporal_).constData());
    temporal_.clear();
}

Falla_En_Archivo Reemplazar_Archivo(const QString& ruta, const QByteArray& contenido,
                                    const QStringList& entradas) {
    Escritura_Segura escritura(ruta, entradas);
    if (escritura.Abrir() && escritura.Escribir(contenido)) escritura.Terminar();
    return escritura.Falla();
}

Falla_Archivo Abrir_Trabajo(QFile& archivo, const QString& ruta) {
    if (ruta.isEmpty() || QFileInfo(ruta).fileName().isEmpty())
        return Falla_Archivo::Nombre_Incorrecto;
    const QByteArray nativa = Nativa(ruta);
    struct stat info;
    if (::lstat(nativa.constData(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            errno = 0;
            if (::unlink(nativa.constData()) != 0)
                return Clasificar_Falla_Archivo(ruta, Operacion_Archivo::Borrar,
                                                QFileDevice::RemoveError, errno);
        } else if (!S_ISREG(info.st_mode)) {
            return Falla_Archivo::No_Regular;
        }
    }
    errno = 0;
    const int fd = ::open(nativa.constData(),
                          O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return Clasificar_Falla_Archivo(ruta, Operacion_Archivo::Abrir_Escritura,
                                        QFileDevice::OpenError, errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Falla_Archivo::No_Regular;
    }
    const int banderas = ::fcntl(fd, F_GETFL);
    if (banderas >= 0) ::fcntl(fd, F_SETFL, banderas & ~O_NONBLOCK);
    if (!archivo.open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered,
                      QFileDevice::AutoCloseHandle)) {
        const int numero = errno;
        ::close(fd);
        return Clasificar_Falla_Archivo(ruta, Operacion_Archivo::Abrir_Escritura,
                                        QFileDevice::OpenError, numero);
    }
    return Falla_Archivo::Ninguna;
}

bool Mismo_Archivo(const QString& a, const QString& b) {
    struct stat uno, otro;
    if (::stat(Nativa(a).constData(), &uno) == 0 && ::stat(Nativa(b).constData(), &otro) == 0)
        return uno.st_dev == otro.st_dev && uno.st_ino == otro.st_ino;
    // Not both there yet: the same name is the same file to be.
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

}  // namespace aq
