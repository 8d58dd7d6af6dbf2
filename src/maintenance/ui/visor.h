#pragma once
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QWidget>

#include "core/ui/contexto_ventanas.h"
#include "maintenance/modelo_lineas.h"

namespace aq {

// Shows a data file line by line, fields in columns. The main menu "&Menú" stays greyed while
// it is open and is enabled again when it closes, however it closes.
class Visor : public QWidget {
    Q_OBJECT
  public:
    explicit Visor(Contexto_Ventanas& ctx, QWidget* parent = nullptr);
    ~Visor() override { delete Pendiente.modelo; }

    QListView* List1;
    QPushButton* Cerrar;
    QLineEdit* Text1;
    QPushButton* Grafico;  // the hydrograph of the file shown, beside the viewer

    // Shows the lines of `modelo` (the window takes it) as read from `ruta`.
    void Mostrar_Archivo(Modelo_Lineas* modelo, const QString& ruta);
    void Mostrar_Pendiente();
    struct Archivo_Pendiente {
        Modelo_Lineas* modelo = nullptr;
        QString ruta;
    } Pendiente;
    Modelo_Lineas* Modelo() const { return modelo_; }

  public Q_SLOTS:
    void Cerrar_Click();
    void Grafico_Click();

  Q_SIGNALS:
    // Closing: the menu this window held may be used again.
    void Devolver_Menu();

  protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void Form_Resize();

    Contexto_Ventanas& ctx_;
    Modelo_Lineas* modelo_;
};

// "&Visualizar": asks for a data file, checks it and shows it in a new Visor.
// "&Visualizar": the file is chosen, checked and read whole (hourglass over
// `ventana_principal`); returns the viewer holding it, not yet shown, or null after the
// message of a refusal. Once shown, Mostrar_Pendiente() maximises it and fills the list.
Visor* Abrir_Visor(Contexto_Ventanas& ctx, QWidget* ventana_principal);

// The open dialog of the viewer: the chosen path, or "" when cancelled. After a choice the
// current directory is the chosen file's folder.
QString Seleccionar_Archivo(Contexto_Ventanas& ctx);

}  // namespace aq
