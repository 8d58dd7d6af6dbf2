#include "apoyo_postgresql.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>

namespace aq {

namespace {

const QString Binarios = QStringLiteral("/usr/lib/postgresql/15/bin");

int Puerto_Libre() {
    QTcpServer s;
    return s.listen(QHostAddress::LocalHost, 0) ? s.serverPort() : 0;
}

}  // namespace

Servidor_PostgreSQL::~Servidor_PostgreSQL() {
    if (en_marcha_) {
        QString salida;
        Ejecutar(Binarios + "/pg_ctl", {"-D", dir_->filePath("datos"), "-m", "immediate", "stop"},
                 salida);
    }
}

bool Servidor_PostgreSQL::Ejecutar(const QString& programa, const QStringList& args,
                                   QString& salida) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (usuario_.isEmpty())
        p.start(programa, args);
    else
        p.start("runuser", QStringList{"-u", usuario_, "--", programa} + args);
    const bool bien =
        p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    salida = QString::fromLocal8Bit(p.readAll()).trimmed();
    if (p.error() == QProcess::FailedToStart) salida = p.errorString();
    return bien;
}

bool Servidor_PostgreSQL::Iniciar(QString& motivo) {
    const auto falla = [&](const QString& por_que) {
        motivo = por_que;
        return false;
    };
    for (const char* programa : {"initdb", "pg_ctl", "createdb"})
        if (!QFile::exists(Binarios + "/" + programa))
            return falla(
                QStringLiteral("falta %1/%2 (paquete postgresql)").arg(Binarios, programa));
    dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/aqtide-pg-XXXXXX");
    if (!dir_->isValid()) return falla(QStringLiteral("no se pudo crear una carpeta temporal"));
    QString salida;
    QProcess id;
    id.start("id", {"-u"});
    id.waitForFinished();
    if (id.readAll().trimmed() == "0") {
        // The server refuses to run as root.
        usuario_ = QStringLiteral("nobody");
        QProcess chown;
        chown.start("chown", {usuario_, dir_->path()});
        if (!chown.waitForFinished() || chown.exitCode() != 0)
            return falla(
                QStringLiteral("no se pudo ceder %1 al usuario %2").arg(dir_->path(), usuario_));
        if (!Ejecutar("/bin/true", {}, salida))
            return falla(QStringLiteral("runuser -u %1 no funciona: %2").arg(usuario_, salida));
    }
    if (!Ejecutar(Binarios + "/initdb",
                  {"-D", dir_->filePath("datos"), "-A", "trust", "-U", "aqtide", "--no-sync", "-E",
                   "UTF8"},
                  salida))
        return falla(QStringLiteral("initdb falló: %1").arg(salida.right(300)));
    puerto_ = Puerto_Libre();
    const QString opciones =
        QStringLiteral("-p %1 -k %2 -h 127.0.0.1 -c fsync=off -c max_connections=40")
            .arg(puerto_)
            .arg(dir_->path());
    if (!Ejecutar(Binarios + "/pg_ctl",
                  {"-D", dir_->filePath("datos"), "-o", opciones, "-l",
                   dir_->filePath("servidor.log"), "-w", "start"},
                  salida))
        return falla(QStringLiteral("pg_ctl start falló: %1").arg(salida.right(300)));
    en_marcha_ = true;
    return true;
}

QString Servidor_PostgreSQL::Url(const QString& base, QString* motivo) {
    QString salida;
    if (!Ejecutar(Binarios + "/createdb",
                  {"-h", "127.0.0.1", "-p", QString::number(puerto_), "-U", "aqtide", base},
                  salida) &&
        motivo)
        *motivo = salida;
    return QStringLiteral("postgresql://aqtide@127.0.0.1:%1/%2").arg(puerto_).arg(base);
}

}  // namespace aq
