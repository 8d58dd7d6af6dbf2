#include "platform/bloqueo_puerto.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QUrl>

namespace aq {

Bloqueo_Puerto::Bloqueo_Puerto(const QString& directorio)
    : directorio_(directorio.isEmpty() ? Directorio_Predeterminado() : directorio) {}

Bloqueo_Puerto::~Bloqueo_Puerto() {
    Soltar();
}

QString Bloqueo_Puerto::Directorio_Predeterminado() {
    // One place for every user and session (a desktop and a cron job see different runtime
    // folders): the system's lock folder where it can be written, else the temporary folder.
    const QFileInfo sistema(QStringLiteral("/run/lock"));
    if (sistema.isDir() && sistema.isWritable()) return sistema.filePath();
    return QDir::tempPath();
}

QString Bloqueo_Puerto::Ruta(const QString& directorio, const QString& clave) {
    // Percent-encoding keeps every key a distinct, valid file name ("/" and ":" included).
    return QDir(directorio)
        .filePath(QStringLiteral("aqtide-puerto-") +
                  QString::fromLatin1(QUrl::toPercentEncoding(clave)) + QStringLiteral(".lock"));
}

bool Bloqueo_Puerto::Tomar(const QString& clave) {
    Soltar();
    QDir().mkpath(directorio_);
    auto archivo = std::make_unique<QLockFile>(Ruta(directorio_, clave));
    // A live holder keeps the file locked for as long as it runs, so only a dead one's lock can
    // ever be removed, whatever its age.
    if (archivo->tryLock(0)) {
        archivo_ = std::move(archivo);
        return true;
    }
    return archivo->error() != QLockFile::LockFailedError;
}

void Bloqueo_Puerto::Soltar() {
    if (archivo_) archivo_->unlock();
    archivo_.reset();
}

}  // namespace aq
