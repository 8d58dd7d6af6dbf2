#pragma once
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QVector>
#include <utility>

class QEvent;

namespace aq {

// While an exchange with the logger blocks the one thread, the windows still repaint when
// uncovered and answer the desktop's ping, and nothing else gets in: user input, window closes
// from the desktop and timers wait until the exchange is over, so no second exchange can start.
// Nestable; only the outermost one lets the held events go.
class Espera_Atenta {
  public:
    Espera_Atenta();
    ~Espera_Atenta();
    Espera_Atenta(const Espera_Atenta&) = delete;
    Espera_Atenta& operator=(const Espera_Atenta&) = delete;

    static bool Activa();
    // Runs what arrived for the windows (paint, expose, the window manager's messages) and holds
    // the rest. Does nothing outside an Espera_Atenta, in a program without windows, or when
    // called again within a few milliseconds. Cheap enough for every slice of a wait.
    static void Atender();

    // Longest a blocked wait may sleep before it calls Atender.
    static constexpr double Paso = 0.05;
};

namespace detalle {

// The event filter behind Espera_Atenta: holds timers, posted input and deferred deletions.
class Retenedor : public QObject {
  public:
    bool eventFilter(QObject* destino, QEvent* e) override;
    void Soltar();

  private:
    QVector<std::pair<QPointer<QObject>, int>> temporizadores_;
    QVector<std::pair<QPointer<QObject>, QEvent*>> eventos_;
    QVector<QPointer<QObject>> borrados_;
};

}  // namespace detalle

}  // namespace aq
