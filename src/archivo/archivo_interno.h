#pragma once
// Helpers shared by the archive's sources; not for use outside src/archivo.
#include <QByteArray>
#include <QDateTime>
#include <QSqlError>
#include <QString>
#include <vector>

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
