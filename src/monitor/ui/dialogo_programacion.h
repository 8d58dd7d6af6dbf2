#pragma once
#include <QComboBox>
#include <QPushButton>
#include <QWidget>

#include <functional>

#include "core/ui/contexto_ventanas.h"
#include "monitor/operaciones.h"

namespace aq {

// What the date, time and interval dialogs share: Aceptar / Cancelar, one command, and a
// closing that always brings the monitor back.
class Dialogo_Programacion : public QWidget {
    Q_OBJECT
  public:
    Dialogo_Programacion(Contexto_Ventanas& ctx, QWidget* parent);

    QPushButton* Boton_Aceptar;
    QPushButton* Boton_Cancelar;

  public Q_SLOTS:
    void Boton_Cancelar_Click();

  Q_SIGNALS:
    // Closed: the monitor comes back, unless the program is ending.
    void Volver_Al_Monitor();

  protected:
    void closeEvent(QCloseEvent* e) override;

    // Runs `programar`, boxes any outcome but acceptance, and closes the dialog.
    void Enviar_Y_Cerrar(Programacion que, const std::function<Fin_Programacion()>& programar);

    // A selection made by the program behaves as the user's: the list's handler runs even when
    // the index does not change (setCurrentIndex then emits nothing).
    static void Seleccionar(QComboBox* lista, int indice);
    // Replaces a list's items without firing its selection handler.
    static void Rellenar(QComboBox* lista, const QStringList& items);

    bool Cerrando() const { return cerrado_; }

    Contexto_Ventanas& ctx;

  private:
    bool cerrado_ = false;
};

}  // namespace aq
