#pragma once
#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "core/contexto.h"

namespace aq {

class Fondo;

// The port options dialog: offers the ports that can be opened and stores the choice.
class Opciones : public QWidget {
    Q_OBJECT
  public:
    Opciones(Contexto& ctx, Fondo& fondo, QWidget* parent = nullptr);

    // True when no port could be opened: the user was told and the program must end.
    bool Sin_Puertos() const { return sin_puertos_; }
    // The selected option's port number, 0 when none.
    int Seleccionado() const;

    QGroupBox* Select_Port;
    QRadioButton* Option[5] = {};  // 1 to 4
    QPushButton* Boton_Aceptar;
    QPushButton* Boton_Cancelar;
    bool Cancelado = false;

  public Q_SLOTS:
    void Boton_Aceptar_Click();
    void Boton_Cancelar_Click();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    Contexto& ctx_;
    Fondo& fondo_;
    QButtonGroup grupo_;
    bool sin_puertos_ = false;
};

}  // namespace aq
