#pragma once
#include <QString>
#include <optional>
#include <vector>

#include "archivo/archivo_historico.h"
#include "archivo/niveles.h"
#include "hidrografia/serie_grafica.h"

namespace aq {

// A step longer than the longest interval the logger knows (4 hours) is time without readings:
// between blocks, or between downloads.
constexpr double Paso_Maximo_Serie = 4 * 60 + 1;

// A station's series from the archive as a chart of `magnitud`: continuous runs of readings as
// lines, manual readings as markers (at the logger's water column then, for the water column).
// Depth and elevation leave out readings without a level; when no manual reading was usable (or
// no reference, for the elevation) the chart has no line and `resumen` says why. `serie` is the
// whole series: levels drift between visits that may lie outside [desde, hasta], the days shown.
Serie_Grafica Serie_De_Archivo(const std::vector<Punto_Serie>& serie, Magnitud magnitud,
                               const std::vector<Lectura_Manual>& manuales,
                               std::optional<double> referencia_m, const QString& estacion,
                               const QDate& desde = QDate(), const QDate& hasta = QDate());

// "Equipo Nº 7 - Pozo 3" ("Equipo Nº 7" without a name).
QString Nombre_Estacion(int equipo, const QString& nombre);

}  // namespace aq
