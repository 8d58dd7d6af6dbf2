#pragma once
#include <QDateTime>
#include <QString>

namespace aq {

// The logger's date "dd/mm/aa" and time "hh:mm", as the status record shows them, as a time of
// its wall clock (kept as UTC, so no daylight rule of the PC moves it); invalid when either is
// not a calendar date or a time of day.
QDateTime Momento_Equipo(const QString& fecha, const QString& hora);

// How far the logger's clock is from the PC's.
struct Deriva_Reloj {
    bool valida = false;  // false: the logger's date or time is no calendar date or time of day
    qint64 minutos = 0;   // logger minus PC, whole minutes: negative when the logger is behind
    // "Reloj del equipo: 3 min atrasado respecto del PC"; empty while the clocks agree within a
    // minute, "Reloj del equipo: fecha u hora no válida" when not `valida`.
    QString texto;
};

// The logger shows whole minutes only, so the PC time is cut to its minute as well; a one-minute
// step can come from reading the two clocks a moment apart and is not reported.
Deriva_Reloj Calcular_Deriva(const QString& fecha, const QString& hora, const QDateTime& pc);

// A length of time in minutes as the monitor words it: "45 min", "2 h", "2 h 5 min", "1 día",
// "3 días 4 h" (sign ignored).
QString Texto_Duracion(qint64 minutos);

// Free records of the logger from the status record's count of records held; -1 when the count
// is not a number or exceeds the memory.
int Registros_Libres(const QString& ocupados);

// When a logger in REGISTRO will have filled its memory.
struct Prevision_Memoria {
    bool valida = false;  // false: unknown interval code or no calendar date
    QDateTime llena;      // time stamp of the last reading that still fits
    QString texto;        // "Memoria llena aprox. el 14/03/27 10:15"; "Memoria llena" if no room
};

// Each reading takes one record and is stamped at the next point of the interval's grid after
// the logger's time (5, 10, 15, 30 minutes within the hour for codes 0..3; 1, 2, 4 hours within
// the day for codes 4..6), as the decoder dates them; the last free record holds the reading
// (libres - 1) steps after the first.
Prevision_Memoria Prever_Memoria_Llena(int libres, int intervalo, const QDateTime& equipo);
Prevision_Memoria Prever_Memoria_Llena(int libres, int intervalo, const QString& fecha,
                                       const QString& hora);

}  // namespace aq
