#include "archivo/archivo_historico.h"

#include "core/fecha_equipo.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <map>

#include "core/estado.h"
#include "memory/archivos.h"
#include "memory/decodificador.h"
#include "memory/descarga.h"
#include "memory/resguardo.h"

namespace aq {

namespace {

// Metres of range codes 0..2.
constexpr int Metros_Alcance[] = {4, 8, 20};

// Rows per INSERT: fewer round trips to a server; SQLite has none, and its Qt driver looks up
// each placeholder by a linear search, so a long statement costs more than it saves there.
constexpr int Filas_Por_Insercion_Servidor = 250;
constexpr int Filas_Por_Insercion_SQLite = 8;
constexpr int Intentos_Escritura = 4;

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

struct Migracion {
    const char* const* pasos;
    int cantidad;
};
const Migracion Migraciones[] = {{Esquema_V1, int(std::size(Esquema_V1))}};
static_assert(std::size(Migraciones) == Version_Esquema, "one migration per schema version");

std::atomic<int> conexiones_creadas{0};

bool Es_SQLite(const Destino_Archivo& d) {
    return d.motor == Destino_Archivo::Motor::SQLite;
}

QString Texto_Error(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    if (t.isEmpty()) t = e.text().trimmed();
    if (t.isEmpty()) t = e.driverText().trimmed();
    return t.simplified();
}

qint64 Minuto_De_Fecha(const QDate& d) {
    return (d.toJulianDay() - QDate(2000, 1, 1).toJulianDay()) * 1440;
}

// The reading's time in minutes since 2000-01-01; false for a date no calendar has.
bool Minuto_De_Lectura(const Lectura_Decodificada& l, qint64& minuto) {
    const QDate d = Fecha_Equipo(l.dia, l.mes, l.anio);
    if (!d.isValid() || l.hora < 0 || l.hora > 23 || l.minuto < 0 || l.minuto > 59) return false;
    minuto = Minuto_De_Fecha(d) + l.hora * 60 + l.minuto;
    return true;
}

QDateTime Momento_De_Texto(const QString& t) {
    if (t.isEmpty()) return QDateTime();
    return QDateTime::fromString(t.left(19), t.size() >= 19 ? QStringLiteral("yyyy-MM-ddTHH:mm:ss")
                                                            : QStringLiteral("yyyy-MM-ddTHH:mm"));
}

struct Fila {
    int equipo;
    qint64 minuto;
    int valor;
    int alcance;
    int bloque;
};

bool operator<(const Fila& a, const Fila& b) {
    if (a.equipo != b.equipo) return a.equipo < b.equipo;
    if (a.minuto != b.minuto) return a.minuto < b.minuto;
    return a.valor < b.valor;
}

struct Por_Equipo {
    int lecturas = 0;
    qint64 primera = -1, ultima = -1;
};

}  // namespace

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
    if (!r) Cerrar();
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
            const QString sql = QString::fromLatin1(m.pasos[k]).replace(QLatin1String("%ID%"), id);
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

Resultado_Archivo Archivo_Historico::Archivar(const std::vector<QByteArray>& imagen,
                                              const QString& sha256, const QString& ruta_respaldo,
                                              const QDateTime& momento) {
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    Resultado_Archivo r;

    // Sorted rows: every writer takes the keys in one order, so two writers never deadlock.
    std::vector<Fila> filas;
    std::map<int, Por_Equipo> equipos;
    int primer_equipo = -1;
    for (const Bloque_Decodificado& b : Recorrer_Memoria(imagen)) {
        if (primer_equipo < 0) primer_equipo = b.equipo;
        equipos[b.equipo];  // a station even for a block without readings
        for (const Lectura_Decodificada& l : b.lecturas) {
            qint64 minuto = 0;
            if (!Minuto_De_Lectura(l, minuto)) {
                ++r.descartadas;
                continue;
            }
            filas.push_back({b.equipo, minuto, l.valor, Metros_Alcance[b.alcance], b.numero});
        }
    }
    std::sort(filas.begin(), filas.end());
    filas.erase(std::unique(filas.begin(), filas.end(),
                            [](const Fila& a, const Fila& b) { return !(a < b) && !(b < a); }),
                filas.end());
    for (const Fila& f : filas) {
        Por_Equipo& e = equipos[f.equipo];
        ++e.lecturas;
        if (e.primera < 0 || f.minuto < e.primera) e.primera = f.minuto;
        if (f.minuto > e.ultima) e.ultima = f.minuto;
    }
    r.lecturas = int(filas.size());

    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    const bool sqlite = Es_SQLite(destino_);
    const QString momento_texto = momento.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));

    auto insercion = [](int n) {
        QString sql = QStringLiteral(
            "INSERT INTO lecturas (equipo, minuto, valor, alcance, bloque, descarga) VALUES ");
        for (int k = 0; k < n; ++k)
            sql += k ? QStringLiteral(",(?,?,?,?,?,?)") : QStringLiteral("(?,?,?,?,?,?)");
        return sql + QStringLiteral(" ON CONFLICT DO NOTHING");
    };

    QString ultimo_error;
    for (int intento = 0; intento < Intentos_Escritura; ++intento) {
        QSqlQuery q(db);
        auto deshacer = [&](const QSqlQuery& fallida) {
            ultimo_error = Texto_Error(fallida.lastError());
            const QString codigo = fallida.lastError().nativeErrorCode();
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            // Deadlock or serialization failure: the other writer won; try again.
            return codigo == QLatin1String("40P01") || codigo == QLatin1String("40001");
        };
        if (!q.exec(sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"))) {
            ultimo_error = Texto_Error(q.lastError());
            break;
        }
        q.prepare(QStringLiteral(
            "INSERT INTO descargas (sha256, equipo, momento, ruta, lecturas, nuevas) "
            "VALUES (?, ?, ?, ?, ?, 0) ON CONFLICT (sha256) DO NOTHING RETURNING id"));
        q.addBindValue(sha256);
        q.addBindValue(primer_equipo >= 0 ? QVariant(primer_equipo)
                                          : QVariant(QMetaType::fromType<int>()));
        q.addBindValue(momento_texto);
        q.addBindValue(QDir::toNativeSeparators(ruta_respaldo));
        q.addBindValue(r.lecturas);
        if (!q.exec()) {
            if (deshacer(q)) continue;
            break;
        }
        if (!q.next()) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            r.fin = Fin_Archivo::Ya_Archivado;
            return r;
        }
        const qint64 id = q.value(0).toLongLong();
        q.finish();

        bool bien = q.prepare(
            QStringLiteral("INSERT INTO estaciones (equipo) VALUES (?) ON CONFLICT DO NOTHING"));
        for (auto it = equipos.begin(); bien && it != equipos.end(); ++it) {
            q.bindValue(0, it->first);
            bien = q.exec();
        }
        if (!bien) {
            if (deshacer(q)) continue;
            break;
        }

        int nuevas = 0;
        QSqlQuery lote(db);
        int preparado = -1;
        const size_t por_insercion =
            sqlite ? Filas_Por_Insercion_SQLite : Filas_Por_Insercion_Servidor;
        for (size_t desde = 0; bien && desde < filas.size(); desde += por_insercion) {
            const int n = int(std::min(por_insercion, filas.size() - desde));
            if (n != preparado) {
                bien = lote.prepare(insercion(n));
                preparado = n;
            }
            for (int k = 0; bien && k < n; ++k) {
                const Fila& f = filas[desde + size_t(k)];
                lote.bindValue(k * 6, f.equipo);
                lote.bindValue(k * 6 + 1, f.minuto);
                lote.bindValue(k * 6 + 2, f.valor);
                lote.bindValue(k * 6 + 3, f.alcance);
                lote.bindValue(k * 6 + 4, f.bloque);
                lote.bindValue(k * 6 + 5, id);
            }
            bien = bien && lote.exec();
            if (bien) nuevas += std::max(0, lote.numRowsAffected());
        }
        if (!bien) {
            if (deshacer(lote)) continue;
            break;
        }

        bien = q.prepare(QStringLiteral(
            "INSERT INTO descargas_equipos (descarga, equipo, lecturas, primera, ultima) "
            "VALUES (?, ?, ?, ?, ?)"));
        for (auto it = equipos.begin(); bien && it != equipos.end(); ++it) {
            q.bindValue(0, id);
            q.bindValue(1, it->first);
            q.bindValue(2, it->second.lecturas);
            for (int c : {3, 4}) {
                const qint64 m = c == 3 ? it->second.primera : it->second.ultima;
                q.bindValue(c, m < 0 ? QVariant(QMetaType::fromType<qint64>()) : QVariant(m));
            }
            bien = q.exec();
        }
        bien = bien && q.prepare(QStringLiteral("UPDATE descargas SET nuevas = ? WHERE id = ?"));
        if (bien) {
            q.addBindValue(nuevas);
            q.addBindValue(id);
            bien = q.exec();
        }
        bien = bien && q.exec(QStringLiteral("COMMIT"));
        if (!bien) {
            if (deshacer(q)) continue;
            break;
        }
        r.nuevas = nuevas;
        return r;
    }
    return Falla(Fin_Archivo::Falla_Base, ultimo_error);
}

std::vector<Resumen_Estacion> Archivo_Historico::Estaciones(Resultado_Archivo* resultado) {
    std::vector<Resumen_Estacion> lista;
    if (resultado) *resultado = Resultado_Archivo();
    if (!abierto_) {
        if (resultado) *resultado = Falla(Fin_Archivo::Sin_Conexion, QString());
        return lista;
    }
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.setForwardOnly(true);
    const bool bien = q.exec(QStringLiteral(
        "SELECT e.equipo, e.nombre, e.nota, "
        "(SELECT COUNT(*) FROM lecturas l WHERE l.equipo = e.equipo), "
        "(SELECT MIN(minuto) FROM lecturas l WHERE l.equipo = e.equipo), "
        "(SELECT MAX(minuto) FROM lecturas l WHERE l.equipo = e.equipo), "
        "(SELECT MAX(d.momento) FROM descargas_equipos de JOIN descargas d ON d.id = de.descarga "
        " WHERE de.equipo = e.equipo), "
        "(SELECT COUNT(*) FROM (SELECT 1 FROM lecturas l WHERE l.equipo = e.equipo "
        " GROUP BY l.minuto HAVING COUNT(*) > 1) c) "
        "FROM estaciones e ORDER BY e.equipo"));
    if (!bien) {
        if (resultado) *resultado = Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
        return lista;
    }
    while (q.next()) {
        Resumen_Estacion e;
        e.equipo = q.value(0).toInt();
        e.nombre = q.value(1).toString();
        e.nota = q.value(2).toString();
        e.lecturas = q.value(3).toLongLong();
        if (!q.value(4).isNull()) e.primera = Momento_De_Minuto(q.value(4).toLongLong());
        if (!q.value(5).isNull()) e.ultima = Momento_De_Minuto(q.value(5).toLongLong());
        e.ultima_descarga = Momento_De_Texto(q.value(6).toString());
        e.conflictos = q.value(7).toLongLong();
        lista.push_back(e);
    }
    return lista;
}

std::vector<Descarga_Archivada> Archivo_Historico::Descargas(int equipo,
                                                             Resultado_Archivo* resultado) {
    std::vector<Descarga_Archivada> lista;
    if (resultado) *resultado = Resultado_Archivo();
    if (!abierto_) {
        if (resultado) *resultado = Falla(Fin_Archivo::Sin_Conexion, QString());
        return lista;
    }
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT d.id, d.momento, d.ruta, d.sha256, de.lecturas, d.nuevas FROM descargas_equipos de "
        "JOIN descargas d ON d.id = de.descarga WHERE de.equipo = ? ORDER BY d.momento, d.id"));
    q.addBindValue(equipo);
    if (!q.exec()) {
        if (resultado) *resultado = Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
        return lista;
    }
    while (q.next()) {
        Descarga_Archivada d;
        d.id = q.value(0).toLongLong();
        d.momento = Momento_De_Texto(q.value(1).toString());
        d.ruta = q.value(2).toString();
        d.sha256 = q.value(3).toString();
        d.lecturas = q.value(4).toInt();
        d.nuevas = q.value(5).toInt();
        lista.push_back(d);
    }
    return lista;
}

namespace {

// The station's readings in [desde, hasta], time order; one query for the series and the export.
bool Consultar_Lecturas(QSqlQuery& q, int equipo, const QDate& desde, const QDate& hasta,
                        const QString& columnas) {
    q.setForwardOnly(true);
    QString sql =
        QStringLiteral("SELECT ") + columnas + QStringLiteral(" FROM lecturas WHERE equipo = ?");
    if (desde.isValid()) sql += QStringLiteral(" AND minuto >= ?");
    if (hasta.isValid()) sql += QStringLiteral(" AND minuto < ?");
    sql += QStringLiteral(" ORDER BY minuto, valor");
    if (!q.prepare(sql)) return false;
    q.addBindValue(equipo);
    if (desde.isValid()) q.addBindValue(Minuto_De_Fecha(desde));
    if (hasta.isValid()) q.addBindValue(Minuto_De_Fecha(hasta.addDays(1)));
    return q.exec();
}

}  // namespace

std::vector<Punto_Serie> Archivo_Historico::Serie(int equipo, const QDate& desde,
                                                  const QDate& hasta,
                                                  Resultado_Archivo* resultado) {
    std::vector<Punto_Serie> serie;
    if (resultado) *resultado = Resultado_Archivo();
    if (!abierto_) {
        if (resultado) *resultado = Falla(Fin_Archivo::Sin_Conexion, QString());
        return serie;
    }
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    if (!Consultar_Lecturas(q, equipo, desde, hasta, QStringLiteral("minuto, valor"))) {
        if (resultado) *resultado = Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
        return serie;
    }
    while (q.next()) serie.push_back({q.value(0).toLongLong(), q.value(1).toInt()});
    return serie;
}

Resultado_Archivo Archivo_Historico::Nombrar(int equipo, const QString& nombre,
                                             const std::optional<QString>& nota) {
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    if (nota) {
        q.prepare(QStringLiteral(
            "INSERT INTO estaciones (equipo, nombre, nota) VALUES (?, ?, ?) ON CONFLICT (equipo) "
            "DO UPDATE SET nombre = excluded.nombre, nota = excluded.nota"));
        q.addBindValue(equipo);
        q.addBindValue(nombre);
        q.addBindValue(*nota);
    } else {
        q.prepare(QStringLiteral(
            "INSERT INTO estaciones (equipo, nombre) VALUES (?, ?) ON CONFLICT (equipo) "
            "DO UPDATE SET nombre = excluded.nombre"));
        q.addBindValue(equipo);
        q.addBindValue(nombre);
    }
    if (!q.exec()) return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    return Resultado_Archivo();
}

Resultado_Archivo Archivo_Historico::Exportar(int equipo, const QDate& desde, const QDate& hasta,
                                              const QString& ruta, bool utf8) {
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    {
        QSqlQuery existe(db);
        existe.prepare(QStringLiteral("SELECT 1 FROM estaciones WHERE equipo = ?"));
        existe.addBindValue(equipo);
        if (!existe.exec()) return Falla(Fin_Archivo::Falla_Base, Texto_Error(existe.lastError()));
        if (!existe.next()) return Falla(Fin_Archivo::Equipo_Desconocido, QString::number(equipo));
    }
    QSqlQuery q(db);
    if (!Consultar_Lecturas(q, equipo, desde, hasta, QStringLiteral("minuto, valor, alcance")))
        return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));

    // The file appears whole or not at all. Unbuffered: a failure met only when the buffer is
    // flushed at commit would go unnoticed and an empty file take the place of the old one.
    QSaveFile archivo(ruta);
    errno = 0;
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Falla(Fin_Archivo::Falla_Salida,
                     Mensaje_Error_Archivo(archivo, Operacion_Archivo::Abrir_Escritura));
    const QByteArray marca = utf8 ? QByteArrayLiteral("s\xC3\xAD") : QByteArrayLiteral("s\xED");
    QByteArray texto = "Fecha y hora;Columna de agua [mm];Alcance [m];Conflicto\r\n";
    texto.reserve(1 << 20);

    // Rows of one time are held until the next time shows whether they conflict.
    struct Pendiente {
        qint64 minuto;
        int valor, alcance;
    };
    qint64 dia_escrito = -1;
    QByteArray fecha;  // "AAAA-MM-DDT" of that day
    std::vector<Pendiente> grupo;
    int escritas = 0;
    bool bien = true;
    auto volcar = [&]() {
        const bool conflicto = grupo.size() > 1;
        for (const Pendiente& p : grupo) {
            const qint64 dia = p.minuto / 1440;
            if (dia != dia_escrito) {
                fecha = Momento_De_Minuto(p.minuto).date().toString(Qt::ISODate).toLatin1() + 'T';
                dia_escrito = dia;
            }
            const int resto = int(p.minuto - dia * 1440);
            const char hora[5] = {char('0' + resto / 600), char('0' + resto / 60 % 10), ':',
                                  char('0' + resto % 60 / 10), char('0' + resto % 10)};
            texto += fecha;
            texto.append(hora, 5);
            texto += ';';
            texto += QByteArray::number(p.valor);
            texto += ';';
            texto += QByteArray::number(p.alcance);
            texto += ';';
            if (conflicto) texto += marca;
            texto += "\r\n";
            ++escritas;
        }
        grupo.clear();
        if (texto.size() > (1 << 20)) {
            bien = bien && archivo.write(texto) == texto.size();
            texto.resize(0);
        }
    };
    while (bien && q.next()) {
        const qint64 minuto = q.value(0).toLongLong();
        if (!grupo.empty() && grupo.front().minuto != minuto) volcar();
        grupo.push_back({minuto, q.value(1).toInt(), q.value(2).toInt()});
    }
    if (q.lastError().isValid()) {
        archivo.cancelWriting();
        return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    }
    volcar();
    bien = bien && archivo.write(texto) == texto.size();
    if (!bien || !archivo.commit()) {
        const Falla_Archivo f = Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Escribir);
        archivo.cancelWriting();
        return Falla(Fin_Archivo::Falla_Salida, Mensaje_Error_Archivo(f));
    }
    Resultado_Archivo r;
    r.lecturas = escritas;
    return r;
}

QByteArray Texto_Respaldo(const std::vector<QByteArray>& imagen) {
    QByteArray texto;
    texto.reserve(Elementos_Respaldo * 7);
    for (int k = 0; k < Elementos_Respaldo && k < int(imagen.size()); ++k) {
        texto += imagen[size_t(k)];
        texto += "\r\n";
    }
    return texto;
}

namespace {

QByteArray Texto_Memoria(const std::vector<QByteArray>& imagen) {
    QByteArray texto;
    texto.reserve(Caracteres_Memoria);
    for (int k = 0; k < Palabras_Memoria && k < int(imagen.size()); ++k) texto += imagen[size_t(k)];
    return texto;
}

QString Sha256(const QByteArray& datos) {
    return QString::fromLatin1(QCryptographicHash::hash(datos, QCryptographicHash::Sha256).toHex());
}

}  // namespace

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

Resultado_Archivo Archivar_Descarga(Archivo_Historico& archivo,
                                    const std::vector<QByteArray>& imagen,
                                    const QString& ruta_respaldo, const QDateTime& momento) {
    if (int(imagen.size()) <= Palabras_Memoria ||
        !Checksum_Correcto(Texto_Memoria(imagen), imagen[Palabras_Memoria])) {
        Resultado_Archivo r;
        r.fin = Fin_Archivo::Respaldo_Invalido;
        return r;
    }
    return archivo.Archivar(imagen, Sha256(Texto_Respaldo(imagen)), ruta_respaldo, momento);
}

Resultado_Archivo Importar_Respaldo(Archivo_Historico& archivo, const QString& ruta) {
    Resultado_Archivo r;
    r.fin = Fin_Archivo::Respaldo_Ilegible;
    std::vector<QByteArray> imagen(Elementos_Imagen);
    if (!Leer_Resguardo(ruta, imagen, &r.detalle)) return r;
    QFile f(ruta);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly)) {
        r.detalle = Mensaje_Error_Archivo(f, Operacion_Archivo::Abrir_Lectura);
        return r;
    }
    const QByteArray contenido = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        r.detalle = Mensaje_Error_Archivo(f, Operacion_Archivo::Leer);
        return r;
    }
    f.close();

    // The checksum word is the line after the memory; a backup without it cannot be trusted.
    int desde = 0;
    for (int k = 0; k < Palabras_Memoria && desde >= 0; ++k) {
        desde = contenido.indexOf('\n', desde);
        if (desde >= 0) ++desde;
    }
    QByteArray palabra;
    if (desde >= 0 && desde < contenido.size()) {
        const int fin = contenido.indexOf('\n', desde);
        palabra = contenido.mid(desde, fin < 0 ? -1 : fin - desde);
        if (palabra.endsWith('\r')) palabra.chop(1);
    }
    if (palabra.isEmpty() || !Checksum_Correcto(Texto_Memoria(imagen), palabra)) {
        r.fin = Fin_Archivo::Respaldo_Invalido;
        r.detalle.clear();
        return r;
    }
    return archivo.Archivar(imagen, Sha256(contenido), ruta, QFileInfo(ruta).lastModified());
}

bool Es_Nombre_Respaldo(const QString& ruta) {
    return ruta.endsWith(QLatin1String(".$%c")) || ruta.endsWith(QLatin1String(".$%t")) ||
           ruta.endsWith(QLatin1String(".$%&"));
}

QStringList Respaldos_En(const QString& carpeta, bool recursivo) {
    QStringList rutas;
    QDirIterator it(carpeta, QDir::Files | QDir::Hidden | QDir::System,
                    recursivo ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString ruta = it.next();
        if (Es_Nombre_Respaldo(ruta)) rutas << ruta;
    }
    rutas.sort();
    return rutas;
}

QString Registrar_Descarga(Perfil& perfil, const QString& directorio_raiz,
                           const std::vector<QByteArray>& imagen, const QString& ruta_respaldo,
                           const QDateTime& momento, const QString& base_linea) {
    Archivo_Historico archivo;
    Resultado_Archivo r = Abrir_Archivo_Configurado(archivo, perfil, directorio_raiz, base_linea);
    if (r) r = Archivar_Descarga(archivo, imagen, ruta_respaldo, momento);
    const QString aviso = Aviso_Descarga(r);
    if (!aviso.isEmpty()) return aviso;
    return QStringLiteral("Archivo histórico: %1 lecturas nuevas de %2.")
        .arg(r.nuevas)
        .arg(r.lecturas);
}

}  // namespace aq
