#include "platform/instancia_unica.h"

#include <QDir>
#include <QStandardPaths>

namespace aq {

Instancia_Unica::Instancia_Unica(const QString& archivo) : bloqueo_(archivo) {
    // A lock is stale only when its owner process is gone, never because of its age.
    bloqueo_.setStaleLockTime(0);
}

QString Instancia_Unica::Ruta_Predeterminada() {
    // The session's runtime folder; asked only when the session names one, since Qt warns
    // otherwise. Without it, a name of this user's own in the temporary folder.
    QString carpeta;
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        carpeta = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (carpeta.isEmpty() || !QDir(carpeta).exists())
        return QDir::temp().filePath(QStringLiteral("aqtide-%1.lock").arg(QDir::home().dirName()));
    return carpeta + QStringLiteral("/aqtide.lock");
}

bool Instancia_Unica::Otra_Copia_En_Marcha() {
    if (tomado_) return false;
    if (bloqueo_.tryLock(0)) {
        tomado_ = true;
        return false;
    }
    // A lock that cannot even be created (unwritable folder) must not stop the program.
    return bloqueo_.error() == QLockFile::LockFailedError;
}

}  // namespace aq
