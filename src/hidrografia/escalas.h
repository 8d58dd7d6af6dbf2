#pragma once
#include <QString>
#include <vector>

namespace aq {

// Chart axes. Time is in minutes of the one calendar's time line (Minuto_Equipo), as a double
// so that a view may begin between two minutes.

struct Marca_Tiempo {
    qint64 minuto = 0;
    QString texto;
};

struct Marcas_Tiempo {
    std::vector<Marca_Tiempo> mayores;  // labelled, on calendar boundaries, evenly spaced
    std::vector<qint64> menores;        // unlabelled, between them
};

// The ticks of a time axis from `desde` to `hasta`: the finest calendar step (minutes, hours,
// days, Mondays, months, years) that gives at most `maximo` labelled ticks. Below a day a
// midnight reads as its date ("15/03/2002") and any other tick as its time ("06:00"); days and
// weeks read as dates, months as "mar 2002", years as "2002". So each label, read after the
// last date before it (or the period in the title), names exactly one time.
Marcas_Tiempo Calcular_Marcas_Tiempo(double desde, double hasta, int maximo);

// A round step (1, 2 or 5 times a power of ten) that cuts `lapso` in about `partes`.
double Paso_Redondo(double lapso, int partes);
// Decimals that show every multiple of `paso` exactly (0 for steps of 1 and more).
int Decimales_Paso(double paso);

// "15/03/2002 10:15" of a minute; "del 15/03/2002 al 17/03/2002" (one date when both fall on
// the same day) of a period.
QString Texto_Fecha_Hora(qint64 minuto);
QString Texto_Periodo(qint64 desde, qint64 hasta);

}  // namespace aq
