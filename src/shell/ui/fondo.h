#pragma once
#include <QMainWindow>
#include <QMap>
#include <functional>

#include "link/comunic.h"
#include "core/contexto.h"

class QDate;
class QMdiArea;
class QMenu;
class QAction;

namespace aq {

// The About box's text: version, build date, licence, where the settings, folders and manual are.
QString Texto_Acerca_De(const Estado& estado, const QString& configuracion, const QString& manual,
                        const QDate& compilado);

// The main window: the frame that holds every other window, and the only way to the functions.
class Fondo : public QMainWindow, public Fondo_Interfaz {
    Q_OBJECT
  public:
    // `instalando`: first run after installation (no port, no link check; options dialog).
    explicit Fondo(Contexto& ctx, QWidget* parent = nullptr);
    ~Fondo() override;

    // Loading: opens the port and shows the link window, unless installing.
    void Form_Load();

    // Fondo_Interfaz
    void Habilitar(Item_Menu item, bool habilitado) override;
    bool Habilitado(Item_Menu item) const override;
    void Visible(Item_Menu item, bool visible) override;
    bool Es_Visible(Item_Menu item) const override;
    void Reloj_Arena(bool ocupado) override;
    void Mostrar_Hija(QWidget* ventana) override;
    void IDC_PROGRAMADOR_Click() override;
    void Abrir_Menu_En_Opciones() override;

    QAction* Accion(Item_Menu item) const { return acciones_.value(item); }
    QMenu* Menu_Principal() const { return menu_; }
    QMdiArea* Area() const { return area_; }
    Comunic& Puerto_Host() { return comunic_; }
    bool Saliendo() const override { return saliendo_; }
    // Shows the link window `Inicial`.
    void Mostrar_Inicial();
    // Opens the port options dialog; false when no port is free and the program must end.
    bool Abrir_Opciones();
    // Ends the program at once, without any window's closing steps.
    std::function<void()> Terminar_Programa;

  public Q_SLOTS:
    void IDC_DUMP_Click();
    void IDC_BORRAR_Click();
    void IDC_SETUP_Click();
    void IDC_DESCOMPRIME_Click();
    void visualizar_Click();
    void IDC_SALIR_Click();
    void mnuManual_Click();
    void IDC_ACERCA_Click();

    // The manual: Help.html in the root folder, else the copy beside the program.
    QString Ruta_Manual() const;

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void Crear_Menu();
    // Link check before the monitor or the memory reader; shows `numero` on failure.
    bool Verificar_Enlace(const char* numero);

    Contexto& ctx_;
    Comunic comunic_;
    QMdiArea* area_;
    QMenu* menu_ = nullptr;
    QMap<Item_Menu, QAction*> acciones_;
    QMap<Item_Menu, bool> deshabilitados_;
    bool saliendo_ = false;
    bool descargada_ = false;
};

}  // namespace aq
