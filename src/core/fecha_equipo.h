#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace aq {

// The logger keeps two-digit years. 00-79 are read as 2000-2079 and 80-99 as 1980-1999: in that
// span every year divisible by 4 is a leap year, which is how the logger's calendar counts them.
constexpr int Anio_Completo(int anio) {
    return anio < 80 ? 2000 + anio : 1900 + anio;
}

// A logger date as a calendar date; invalid for day 0, month 13, 30/02 and the like.
inline QDate Fecha_Equipo(int dia, int mes, int anio) {
    if (anio < 0 || anio > 99) return {};
    return QDate(Anio_Completo(anio), mes, dia);
}

// Division rounded down: a minute before 2000 belongs to the day, hour or step before it, never
// to the one after (plain integer division rounds towards zero).
constexpr qint64 Division_Piso(qint64 a, qint64 b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// A date and time as the logger states them: two-digit year, no time zone, no summer time.
struct Hora_Equipo {
    int dia = 0, mes = 0, anio = 0, hora = 0, minuto = 0;
    bool operator==(const Hora_Equipo& o) const {
        return dia == o.dia && mes == o.mes && anio == o.anio && hora == o.hora &&
               minuto == o.minuto;
    }
};

// The one calendar of the program. A logger time becomes a minute on one time line (minutes
// since 2000-01-01 00:00, negative before it) and back; every stamp, chart, export, drift and
// forecast goes through here. None for a time no calendar has (day 0, 24:00, 30/02...).
std::optional<qint64> Minuto_Equipo(const Hora_Equipo& h);
// The inverse, for minutes of 1980-01-01 to 2079-12-31; outside that span the two-digit year
// would stand for another century, so none.
std::optional<Hora_Equipo> Hora_De_Minuto(qint64 minuto);

// The same minute as a QDateTime in UTC: UTC only because the logger's clock has no zone and
// no summer time, so no hour may be skipped or repeated.
QDateTime Momento_De_Minuto(qint64 minuto);
// The inverse; the seconds are dropped. The time must be valid.
qint64 Minuto_De_Momento(const QDateTime& momento);
// Shorthand: a logger time as a QDateTime in UTC, invalid where Minuto_Equipo has none.
QDateTime Momento_Equipo(const Hora_Equipo& h);

// "AAAA-MM-DDThh:mm" (ISO 8601) of a minute of the time line.
QString Texto_Iso(qint64 minuto);
// The logger's own texts, "dd/mm/aa" and "hh:mm".
QString Texto_Fecha_Equipo(const Hora_Equipo& h);
QString Texto_Hora_Equipo(const Hora_Equipo& h);

}  // namespace aq
