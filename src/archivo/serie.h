#pragma once
#include <QPointF>
#include <vector>

#include "archivo/archivo_historico.h"

namespace aq {

// What a line `columnas` pixels wide can show of the series: per pixel column its lowest and
// highest reading, in time order (x in minutes as in Punto_Serie). Short series come back
// whole. For the screen only; exports always take every reading.
std::vector<QPointF> Diezmar_Serie(const std::vector<Punto_Serie>& serie, int columnas);

}  // namespace aq
