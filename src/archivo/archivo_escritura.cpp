#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "archivo/archivo_historico.h"
#include "archivo/archivo_interno.h"
#include "core/fecha_equipo.h"
#include "memory/decodificador.h"
#include "memory/descarga.h"

namespace aq {

using namespace archivo_interno;

namespace {

// Metres of range codes 0..2.
constexpr int Metros_Alcance[] = {4, 8, 20};

// Rows per INSERT: fewer round trips to a server; SQLite has none, and its Qt driver looks up
// each placeholder by a linear search, so a long statement costs more than it saves there.
constexpr int Filas_Por_Insercion_Servidor = 250;
constexpr int Filas_Por_Insercion_SQLite = 8;
constexpr int Intentos_Escritura = 4;

// The reading's time in minutes since 2000-01-01; false for a date no calendar has.
std::optional<qint64> Minuto_De_Lectura(const Lectura_Decodificada& l) {
    return Minuto_Equipo(Hora_Equipo{l.dia, l.mes, l.anio, l.hora, l.minuto});
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

Resultado_Archivo Archivo_Historico::Archivar(const std::vector<QByteArray>& imagen,
                                              const QString& sha256, const QString& ruta_respaldo,
                                              const QDateTime& momento, bool solo_nuevo) {
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
            const std::optional<qint64> minuto = Minuto_De_Lectura(l);
            if (!minuto) {
                ++r.descartadas;
                continue;
            }
            filas.push_back({b.equipo, *minuto, l.valor, Metros_Alcance[b.alcance], b.numero});
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
        if (solo_nuevo) {
            // Two programs importing one backup at once: the second waits, then finds it.
            bool visto =
                !sqlite && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(4207319)"));
            if (visto) {
                if (deshacer(q)) continue;
                break;
            }
            q.prepare(QStringLiteral("SELECT 1 FROM descargas WHERE sha256 = ?"));
            q.addBindValue(sha256);
            if (!q.exec()) {
                if (deshacer(q)) continue;
                break;
            }
            visto = q.next();
            q.finish();
            if (visto) {
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
                r.fin = Fin_Archivo::Ya_Archivado;
                return r;
            }
        }
        q.prepare(QStringLiteral(
            "INSERT INTO descargas (sha256, equipo, momento, ruta, lecturas, nuevas) "
            "VALUES (?, ?, ?, ?, ?, 0) RETURNING id"));
        q.addBindValue(sha256);
        q.addBindValue(primer_equipo >= 0 ? QVariant(primer_equipo)
                                          : QVariant(QMetaType::fromType<int>()));
        q.addBindValue(momento_texto);
        // Empty, not NULL, when no backup was written.
        q.addBindValue(ruta_respaldo.isEmpty() ? QStringLiteral("")
                                               : QDir::toNativeSeparators(ruta_respaldo));
        q.addBindValue(r.lecturas);
        if (!q.exec()) {
            if (deshacer(q)) continue;
            break;
        }
        if (!q.next()) {
            if (deshacer(q)) continue;
            break;
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
        if (directo_ && directo_->Preparar_Insercion()) {
            sqlite3_stmt* fila = directo_->insertar;
            for (const Fila& f : filas) {
                sqlite3_bind_int(fila, 1, f.equipo);
                sqlite3_bind_int64(fila, 2, f.minuto);
                sqlite3_bind_int(fila, 3, f.valor);
                sqlite3_bind_int(fila, 4, f.alcance);
                sqlite3_bind_int(fila, 5, f.bloque);
                sqlite3_bind_int64(fila, 6, id);
                bien = sqlite3_step(fila) == SQLITE_DONE;
                sqlite3_reset(fila);
                if (!bien) break;
                nuevas += sqlite3_changes(directo_->db);
            }
            if (!bien) {
                ultimo_error = directo_->Error();
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
                break;
            }
        }
        QSqlQuery lote(db);
        int preparado = -1;
        const size_t por_insercion =
            sqlite ? Filas_Por_Insercion_SQLite : Filas_Por_Insercion_Servidor;
        for (size_t desde = 0; bien && !directo_ && desde < filas.size(); desde += por_insercion) {
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

Resultado_Archivo Archivo_Historico::Fijar_Referencia(int equipo, std::optional<double> cota_m) {
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.prepare(QStringLiteral(
        "INSERT INTO estaciones (equipo, referencia) VALUES (?, ?) ON CONFLICT (equipo) "
        "DO UPDATE SET referencia = excluded.referencia"));
    q.addBindValue(equipo);
    q.addBindValue(cota_m ? QVariant(*cota_m) : QVariant(QMetaType::fromType<double>()));
    if (!q.exec()) return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    return Resultado_Archivo();
}

Resultado_Archivo Archivo_Historico::Guardar_Manual(int equipo, const Lectura_Manual& l) {
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    QSqlQuery q(db);
    const bool bien =
        db.transaction() &&
        q.prepare(
            QStringLiteral("INSERT INTO estaciones (equipo) VALUES (?) ON CONFLICT DO NOTHING")) &&
        (q.addBindValue(equipo), q.exec()) &&
        q.prepare(QStringLiteral(
            "INSERT INTO manuales (equipo, minuto, profundidad, nota) VALUES (?, ?, ?, ?) "
            "ON CONFLICT (equipo, minuto) DO UPDATE SET profundidad = excluded.profundidad, "
            "nota = excluded.nota")) &&
        (q.addBindValue(equipo), q.addBindValue(l.minuto), q.addBindValue(l.profundidad_m),
         q.addBindValue(l.nota.isNull() ? QStringLiteral("") : l.nota), q.exec()) &&
        db.commit();
    if (!bien) {
        const QString error = Texto_Error(q.lastError().isValid() ? q.lastError() : db.lastError());
        db.rollback();
        return Falla(Fin_Archivo::Falla_Base, error);
    }
    return Resultado_Archivo();
}

Resultado_Archivo Archivo_Historico::Borrar_Manual(int equipo, qint64 minuto) {
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.prepare(QStringLiteral("DELETE FROM manuales WHERE equipo = ? AND minuto = ?"));
    q.addBindValue(equipo);
    q.addBindValue(minuto);
    if (!q.exec()) return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    if (q.numRowsAffected() < 1) return Falla(Fin_Archivo::Sin_Lectura_Manual, Texto_Iso(minuto));
    return Resultado_Archivo();
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

Resultado_Archivo Archivar_Descarga(Archivo_Historico& archivo,
                                    const std::vector<QByteArray>& imagen,
                                    const QString& ruta_respaldo, const QDateTime& momento) {
    if (int(imagen.size()) <= Palabras_Memoria ||
        !Checksum_Correcto(Texto_Memoria(imagen), imagen[Palabras_Memoria])) {
        Resultado_Archivo r;
        r.fin = Fin_Archivo::Respaldo_Invalido;
        return r;
    }
    // The record names a backup only when that file holds this very download.
    const QString sha256 = Sha256(Texto_Respaldo(imagen));
    QString escrito;
    QFile respaldo(ruta_respaldo);
    if (!ruta_respaldo.isEmpty() && respaldo.open(QIODevice::ReadOnly) &&
        Sha256(respaldo.readAll()) == sha256 && respaldo.error() == QFileDevice::NoError)
        escrito = ruta_respaldo;
    return archivo.Archivar(imagen, sha256, escrito, momento);
}

// The destination is read from the settings by the caller's thread, before the worker starts.
// The worker opens and prepares, waits for the download, and writes it.
struct Archivador_Descarga::Trabajo {
    Destino_Archivo destino;
    Resultado_Archivo lectura_destino;  // Sin_Conexion when the settings name no usable base
    std::thread hilo;
    std::mutex mutex;
    std::condition_variable senal;
    bool entregado = false;          // the download, or the news that none will come
    std::vector<QByteArray> imagen;  // empty: none
    QString ruta_respaldo;
    Resultado_Archivo resultado;

    void Ejecutar() {
        Archivo_Historico archivo;
        Resultado_Archivo r = lectura_destino;
        if (r) r = archivo.Abrir(destino);
        if (r) archivo.Preparar();
        QDateTime::currentDateTime();  // reads the time zone now rather than at the download
        std::unique_lock<std::mutex> cerrojo(mutex);
        senal.wait(cerrojo, [this] { return entregado; });
        if (r && !imagen.empty())
            r = Archivar_Descarga(archivo, imagen, ruta_respaldo, QDateTime::currentDateTime());
        resultado = r;
    }
    void Entregar(const std::vector<QByteArray>& i, const QString& ruta) {
        {
            const std::lock_guard<std::mutex> cerrojo(mutex);
            imagen = i;
            ruta_respaldo = ruta;
            entregado = true;
        }
        senal.notify_one();
    }
};

Archivador_Descarga::Archivador_Descarga(Perfil& perfil, const QString& directorio_raiz,
                                         const QString& base_linea)
    : trabajo_(std::make_unique<Trabajo>()) {
    if (!Destino_Configurado(perfil, directorio_raiz, base_linea, trabajo_->destino,
                             &trabajo_->lectura_destino.detalle))
        trabajo_->lectura_destino.fin = Fin_Archivo::Sin_Conexion;
}

Archivador_Descarga::~Archivador_Descarga() {
    if (!trabajo_->hilo.joinable()) return;
    trabajo_->Entregar({}, QString());
    trabajo_->hilo.join();
}

void Archivador_Descarga::Preparar() {
    if (trabajo_->hilo.joinable()) return;
    trabajo_->entregado = false;
    trabajo_->hilo = std::thread([t = trabajo_.get()] { t->Ejecutar(); });
}

void Archivador_Descarga::Entregar(const std::vector<QByteArray>& imagen,
                                   const QString& ruta_respaldo) {
    Preparar();
    trabajo_->Entregar(imagen, ruta_respaldo);
}

QString Archivador_Descarga::Registrar() {
    if (!trabajo_->hilo.joinable()) return QString();  // no download was handed over
    trabajo_->hilo.join();
    const Resultado_Archivo r = trabajo_->resultado;
    const QString aviso = Aviso_Descarga(r);
    fallo_ = !aviso.isEmpty();
    if (fallo_) return aviso;
    return QStringLiteral("Archivo histórico: %1 lecturas nuevas de %2.")
        .arg(r.nuevas)
        .arg(r.lecturas);
}

QStringList Archivador_Descarga::Archivos() const {
    return trabajo_->destino.Archivos();
}

}  // namespace aq
