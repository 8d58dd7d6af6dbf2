#pragma once
// Helpers shared by the archive's sources; not for use outside src/archivo.
#include <QByteArray>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <memory>
#include <vector>

#include "archivo/archivo_historico.h"
#include "archivo/destino.h"

namespace aq::archivo_interno {

inline bool Es_SQLite(const Destino_Archivo& d) {
    return d.motor == Destino_Archivo::Motor::SQLite;
}

// The driver's words for a failure, on one line.
QString Texto_Error(const QSqlError& e);
// The first minute of a calendar day on the one time line.
qint64 Minuto_De_Fecha(const QDate& d);
// A download time as stored ("AAAA-MM-DDThh:mm:ss") back to a QDateTime; invalid when empty.
QDateTime Momento_De_Texto(const QString& t);
// The memory's words (elements 0..4095) as one text, as the checksum covers them.
QByteArray Texto_Memoria(const std::vector<QByteArray>& imagen);
QString Sha256(const QByteArray& datos);

}  // namespace aq::archivo_interno

struct sqlite3;
struct sqlite3_stmt;

namespace aq {

// SQLite's own calls on the connection of an open archive.
struct Archivo_Historico::SQLite_Directo {
    sqlite3* db = nullptr;             // the Qt connection's; closed by it
    sqlite3_stmt* insertar = nullptr;  // one reading of a download, a known one skipped

    SQLite_Directo() = default;
    SQLite_Directo(const SQLite_Directo&) = delete;
    SQLite_Directo& operator=(const SQLite_Directo&) = delete;
    ~SQLite_Directo();
    // Null unless the connection is SQLite on the very library linked here: a driver built on
    // its own copy keeps its handle to itself.
    static std::unique_ptr<SQLite_Directo> De(const QSqlDatabase& db);
    bool Preparar_Insercion();
    QString Error() const;
};

}  // namespace aq
