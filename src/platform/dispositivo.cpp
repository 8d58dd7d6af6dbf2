#include "platform/dispositivo.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace aq {

QString Dispositivo_Predeterminado(int n) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

QString Dispositivo_De_Puerto(Perfil& perfil, int n) {
    const QString valor =
        perfil.GetProfileString(QStringLiteral("Puertos"), QStringLiteral("COM%1").arg(n), {})
            .trimmed();
    return valor.isEmpty() ? Dispositivo_Predeterminado(n) : valor;
}

bool Es_Dispositivo_Tcp(const QString& dispositivo) {
    return dispositivo.trimmed().startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive);
}

Destino_Tcp Analizar_Tcp(const QString& dispositivo) {
    if (!Es_Dispositivo_Tcp(dispositivo)) return {};
    const QUrl url(dispositivo.trimmed(), QUrl::StrictMode);
    const bool solo_destino = url.isValid() && url.userInfo().isEmpty() &&
                              (url.path().isEmpty() || url.path() == QLatin1String("/")) &&
                              !url.hasQuery() && !url.hasFragment();
    if (!solo_destino || url.host().isEmpty() || url.port() < 1 || url.port() > 65535) return {};
    return {url.host(), static_cast<quint16>(url.port())};
}

namespace {

bool Es_Ruta_De_Dispositivo(const QString& texto) {
#ifdef Q_OS_WIN
    static const QRegularExpression Com(QStringLiteral("^(\\\\\\\\\\.\\\\)?COM[0-9]+$"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (Com.match(texto).hasMatch()) return true;
#endif
    return QDir::isAbsolutePath(texto);
}

}  // namespace

Dispositivo_Elegido Resolver_Dispositivo(Perfil& perfil, const QString& argumento) {
    const QString a = argumento.trimmed();
    static const QRegularExpression Numero(QStringLiteral("^[1-4]$"));
    if (Numero.match(a).hasMatch()) return {Dispositivo_De_Puerto(perfil, a.toInt()), {}};
    if (Es_Dispositivo_Tcp(a)) {
        if (Analizar_Tcp(a).Valido()) return {a, {}};
        return {{},
                QStringLiteral("Dirección no válida: \"%1\". Se espera tcp://HOST:PUERTO.").arg(a)};
    }
    if (!a.isEmpty() && Es_Ruta_De_Dispositivo(a)) return {a, {}};
    return {{},
            QStringLiteral("Puerto no válido: \"%1\". Se espera un número de 1 a 4, la ruta de "
                           "un dispositivo o tcp://HOST:PUERTO.")
                .arg(a)};
}

QString Clave_Bloqueo(const QString& dispositivo) {
    const QString d = dispositivo.trimmed();
    if (Es_Dispositivo_Tcp(d)) {
        const Destino_Tcp t = Analizar_Tcp(d);
        if (t.Valido()) return QStringLiteral("tcp://%1:%2").arg(t.host.toLower()).arg(t.puerto);
        return d;
    }
    const QString canonica = QFileInfo(d).canonicalFilePath();
    if (!canonica.isEmpty()) return canonica;
#ifdef Q_OS_WIN
    return d.toUpper();
#else
    return d;
#endif
}

}  // namespace aq
