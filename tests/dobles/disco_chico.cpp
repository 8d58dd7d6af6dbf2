#include "dobles/disco_chico.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace aq {

Disco_Chico::Disco_Chico(const QString& carpeta, int kib) : carpeta_(carpeta) {
    QDir().mkpath(carpeta_);
    montado_ = QProcess::execute("mount", {"-t", "tmpfs", "-o", QStringLiteral("size=%1k").arg(kib),
                                           "tmpfs", carpeta_}) == 0;
}

Disco_Chico::~Disco_Chico() {
    // A test may have left its current directory inside.
    if (QDir::currentPath().startsWith(carpeta_)) QDir::setCurrent(QDir::tempPath());
    if (montado_) QProcess::execute("umount", {"-l", carpeta_});
}

void Disco_Chico::Llenar() {
    QFile relleno(carpeta_ + "/relleno");
    if (!relleno.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
    const QByteArray bloque(512, 'x');
    while (relleno.write(bloque) == bloque.size()) continue;
}

void Disco_Chico::Vaciar() {
    QFile::remove(carpeta_ + "/relleno");
}

bool Disco_Chico::Solo_Lectura() {
    return QProcess::execute("mount", {"-o", "remount,ro", carpeta_}) == 0;
}

}  // namespace aq
