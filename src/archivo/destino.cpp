#include "archivo/destino.h"

#include <QDir>
#include <QUrl>

namespace aq {

QString Destino_Archivo::Descripcion() const {
    if (motor == Motor::SQLite) return QDir::toNativeSeparators(ruta);
    QString texto = QStringLiteral("postgresql://");
    if (!usuario.isEmpty()) texto += usuario + QLatin1Char('@');
    return texto + servidor + QLatin1Char(':') + QString::number(puerto) + QLatin1Char('/') + base;
}

QStringList Destino_Archivo::Archivos() const {
    if (motor != Motor::SQLite || ruta.isEmpty()) return {};
    return {ruta, ruta + QStringLiteral("-wal"), ruta + QStringLiteral("-shm"),
            ruta + QStringLiteral("-journal")};
}

bool Interpretar_Base(const QString& texto, Destino_Archivo& destino, QString* error) {
    auto fallar = [&](const QString& motivo) {
        if (error) *error = motivo;
        return false;
    };
    const QString t = texto.trimmed();
    if (t.isEmpty()) return fallar(QStringLiteral("No se indicó la base del archivo histórico."));
    Destino_Archivo d;
    if (t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive)) {
        const QUrl url(t, QUrl::StrictMode);
        const QString base = url.path().mid(1);
        if (!url.isValid() || url.host().isEmpty() || base.isEmpty() || base.contains('/'))
            return fallar(QStringLiteral("La base \"%1\" no tiene la forma "
                                         "postgresql://usuario@servidor[:puerto]/base.")
                              .arg(t));
        d.motor = Destino_Archivo::Motor::PostgreSQL;
        d.usuario = url.userName();
        d.clave = url.password();
        d.servidor = url.host();
        d.puerto = url.port(5432);
        d.base = base;
    } else {
        QString ruta = t;
        if (ruta.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
            ruta = ruta.mid(7);
            if (ruta.startsWith(QLatin1String("//"))) ruta = ruta.mid(2);
        }
        if (ruta.isEmpty()) return fallar(QStringLiteral("No se indicó el archivo de la base."));
        d.ruta = QDir::cleanPath(QDir::fromNativeSeparators(ruta));
    }
    destino = d;
    return true;
}

bool Destino_Configurado(Perfil& perfil, const QString& directorio_raiz, const QString& base_linea,
                         Destino_Archivo& destino, QString* error) {
    if (!base_linea.isEmpty()) return Interpretar_Base(base_linea, destino, error);
    const QString del_perfil = perfil.GetProfileString(Seccion_Archivo, Clave_Base, QString());
    if (!del_perfil.trimmed().isEmpty()) return Interpretar_Base(del_perfil, destino, error);
    if (directorio_raiz.trimmed().isEmpty()) {
        if (error) *error = QStringLiteral("No se conoce la carpeta del programa.");
        return false;
    }
    return Interpretar_Base(
        QDir(QDir::fromNativeSeparators(directorio_raiz)).filePath(Nombre_Archivo_Predeterminado),
        destino, error);
}

QString Directorio_Raiz_De_Perfil(Perfil& perfil, const QString& seccion, const QString& inicio) {
    const QString raiz = perfil.GetProfileString(seccion, QStringLiteral("RAIZ"), QString());
    return raiz.trimmed().isEmpty() ? inicio : raiz;
}

}  // namespace aq
