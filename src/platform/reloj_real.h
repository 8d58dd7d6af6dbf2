#pragma once
#include <QElapsedTimer>

#include "platform/reloj.h"

namespace aq {

// The PC's clocks: a monotonic timer for every wait, the calendar clock only for what the
// user sees as date and time.
class Reloj_Real : public Reloj {
  public:
    Reloj_Real();
    double Segundos() const override;
    QDateTime Ahora() const override;
    void Dormir(double segundos) override;
    void Ceder(double max_segundos = 0) override;

  private:
    QElapsedTimer cronometro_;
};

}  // namespace aq
