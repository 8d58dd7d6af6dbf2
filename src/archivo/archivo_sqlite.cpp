#include <sqlite3.h>

#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include "archivo/archivo_interno.h"

namespace aq {

Archivo_Historico::SQLite_Directo::~SQLite_Directo() {
    sqlite3_finalize(insertar);
}

std::unique_ptr<Archivo_Historico::SQLite_Directo> Archivo_Historico::SQLite_Directo::De(
    const QSqlDatabase& db) {
    const QVariant manija = db.driver() ? db.driver()->handle() : QVariant();
    if (!manija.isValid() || qstrcmp(manija.typeName(), "sqlite3*") != 0) return nullptr;
    sqlite3* propia = *static_cast<sqlite3* const*>(manija.constData());
    if (!propia) return nullptr;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT sqlite_source_id()")) || !q.next() ||
        q.value(0).toString() != QLatin1String(sqlite3_sourceid()))
        return nullptr;
    auto d = std::make_unique<SQLite_Directo>();
    d->db = propia;
    return d;
}

bool Archivo_Historico::SQLite_Directo::Preparar_Insercion() {
    if (insertar) return true;
    return sqlite3_prepare_v3(db,
                              "INSERT INTO lecturas (equipo, minuto, valor, alcance, bloque, "
                              "descarga) VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING",
                              -1, SQLITE_PREPARE_PERSISTENT, &insertar, nullptr) == SQLITE_OK;
}

QString Archivo_Historico::SQLite_Directo::Error() const {
    return QString::fromUtf8(sqlite3_errmsg(db)).simplified();
}

void Archivo_Historico::Preparar() {
    if (!abierto_ || !directo_) return;
    directo_->Preparar_Insercion();
    // Folded in now, while nobody waits, the log does not make the next commit fold it.
    sqlite3_wal_checkpoint_v2(directo_->db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

}  // namespace aq
