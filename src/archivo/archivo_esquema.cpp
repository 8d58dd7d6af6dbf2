#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "archivo/archivo_historico.h"
#include "archivo/archivo_interno.h"
#include "core/estado.h"
#include "core/fecha_equipo.h"
#include "memory/descarga.h"

namespace aq {

using namespace archivo_interno;

namespace {

// %ID% is the engine's own auto-numbered key.
const char* const Esquema_V1[] = {
    "CREATE TABLE estaciones (equipo INTEGER PRIMARY KEY, nombre TEXT NOT NULL DEFAULT '', "
    "nota TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE descargas (id %ID%, sha256 TEXT NOT NULL UNIQUE, equipo INTEGER, "
    "momento TEXT NOT NULL, ruta TEXT NOT NULL, lecturas INTEGER NOT NULL, "
    "nuevas INTEGER NOT NULL)",
    "CREATE TABLE descargas_equipos (descarga INTEGER NOT NULL REFERENCES descargas(id), "
    "equipo INTEGER NOT NULL, lecturas INTEGER NOT NULL, primera INTEGER, ultima INTEGER, "
    "PRIMARY KEY (descarga, equipo))",
    // minuto: minutes since 2000-01-01 00:00 on the logger's clock (it keeps no time zone).
    // A time may hold two values (a conflict): both are kept, neither overwritten.
    "CREATE TABLE lecturas (equipo INTEGER NOT NULL, minuto INTEGER NOT NULL, "
    "valor INTEGER NOT NULL, alcance INTEGER NOT NULL, bloque INTEGER NOT NULL, "
    "descarga INTEGER NOT NULL, UNIQUE (equipo, minuto, valor))",
    "CREATE INDEX descargas_equipos_equipo ON descargas_equipos (equipo)",
    "CREATE VIEW conflictos AS SELECT equipo, minuto, COUNT(*) AS valores FROM lecturas "
    "GROUP BY equipo, minuto HAVING COUNT(*) > 1",
};

// Every download is a record of its own, so a SHA-256 may repeat; each station may have the
// elevation of its reference point and manual readings. A step for one engine only starts with
// "sqlite:" or "pg:".
const char* const Esquema_V2[] = {
    "sqlite:CREATE TABLE descargas_v2 (id INTEGER PRIMARY KEY, sha256 TEXT NOT NULL, "
    "equipo INTEGER, momento TEXT NOT NULL, ruta TEXT NOT NULL, lecturas INTEGER NOT NULL, "
    "nuevas INTEGER NOT NULL)",
    "sqlite:INSERT INTO descargas_v2 SELECT id, sha256, equipo, momento, ruta, lecturas, nuevas "
    "FROM descargas",
    "sqlite:DROP TABLE descargas",
    "sqlite:ALTER TABLE descargas_v2 RENAME TO descargas",
    "pg:ALTER TABLE descargas DROP CONSTRAINT descargas_sha256_key",
    "CREATE INDEX descargas_sha256 ON descargas (sha256)",
    "ALTER TABLE estaciones ADD COLUMN referencia DOUBLE PRECISION",
    // minuto as in lecturas; profundidad: depth to water below the reference point [m].
    "CREATE TABLE manuales (equipo INTEGER NOT NULL, minuto INTEGER NOT NULL, "
    "profundidad DOUBLE PRECISION NOT NULL, nota TEXT NOT NULL DEFAULT '', "
    "PRIMARY KEY (equipo, minuto))",
};

struct Migracion {
    const char* const* pasos;
    int cantidad;
};
const Migracion Migraciones[] = {{Esquema_V1, int(std::size(Esquema_V1))},
                                 {Esquema_V2, int(std::size(Esquema_V2))}};
static_assert(std::size(Migraciones) == Version_Esquema, "one migration per schema version");

std::atomic<int> conexiones_creadas{0};

}  // namespace

namespace archivo_interno {

QString Texto_Error(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    if (t.isEmpty()) t = e.text().trimmed();
    if (t.isEmpty()) t = e.driverText().trimmed();
    return t.simplified();
}

qint64 Minuto_De_Fecha(const QDate& d) {
    return Minuto_De_Momento(QDateTime(d, QTime(0, 0), Qt::UTC));
}

QDateTime Momento_De_Texto(const QString& t) {
    if (t.isEmpty()) return QDateTime();
    return QDateTime::fromString(t.left(19), t.size() >= 19 ? QStringLiteral("yyyy-MM-ddTHH:mm:ss")
                                                            : QStringLiteral("yyyy-MM-ddTHH:mm"));
}

QByteArray Texto_Memoria(const std::vector<QByteArray>& imagen) {
    QByteArray texto;
    texto.reserve(Caracteres_Memoria);
    for (int k = 0; k < Palabras_Memoria && k < int(imagen.size()); ++k) texto += imagen[size_t(k)];
    return texto;
}

QString Sha256(const QByteArray& datos) {
    return QString::fromLatin1(QCryptographicHash::hash(datos, QCryptographicHash::Sha256).toHex());
}

}  // namespace archivo_interno

QString Mensaje_Archivo(const Resultado_Archivo& r) {
    QString texto;
    switch (r.fin) {
        case Fin_Archivo::Bien:
            return QString();
        case Fin_Archivo::Ya_Archivado:
            texto = QStringLiteral("El resguardo ya estaba en el archivo histórico.");
            break;
        case Fin_Archivo::Sin_Conexion:
            texto = QStringLiteral("No se pudo abrir la base de datos.");
            break;
        case Fin_Archivo::Sin_Controlador:
            texto = QStringLiteral("Esta instalación no tiene el controlador de la base de datos.");
            break;
        case Fin_Archivo::Esquema_Nuevo:
            texto = QStringLiteral(
                "El archivo histórico fue creado por una versión más nueva del programa; "
                "no se modificó. Actualice el programa.");
            break;
        case Fin_Archivo::No_Es_Archivo:
            texto = QStringLiteral("La base indicada no es un archivo histórico; no se modificó.");
            break;
        case Fin_Archivo::Falla_Base:
            texto = QStringLiteral("Falló la base de datos; no se guardó nada de esta operación.");
            break;
        case Fin_Archivo::Respaldo_Ilegible:
            texto = QStringLiteral("No se pudo leer el resguardo.");
            break;
        case Fin_Archivo::Respaldo_Invalido:
            texto = QStringLiteral("El checksum no coincide; no se archivó.");
            break;
        case Fin_Archivo::Falla_Salida:
            texto = QStringLiteral("No se pudo escribir el archivo exportado.");
            break;
        case Fin_Archivo::Equipo_Desconocido:
            texto = QStringLiteral("El equipo no figura en el archivo histórico.");
            break;
        case Fin_Archivo::Sin_Lectura_Manual:
            texto = QStringLiteral("No hay una lectura manual del equipo en ese momento.");
            break;
    }
    if (!r.detalle.isEmpty())
        texto += QStringLiteral(" (") + QString(r.detalle).replace('\n', ' ').simplified() +
                 QLatin1Char(')');
    return texto;
}

QString Aviso_Descarga(const Resultado_Archivo& r) {
    if (r.fin == Fin_Archivo::Bien || r.fin == Fin_Archivo::Ya_Archivado) return QString();
    return QStringLiteral("No se actualizó el archivo histórico: ") + Mensaje_Archivo(r);
}

Archivo_Historico::Archivo_Historico()
    : conexion_(QStringLiteral("aq_archivo_%1").arg(conexiones_creadas.fetch_add(1))) {}

Archivo_Historico::~Archivo_Historico() {
    Cerrar();
}

void Archivo_Historico::Cerrar() {
    directo_.reset();
    if (!QSqlDatabase::contains(conexion_)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(conexion_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion_);
    abierto_ = false;
}

Resultado_Archivo Archivo_Historico::Falla(Fin_Archivo fin, const QString& detalle) {
    Resultado_Archivo r;
    r.fin = fin;
    r.detalle = detalle;
    return r;
}

Resultado_Archivo Archivo_Historico::Abrir(const Destino_Archivo& destino) {
    Cerrar();
    destino_ = destino;
    const QString controlador =
        Es_SQLite(destino) ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(controlador))
        return Falla(Fin_Archivo::Sin_Controlador, controlador);
    QString detalle;
    bool abierta = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(controlador, conexion_);
        if (Es_SQLite(destino)) {
            const QFileInfo info(destino.ruta);
            if (!info.absoluteDir().exists())
                detalle = QStringLiteral("no existe la carpeta %1")
                              .arg(QDir::toNativeSeparators(info.absolutePath()));
            db.setDatabaseName(destino.ruta);
            // Other programs may be writing: wait for them rather than fail.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
        } else {
            db.setHostName(destino.servidor);
            db.setPort(destino.puerto);
            db.setDatabaseName(destino.base);
            if (!destino.usuario.isEmpty()) db.setUserName(destino.usuario);
            if (!destino.clave.isEmpty()) db.setPassword(destino.clave);
            db.setConnectOptions(QStringLiteral("connect_timeout=10"));
        }
        if (detalle.isEmpty()) {
            abierta = db.open();
            if (!abierta) detalle = Texto_Error(db.lastError());
        }
    }
    if (!abierta) {
        Cerrar();
        return Falla(Fin_Archivo::Sin_Conexion, detalle);
    }
    abierto_ = true;
    const Resultado_Archivo r = Migrar();
    if (!r)
        Cerrar();
    else if (Es_SQLite(destino))
        directo_ = SQLite_Directo::De(QSqlDatabase::database(conexion_, false));
    return r;
}

Resultado_Archivo Archivo_Historico::Migrar() {
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    const bool sqlite = Es_SQLite(destino_);
    QSqlQuery q(db);
    auto leer_version = [&](int& version) {
        version = 0;
        if (!q.exec(QStringLiteral("SELECT MAX(version) FROM esquema"))) return false;
        if (q.next() && !q.value(0).isNull()) version = q.value(0).toInt();
        q.finish();
        return true;
    };
    auto nuevo = [](int version) {
        Resultado_Archivo r;
        r.fin = Fin_Archivo::Esquema_Nuevo;
        r.detalle =
            QStringLiteral("esquema %1; este programa usa el %2").arg(version).arg(Version_Esquema);
        return r;
    };

    // Look before touching anything: a newer archive, or another database, stays as it is.
    const QStringList tablas = db.tables(QSql::Tables);
    if (sqlite && db.lastError().isValid())
        return Falla(Fin_Archivo::No_Es_Archivo, Texto_Error(db.lastError()));
    int version = 0;
    if (tablas.contains(QStringLiteral("esquema"))) {
        if (!leer_version(version))
            return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
        if (version > Version_Esquema) return nuevo(version);
    } else if (sqlite && !tablas.isEmpty()) {
        return Falla(Fin_Archivo::No_Es_Archivo, QString());
    }
    if (sqlite) {
        // Readers never wait for the writer; NORMAL is safe with WAL.
        if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
            return Falla(Fin_Archivo::No_Es_Archivo, Texto_Error(q.lastError()));
        q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        q.finish();
    }
    if (version == Version_Esquema) return Resultado_Archivo();

    auto deshacer = [&](Fin_Archivo fin, const QString& detalle) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return Falla(fin, detalle);
    };
    if (!q.exec(sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN")))
        return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    // Two programs opening a new archive at once: the second waits and then finds it done.
    if (!sqlite && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(4207318)")))
        return deshacer(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS esquema (version INTEGER NOT NULL)")) ||
        !leer_version(version))
        return deshacer(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    if (version > Version_Esquema) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return nuevo(version);
    }
    if (version == Version_Esquema) {  // another program did it while we waited
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return Resultado_Archivo();
    }
    const QString id =
        sqlite ? QStringLiteral("INTEGER PRIMARY KEY") : QStringLiteral("BIGSERIAL PRIMARY KEY");
    for (int v = version + 1; v <= Version_Esquema; ++v) {
        const Migracion& m = Migraciones[v - 1];
        for (int k = 0; k < m.cantidad; ++k) {
            QString sql = QString::fromLatin1(m.pasos[k]).replace(QLatin1String("%ID%"), id);
            const QLatin1String propio = sqlite ? QLatin1String("sqlite:") : QLatin1String("pg:");
            const QLatin1String ajeno = sqlite ? QLatin1String("pg:") : QLatin1String("sqlite:");
            if (sql.startsWith(ajeno)) continue;
            if (sql.startsWith(propio)) sql.remove(0, propio.size());
            if (!q.exec(sql)) return deshacer(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
        }
    }
    const bool bien =
        q.exec(QStringLiteral("DELETE FROM esquema")) &&
        q.exec(QStringLiteral("INSERT INTO esquema (version) VALUES (%1)").arg(Version_Esquema)) &&
        q.exec(QStringLiteral("COMMIT"));
    if (!bien) return deshacer(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    return Resultado_Archivo();
}

Resultado_Archivo Abrir_Archivo_Configurado(Archivo_Historico& archivo, Perfil& perfil,
                                            const QString& directorio_raiz,
                                            const QString& base_linea, Destino_Archivo* destino) {
    Destino_Archivo d;
    Resultado_Archivo r;
    if (!Destino_Configurado(perfil, directorio_raiz, base_linea, d, &r.detalle)) {
        r.fin = Fin_Archivo::Sin_Conexion;
    } else {
        r = archivo.Abrir(d);
    }
    if (destino) *destino = d;
    return r;
}

}  // namespace aq
