#pragma once
#include <functional>

#include "platform/reloj.h"

namespace aq {

// A clock that only moves when a wait asks it to: timing tests take no real time.
class Reloj_Virtual : public Reloj {
  public:
    explicit Reloj_Virtual(double inicio = 1000.0,
                           QDateTime pc = QDateTime(QDate(2002, 6, 5), QTime(9, 5, 0)))
        : t_(inicio), inicio_(inicio), pc_(pc) {}
    double Segundos() const override { return t_; }
    QDateTime Ahora() const override {
        return pc_.addMSecs(static_cast<qint64>((t_ - inicio_) * 1000));
    }
    void Dormir(double segundos) override { Avanzar(segundos); }
    void Ceder(double max_segundos) override;

    void Avanzar(double segundos) {
        if (segundos > 0) t_ += segundos;
    }
    void Ir_A(double t) {
        if (t > t_) t_ = t;
    }
    // Moves the PC's date and time of day (the monotonic clock is not affected).
    void Fijar_Pc(const QDateTime& pc) {
        pc_ = pc;
        inicio_ = t_;
    }
    int Cesiones() const { return cesiones_; }
    // Runs on every yield, before the pending events: what a user does while a window waits.
    std::function<void()> al_ceder;

  private:
    double t_;
    double inicio_;
    QDateTime pc_;
    int cesiones_ = 0;
};

}  // namespace aq
