#pragma once
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "archivo/archivo_historico.h"

namespace aq {

// A depth to water measured by hand at a visit, below the well's reference point.
struct Lectura_Manual {
    qint64 minuto = 0;  // on the one calendar's time line (Minuto_Equipo)
    double profundidad_m = 0;
    QString nota;
};

// The quantities a series can be shown in: water column over the sensor [mm], depth to water
// below the reference point [m], elevation of the water above the datum [m].
enum class Magnitud { Columna, Profundidad, Cota };

struct Niveles {
    std::vector<double> profundidad_m;  // one per reading of the series; NaN where none
    std::vector<double> cota_m;         // NaN where no reference or no level
    std::vector<bool> manual_usada;     // one per manual reading: false = no logger reading
                                        // within one interval of it
    bool Hay_Niveles() const;           // at least one manual reading was used
};

// Depth to water and elevation of every reading. `serie` in time order (as Serie gives it);
// `manuales` in any order. At each usable manual reading the sensor hangs at the manual depth
// plus the water column then; between two such readings its depth drifts linearly in time,
// before the first and after the last it stays as at the nearest one.
Niveles Calcular_Niveles(const std::vector<Punto_Serie>& serie,
                         const std::vector<Lectura_Manual>& manuales,
                         std::optional<double> referencia_m);

// The water column [mm] at `minuto`: the reading then, or linear between the two readings
// around it when they are one interval apart; the nearest reading when only it is within one
// interval. None when no reading is that close. The interval is the series' own step there.
std::optional<double> Columna_En(const std::vector<Punto_Serie>& serie, qint64 minuto);

struct Dia_Serie {
    QDate fecha;
    int lecturas = 0;
    int minimo = 0, maximo = 0;
    double media = 0;
};

// One row per calendar day that holds readings, in time order.
std::vector<Dia_Serie> Estadisticas_Diarias(const std::vector<Punto_Serie>& serie);

}  // namespace aq
