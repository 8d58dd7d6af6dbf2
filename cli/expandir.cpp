#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryFile>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "comandos.h"
#include "core/estado.h"
#include "memory/decodificador.h"
#include "memory/resguardo.h"

namespace {

void Error(const QString& texto) {
    std::fputs(texto.toUtf8().constData(), stderr);
    if (!texto.endsWith(QLatin1Char('\n'))) std::fputc('\n', stderr);
}

}  // namespace

// A raw backup decoded as the expander window does it, into a file of the user's choice.
int Comando_Expandir(const QStringList& args) {
    if (args.size() != 2) return cli::Uso_De("expandir");
    aq::Estado estado;
    QString error;
    if (!aq::Leer_Resguardo(args[0], estado.Imagen_Memoria, &error)) {
        Error(args[0] + QStringLiteral(": ") + error);
        return cli::Archivo;
    }
    const QString salida = args[1];
    const QByteArray separador = QFileInfo(salida).fileName().toLower().endsWith(".csv")
                                     ? QByteArrayLiteral(";")
                                     : QByteArrayLiteral("\t");

    // The result is written beside the output under another name and takes its place only when
    // complete: a failure leaves no empty or partial output, nor an older one damaged. A link is
    // followed, so that the file it points at is what gets replaced.
    const QFileInfo info_salida(salida);
    const QString destino =
        info_salida.exists() ? info_salida.canonicalFilePath() : info_salida.absoluteFilePath();
    if (info_salida.exists() && !QFileInfo(destino).isFile()) {
        Error(salida + QStringLiteral(": no es un archivo común; no se escribe en él."));
        return cli::Archivo;
    }
    QTemporaryFile temporal(destino + QStringLiteral(".XXXXXX"));
    if (!temporal.open()) {
        Error(salida + QStringLiteral(": no se puede crear en su carpeta (") +
              temporal.errorString() + QStringLiteral(")."));
        return cli::Archivo;
    }
    temporal.close();
    auto fallar = [&]() {
        // The decoder's work files of this run, which it removes only when it finishes.
        QFile::remove(aq::Archivo_Bloque);
        QFile::remove(aq::Archivo_Informe);
        return cli::Archivo;
    };
    if (const aq::Falla_En_Archivo falla =
            aq::Analizar_Memoria(estado, temporal.fileName(), separador)) {
        Error(aq::Mensaje_Error_Archivo(falla.tipo));
        return fallar();
    }

    const QFileDevice::Permissions permisos =
        info_salida.exists() ? QFile::permissions(destino)
                             : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                   QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile::setPermissions(temporal.fileName(), permisos);
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(temporal.fileName()).toStdString(),
                            QFile::encodeName(destino).toStdString(), ec);
    if (ec) {
        Error(salida + QStringLiteral(": no se pudo reemplazar (") +
              QString::fromLocal8Bit(ec.message().c_str()) + QStringLiteral(")."));
        return fallar();
    }
    temporal.setAutoRemove(false);
    return cli::Exito;
}
