#include "dobles/fondo_falso.h"

#include <QCoreApplication>

namespace aq {

void Fondo_Falso::Mostrar_Hija(QWidget* ventana) {
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    hijas.append(ventana);
    ventana->show();
}

Banco::~Banco() {
    for (auto& w : fondo.hijas)
        if (w) delete w.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace aq
