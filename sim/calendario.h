#pragma once
#include <cstdint>

namespace aq::sim {

// The logger counts time in whole seconds from 01/01/00 00:00; its years have two digits and
// every fourth one (00 included) is a leap year, which matches the Gregorian calendar for
// 2000-2099. Times past 31/12/99 wrap to 00.
struct Fecha_Hora {
    int dia = 1, mes = 1, anio = 0;  // anio: 0..99
    int hora = 0, minuto = 0, segundo = 0;
};

int64_t A_Segundos(const Fecha_Hora& f);
Fecha_Hora De_Segundos(int64_t s);

bool Es_Bisiesto(int anio);
int Dias_Del_Mes(int mes, int anio);

// Interval codes 0..6: 5, 10, 15, 30 minutes, 1, 2, 4 hours.
int64_t Paso_Intervalo(int codigo);
// First point of the interval grid strictly after `s`. Every step divides a day, so the grid
// anchored at the epoch's midnight is the same as "minutes multiple of the step within the
// hour / hours multiple of the step within the day".
int64_t Siguiente_Punto(int64_t s, int codigo);

// A plausible raw 12-bit reading of the water column at logger time `s`: a semidiurnal tide
// over a fortnightly swing, with a little jitter. Deterministic in `s`.
uint16_t Lectura_Simulada(int64_t s);

}  // namespace aq::sim
