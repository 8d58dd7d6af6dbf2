#pragma once
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QWidget>

#include "core/ui/contexto_ventanas.h"
#include "platform/lista_puertos.h"

namespace aq {

class Fondo;

// The serial ports found now, and a field for a serial device server's tcp:// address.
class Elegir_Dispositivo : public QDialog {
    Q_OBJECT
  public:
    Elegir_Dispositivo(Lista_Puertos& lista, int puerto, const QString& actual,
                       QWidget* parent = nullptr);
    // The chosen device path or tcp:// address; empty when none is valid.
    QString Elegido() const;

    QTreeWidget* Puertos;
    QLineEdit* Direccion;
    QPushButton* Boton_Aceptar;

  private:
    void Revisar();
};

// The port options dialog: offers the ports that can be opened and stores the choice.
class Opciones : public QWidget {
    Q_OBJECT
  public:
    Opciones(Contexto_Ventanas& ctx, Fondo& fondo, QWidget* parent = nullptr);

    // True when no port could be opened: the user was told and the program must end.
    bool Sin_Puertos() const { return sin_puertos_; }
    // The selected option's port number, 0 when none.
    int Seleccionado() const;

    QGroupBox* Select_Port;
    QRadioButton* Option[5] = {};  // 1 to 4
    QPushButton* Boton_Aceptar;
    QPushButton* Boton_Cancelar;
    QLabel* Dispositivo[5] = {};        // the device each port stands for
    QPushButton* Boton_Elegir[5] = {};  // opens the list of ports found
    bool Cancelado = false;

    // Where the ports found are asked for; the system's list unless replaced.
    static Lista_Puertos* lista_puertos;
    // Port `n` stands for `dispositivo` from now on ("[Puertos] COMn" in the settings file); the
    // option is offered again when the device opens. False when the file could not be written.
    bool Asignar_Dispositivo(int n, const QString& dispositivo);

  public Q_SLOTS:
    void Boton_Aceptar_Click();
    void Boton_Cancelar_Click();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    bool Probar(int n);
    void Elegir(int n);
    // No port opens: where to look, and the chance to choose a device for the next start.
    void Ayudar_Sin_Puertos();

    Contexto_Ventanas& ctx_;
    Fondo& fondo_;
    QButtonGroup grupo_;
    bool sin_puertos_ = false;
    QString errores_[5];  // why each port did not open
};

}  // namespace aq
