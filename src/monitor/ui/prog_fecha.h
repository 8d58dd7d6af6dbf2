#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "monitor/ui/dialogo_programacion.h"

namespace aq {

// "Programación de la Fecha": day, month and two-digit year for the "F" command.
class Prog_Fecha : public Dialogo_Programacion {
    Q_OBJECT
  public:
    explicit Prog_Fecha(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

    QCheckBox* Tomar_Fecha_PC;
    QLabel* Label1;
    QLineEdit* Anio;
    QLabel* Label2;
    QComboBox* Combo_Mes;
    QLabel* Label3;
    QComboBox* Combo_Dia;
    QTimer* Timer1;

  public Q_SLOTS:
    void Combo_Mes_Click();
    void Combo_Dia_Click();
    void Anio_LostFocus();
    void Tomar_Fecha_PC_Click();
    void Timer1_Timer();
    void Boton_Aceptar_Click();

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    bool en_seleccion_ = false;  // a month selection (and its boxes) is under way
};

}  // namespace aq
