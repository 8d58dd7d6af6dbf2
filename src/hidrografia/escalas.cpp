#include "hidrografia/escalas.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

#include "core/fecha_equipo.h"

namespace aq {

namespace {

constexpr qint64 Hora = 60, Dia = 1440, Semana = 7 * Dia;
// 2000-01-01, the time line's minute 0, was a Saturday: the first Monday is two days on.
constexpr qint64 Lunes = 2 * Dia;
// Past this many minor ticks the view is too wide for them to mean anything.
constexpr size_t Menores_Maximas = 2000;

enum class Rotulo { Hora_O_Fecha, Fecha, Mes, Anio };

// A step either in minutes (a fixed length, counted from `origen`) or in months.
struct Paso {
    qint64 minutos;  // 0: a step of months
    int meses;
    Rotulo rotulo;
    qint64 menor_minutos;  // the minor step: minutes ...
    int menor_meses;       // ... or months; both 0 for dekads (days 1, 11, 21)
    qint64 origen = 0;
};

const Paso Pasos[] = {
    {1, 0, Rotulo::Hora_O_Fecha, 0, 0},
    {2, 0, Rotulo::Hora_O_Fecha, 1, 0},
    {5, 0, Rotulo::Hora_O_Fecha, 1, 0},
    {10, 0, Rotulo::Hora_O_Fecha, 5, 0},
    {15, 0, Rotulo::Hora_O_Fecha, 5, 0},
    {30, 0, Rotulo::Hora_O_Fecha, 10, 0},
    {Hora, 0, Rotulo::Hora_O_Fecha, 15, 0},
    {2 * Hora, 0, Rotulo::Hora_O_Fecha, 30, 0},
    {3 * Hora, 0, Rotulo::Hora_O_Fecha, Hora, 0},
    {6 * Hora, 0, Rotulo::Hora_O_Fecha, Hora, 0},
    {12 * Hora, 0, Rotulo::Hora_O_Fecha, 3 * Hora, 0},
    {Dia, 0, Rotulo::Fecha, 6 * Hora, 0},
    {2 * Dia, 0, Rotulo::Fecha, 12 * Hora, 0},
    {Semana, 0, Rotulo::Fecha, Dia, 0, Lunes},
    {2 * Semana, 0, Rotulo::Fecha, Dia, 0, Lunes},
    {0, 1, Rotulo::Mes, 0, 0},
    {0, 2, Rotulo::Mes, 0, 1},
    {0, 3, Rotulo::Mes, 0, 1},
    {0, 6, Rotulo::Mes, 0, 1},
    {0, 12, Rotulo::Anio, 0, 3},
    {0, 24, Rotulo::Anio, 0, 6},
    {0, 60, Rotulo::Anio, 0, 12},
    {0, 120, Rotulo::Anio, 0, 12},
    {0, 240, Rotulo::Anio, 0, 60},
    {0, 600, Rotulo::Anio, 0, 120},
    {0, 1200, Rotulo::Anio, 0, 120},
};

const char* const Meses[] = {"ene", "feb", "mar", "abr", "may", "jun",
                             "jul", "ago", "sep", "oct", "nov", "dic"};

qint64 Techo(qint64 a, qint64 b) {
    return -Division_Piso(-a, b);
}

// Months since year 0 and back.
qint64 Mes_De(qint64 minuto) {
    const QDate d = Momento_De_Minuto(minuto).date();
    return qint64(d.year()) * 12 + d.month() - 1;
}

qint64 Minuto_De_Mes(qint64 mes, int dia = 1) {
    return Minuto_De_Momento(QDateTime(
        QDate(int(Division_Piso(mes, 12)), int(mes - Division_Piso(mes, 12) * 12) + 1, dia),
        QTime(0, 0), Qt::UTC));
}

QString Texto(qint64 minuto, Rotulo rotulo) {
    const QDateTime m = Momento_De_Minuto(minuto);
    switch (rotulo) {
        case Rotulo::Hora_O_Fecha:
            if (minuto - Division_Piso(minuto, Dia) * Dia != 0)
                return m.toString(QStringLiteral("HH:mm"));
            [[fallthrough]];
        case Rotulo::Fecha:
            return m.toString(QStringLiteral("dd/MM/yyyy"));
        case Rotulo::Mes:
            return QString::fromLatin1(Meses[m.date().month() - 1]) + QLatin1Char(' ') +
                   QString::number(m.date().year());
        case Rotulo::Anio:
            return QString::number(m.date().year());
    }
    return {};
}

// Ticks of one step from `a` to `b` (whole minutes), stopping past `maximo`.
std::vector<qint64> Posiciones(qint64 a, qint64 b, qint64 minutos, int meses, qint64 origen,
                               size_t maximo) {
    std::vector<qint64> p;
    if (minutos > 0) {
        for (qint64 m = Techo(a - origen, minutos) * minutos + origen; m <= b && p.size() <= maximo;
             m += minutos)
            p.push_back(m);
    } else if (meses > 0) {
        for (qint64 k = Techo(Mes_De(a) + (Minuto_De_Mes(Mes_De(a)) < a ? 1 : 0), meses) * meses;
             p.size() <= maximo; k += meses) {
            const qint64 m = Minuto_De_Mes(k);
            if (m > b) break;
            p.push_back(m);
        }
    } else {
        // Dekads: the 1st, 11th and 21st of each month.
        for (qint64 k = Mes_De(a); p.size() <= maximo; ++k) {
            bool fuera = false;
            for (int dia : {1, 11, 21}) {
                const qint64 m = Minuto_De_Mes(k, dia);
                if (m > b) fuera = true;
                if (m >= a && m <= b) p.push_back(m);
            }
            if (fuera) break;
        }
    }
    return p;
}

}  // namespace

Marcas_Tiempo Calcular_Marcas_Tiempo(double desde, double hasta, int maximo) {
    Marcas_Tiempo r;
    if (!(hasta >= desde) || !std::isfinite(desde) || !std::isfinite(hasta)) return r;
    const qint64 a = qint64(std::ceil(desde)), b = qint64(std::floor(hasta));
    maximo = std::max(maximo, 1);
    const Paso* paso = std::end(Pasos) - 1;
    std::vector<qint64> mayores;
    for (const Paso& p : Pasos) {
        mayores = Posiciones(a, b, p.minutos, p.meses, p.origen, size_t(maximo));
        if (mayores.size() <= size_t(maximo)) {
            paso = &p;
            break;
        }
    }
    for (qint64 m : mayores) r.mayores.push_back(Marca_Tiempo{m, Texto(m, paso->rotulo)});
    if (paso->menor_minutos || paso->menor_meses || paso->meses == 1) {
        const std::vector<qint64> menores =
            Posiciones(a, b, paso->menor_minutos, paso->menor_meses,
                       paso->menor_minutos ? paso->origen : 0, Menores_Maximas);
        if (menores.size() <= Menores_Maximas)
            for (qint64 m : menores)
                if (!std::binary_search(mayores.begin(), mayores.end(), m)) r.menores.push_back(m);
    }
    return r;
}

double Paso_Redondo(double lapso, int partes) {
    const double bruto = lapso / std::max(1, partes);
    if (!(bruto > 0) || !std::isfinite(bruto)) return 1;
    const double potencia = std::pow(10.0, std::floor(std::log10(bruto)));
    const double r = bruto / potencia;
    return (r <= 1 ? 1 : r <= 2 ? 2 : r <= 5 ? 5 : 10) * potencia;
}

int Decimales_Paso(double paso) {
    if (!(paso > 0) || paso >= 1) return 0;
    return std::min(9, int(std::ceil(-std::log10(paso) - 1e-9)));
}

QString Texto_Fecha_Hora(qint64 minuto) {
    return Momento_De_Minuto(minuto).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString Texto_Periodo(qint64 desde, qint64 hasta) {
    const QString a = Momento_De_Minuto(desde).toString(QStringLiteral("dd/MM/yyyy"));
    const QString b = Momento_De_Minuto(hasta).toString(QStringLiteral("dd/MM/yyyy"));
    return a == b ? a : QStringLiteral("del ") + a + QStringLiteral(" al ") + b;
}

}  // namespace aq
