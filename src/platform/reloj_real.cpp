#include "platform/reloj_real.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <cmath>

namespace aq {

Reloj_Real::Reloj_Real() {
    cronometro_.start();
}

double Reloj_Real::Segundos() const {
    return cronometro_.nsecsElapsed() / 1e9;
}

QDateTime Reloj_Real::Ahora() const {
    return QDateTime::currentDateTime();
}

void Reloj_Real::Dormir(double segundos) {
    if (segundos <= 0) return;
    QThread::usleep(static_cast<unsigned long>(std::ceil(segundos * 1e6)));
}

void Reloj_Real::Ceder(double max_segundos) {
    if (!QCoreApplication::instance()) {
        Dormir(max_segundos);
        return;
    }
    if (max_segundos <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The timer bounds the wait: whatever comes first, an event or the timer, ends it.
    QTimer limite;
    limite.setSingleShot(true);
    limite.setTimerType(Qt::PreciseTimer);
    limite.start(static_cast<int>(std::ceil(max_segundos * 1000)));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace aq
