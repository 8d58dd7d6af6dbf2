#include "dobles/reloj_virtual.h"

#include <QCoreApplication>

namespace aq {

void Reloj_Virtual::Ceder(double max_segundos) {
    ++cesiones_;
    QCoreApplication::processEvents();
    Avanzar(max_segundos);
}

}  // namespace aq
