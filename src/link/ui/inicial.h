#pragma once
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "core/ui/contexto_ventanas.h"

namespace aq {

// The start-up link window: greets the logger, checks its firmware, reports, then closes.
class Inicial : public QWidget {
    Q_OBJECT
  public:
    explicit Inicial(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

    QTimer* Timer1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;

    static const QColor Verde;

  public Q_SLOTS:
    void Timer1_Timer();

  Q_SIGNALS:
    // What the greeting leaves in the main window's menu.
    void Revelar_Opciones(bool habilitar);
    void Revelar_Mantenimiento();
    // Firmware verified: the monitor may open, if nothing else holds the logger by then.
    void Enlace_Establecido();
    // The user is pointed at "&Opciones".
    void Enlace_Fallido();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    bool Label2_Verde() const;
    Contexto_Ventanas& ctx_;
    bool cerrada_ = false;
};

}  // namespace aq
