#pragma once
#include "hidrografia/serie_grafica.h"
#include "memory/datos_exportados.h"

namespace aq {

// The water column of a data file as a chart: one run per data block (the time between blocks
// stays blank), the blocks named in the legend when there are a few.
Serie_Grafica Serie_De_Datos(const Datos_Exportados& datos);

}  // namespace aq
