#pragma once
#include <QString>
#include <QWidget>

#include "hidrografia/ui/hidrograma.h"
#include "platform/dialogos.h"

namespace aq {

// Reads the data file `ruta` and shows its hydrograph beside `junto_a` (Mostrar_Junto_A). A
// file that cannot be read is reported through `dialogos` and nothing opens.
Hidrograma* Abrir_Hidrograma(const QString& ruta, QWidget* junto_a, Dialogos& dialogos);

}  // namespace aq
