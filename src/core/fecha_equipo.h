#pragma once
#include <QDate>

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

}  // namespace aq
