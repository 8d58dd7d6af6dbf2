#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

namespace aq {

// Reads the first 4096 lines of a raw memory backup (lines ended by CR LF or LF, taken without
// their end) into elements 0..4095 of `imagen`. Further lines are not read and nothing is
// validated. A missing, unreadable or short file leaves `imagen` untouched and returns false
// with a message for the user in `error` (when not null).
bool Leer_Resguardo(const QString& ruta, std::vector<QByteArray>& imagen, QString* error);

}  // namespace aq
