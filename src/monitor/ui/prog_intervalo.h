#pragma once
#include <QComboBox>

#include "monitor/ui/dialogo_programacion.h"

namespace aq {

// "Programación del Intervalo entre Lecturas": the interval code for the "I" command.
class Prog_Intervalo : public Dialogo_Programacion {
    Q_OBJECT
  public:
    explicit Prog_Intervalo(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

    QComboBox* Intervalo;

  public Q_SLOTS:
    void Boton_Aceptar_Click();
};

}  // namespace aq
