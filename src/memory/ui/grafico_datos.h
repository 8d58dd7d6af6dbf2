#pragma once
#include <QString>
#include <QWidget>

#include "hidrografia/ui/hidrograma.h"
#include "platform/dialogos.h"

namespace aq {

// The hydrograph's "Exportar PNG...": the overwrite question, then the picture through the safe
// writer, a failure told with the program's file messages.
Hidrograma::Guardar_Imagen Guardar_Imagen_Con(Dialogos& dialogos);

// Reads the data file `ruta` and shows its hydrograph beside `junto_a` (Mostrar_Junto_A). A
// file that cannot be read is reported through `dialogos` and nothing opens.
Hidrograma* Abrir_Hidrograma(const QString& ruta, QWidget* junto_a, Dialogos& dialogos);

}  // namespace aq
