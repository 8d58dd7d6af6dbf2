#include "calendario.h"

#include <cmath>

namespace aq::sim {

namespace {

constexpr int64_t kDia = 86400;
constexpr int64_t kSiglo = 36525;  // days from 01/01/00 to the wrap

// Days from 01/01/2000 (civil calendar), after H. Hinnant's days_from_civil.
int64_t Dias_Desde_2000(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 - 10957;
}

void Civil_De_Dias(int64_t z, int64_t& y, int& m, int& d) {
    z += 719468 + 10957;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y += m <= 2;
}

}  // namespace

bool Es_Bisiesto(int anio) {
    return anio % 4 == 0;
}

int Dias_Del_Mes(int mes, int anio) {
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mes < 1 || mes > 12) return 0;
    return mes == 2 && Es_Bisiesto(anio) ? 29 : dias[mes - 1];
}

int64_t A_Segundos(const Fecha_Hora& f) {
    return Dias_Desde_2000(2000 + f.anio, f.mes, f.dia) * kDia + f.hora * 3600 + f.minuto * 60 +
           f.segundo;
}

Fecha_Hora De_Segundos(int64_t s) {
    s %= kSiglo * kDia;
    if (s < 0) s += kSiglo * kDia;
    Fecha_Hora f;
    int64_t y;
    Civil_De_Dias(s / kDia, y, f.mes, f.dia);
    f.anio = static_cast<int>(y - 2000);
    const int64_t r = s % kDia;
    f.hora = static_cast<int>(r / 3600);
    f.minuto = static_cast<int>(r % 3600 / 60);
    f.segundo = static_cast<int>(r % 60);
    return f;
}

int64_t Paso_Intervalo(int codigo) {
    static const int64_t pasos[] = {300, 600, 900, 1800, 3600, 7200, 14400};
    return codigo >= 0 && codigo <= 6 ? pasos[codigo] : 300;
}

int64_t Siguiente_Punto(int64_t s, int codigo) {
    const int64_t p = Paso_Intervalo(codigo);
    const int64_t q = s >= 0 ? s / p : (s - p + 1) / p;
    return (q + 1) * p;
}

uint16_t Lectura_Simulada(int64_t s) {
    const double pi = 3.14159265358979323846;
    const double t = static_cast<double>(s);
    double v = 1800.0 + 450.0 * std::sin(2 * pi * t / 44712.0) +
               120.0 * std::sin(2 * pi * t / (14.77 * 86400.0));
    // Sensor jitter of a couple of counts, fixed for a given minute.
    uint32_t h = static_cast<uint32_t>(s / 60) * 2654435761u;
    v += static_cast<int>((h >> 16) % 5) - 2;
    if (v < 0) v = 0;
    if (v > 4095) v = 4095;
    return static_cast<uint16_t>(std::lround(v));
}

}  // namespace aq::sim
