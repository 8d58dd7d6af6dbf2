#include "dobles/reloj_virtual.h"

#include <QCoreApplication>

namespace aq {

void Reloj_Virtual::Ceder(double max_segundos) {
    ++cesiones_;
    if (al_ceder) {
        auto accion = al_ceder;  // may clear or replace itself
        accion();
    }
    QCoreApplication::processEvents();
    Avanzar(max_segundos);
}

}  // namespace aq
