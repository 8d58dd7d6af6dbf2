#include "platform/archivo_regular.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace aq {

Apertura Abrir_Lectura_Regular(QFile& archivo, QString* error) {
    const QByteArray ruta = QFile::encodeName(archivo.fileName());
    auto fallar = [&](Apertura a, int numero) {
        if (error) *error = a == Apertura::Especial ? Texto_No_Regular : qt_error_string(numero);
        errno = numero;
        return a;
    };
    if (ruta.isEmpty()) return fallar(Apertura::Fallo, ENOENT);
    // Looked at before opening: opening a serial device alone may change its lines.
    struct stat info;
    if (::stat(ruta.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return fallar(Apertura::Especial, EINVAL);

    // Non-blocking, and checked again on the descriptor: the path may have been replaced by a
    // pipe since it was looked at.
    const int fd = ::open(ruta.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int numero = errno;
        return fallar(numero == ENXIO ? Apertura::Especial : Apertura::Fallo, numero);
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fallar(Apertura::Especial, EINVAL);
    }
    const int banderas = ::fcntl(fd, F_GETFL);
    if (banderas >= 0) ::fcntl(fd, F_SETFL, banderas & ~O_NONBLOCK);
    if (!archivo.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const int numero = errno;
        ::close(fd);
        return fallar(Apertura::Fallo, numero ? numero : EIO);
    }
    return Apertura::Abierto;
}

}  // namespace aq
