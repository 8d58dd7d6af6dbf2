#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>

#include "monitor/ui/dialogo_programacion.h"

namespace aq {

// "Programación de la Hora": hour and minute for the "H" command.
class Prog_Hora : public Dialogo_Programacion {
    Q_OBJECT
  public:
    explicit Prog_Hora(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

    QCheckBox* Tomar_Hora_PC;
    QLabel* Label1;
    QComboBox* Combo_Horas;
    QLabel* Label2;
    QComboBox* Combo_Minutos;
    QTimer* Timer1;

  public Q_SLOTS:
    void Tomar_Hora_PC_Click();
    void Timer1_Timer();
    void Boton_Aceptar_Click();
};

}  // namespace aq
