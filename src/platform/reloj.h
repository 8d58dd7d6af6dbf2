#pragma once
#include <QDateTime>

namespace aq {

class Reloj {
  public:
    virtual ~Reloj() = default;
    // Monotonic seconds: never jumps at midnight or when the PC clock is changed.
    virtual double Segundos() const = 0;
    // The PC's local date and time of day (what the date and time dialogs follow).
    virtual QDateTime Ahora() const = 0;
    // Blocks for `segundos` without running window events.
    virtual void Dormir(double segundos) = 0;
    // Runs pending window events, waiting at most `max_segundos` for one to arrive.
    virtual void Ceder(double max_segundos = 0) = 0;
};

}  // namespace aq
