#include "platform/ui/ventanas.h"

#include <QMdiSubWindow>
#include <QVariant>

namespace aq {

namespace {
constexpr const char* Propiedad = "aq_descarga_programada";
}

bool Descargar(QWidget* ventana) {
    if (!ventana) return true;
    ventana->setProperty(Propiedad, true);
    bool cerrada;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(ventana->parentWidget()))
        cerrada = sub->close();
    else
        cerrada = ventana->close();
    if (!cerrada) ventana->setProperty(Propiedad, false);
    return cerrada;
}

bool Es_Descarga_Programada(const QWidget* ventana) {
    return ventana->property(Propiedad).toBool();
}

void Repintar(QWidget* w) {
    if (w && w->isVisible()) w->repaint();
}

}  // namespace aq
