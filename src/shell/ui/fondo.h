#pragma once
#include <QMainWindow>
#include <QMap>
#include <functional>

#include "core/ui/contexto_ventanas.h"
#include "link/comunic.h"

class QDate;
class QMdiArea;
class QMenu;
class QAction;

namespace aq {

// Items of the main menu that other windows grey out, reveal or hide.
enum class Item_Menu {
    IDC_MENU,
    IDC_PROGRAMADOR,
    IDC_MEMO,
    IDC_DUMP,
    IDC_BORRAR,
    IDC_SETUP,
    IDC_SEPARADOR_0,
    visualizar,
    IDC_ARCHIVO,
    IDC_SEPARADOR_1,
    IDC_SUBTE,
    IDC_DESCOMPRIME,
    IDC_SEPARADOR_2,
    IDC_SALIR,
    mnuAyuda,
    mnuManual,
    mnuSeparator,
    IDC_ACERCA,
};

// The About box's text: version, build date, licence, where the settings, folders and manual are.
QString Texto_Acerca_De(const Estado& estado, const QString& configuracion, const QString& manual,
                        const QDate& compilado);

// The main window: the frame that holds every other window, and the only way to the functions.
class Fondo : public QMainWindow {
    Q_OBJECT
  public:
    // `instalando`: first run after installation (no port, no link check; options dialog).
    explicit Fondo(Contexto_Ventanas& ctx, QWidget* parent = nullptr);
    ~Fondo() override;

    // Loading: opens the port and shows the link window, unless installing.
    void Form_Load();

    bool Habilitado(Item_Menu item) const;
    void Visible(Item_Menu item, bool visible);
    bool Es_Visible(Item_Menu item) const;
    // Hourglass (true) or normal pointer over the main window.
    void Reloj_Arena(bool ocupado);
    // Shows `ventana` as a child window and answers what it asks of the frame; the main
    // window owns it from then on.
    void Mostrar_Hija(QWidget* ventana);
    // "Moni&tor": link check, then the status monitor.
    void IDC_PROGRAMADOR_Click();
    // Opens the main menu with "&Opciones" highlighted (after a failed link).
    void Abrir_Menu_En_Opciones();
    // `ventana`'s closing steps give back what it took of the menu; it no longer counts as
    // open for the menu even while it finishes closing.
    void Devolver_Menu(QWidget* ventana);

    QAction* Accion(Item_Menu item) const { return acciones_.value(item); }
    QMenu* Menu_Principal() const { return menu_; }
    QMdiArea* Area() const { return area_; }
    Comunic& Puerto_Host() { return comunic_; }
    // True while the program is ending: no window opens another then.
    bool Saliendo() const { return saliendo_; }
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
    // "Archivo &histórico": the stations, their downloads and series (one window at most).
    void IDC_ARCHIVO_Click();
    void IDC_SALIR_Click();
    void mnuManual_Click();
    void IDC_ACERCA_Click();

    // The manual: Help.html in the root folder, else the copy beside the program.
    QString Ruta_Manual() const;

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void Crear_Menu();
    // The menu's state, worked out from the windows open and the link check under way.
    void Actualizar_Menu();
    // The one way to the status monitor: greys "&Menú", at most one monitor.
    void Abrir_Monitor();
    // What each kind of child window asks of the frame.
    void Conectar(QWidget* ventana);
    // Link check before the monitor or the memory reader; shows `numero` on failure.
    bool Verificar_Enlace(const char* numero);

    Contexto_Ventanas& ctx_;
    Comunic comunic_;
    QMdiArea* area_;
    QMenu* menu_ = nullptr;
    QMap<Item_Menu, QAction*> acciones_;
    QMap<Item_Menu, bool> deshabilitados_;
    // Context of the connections that outlive a window: gone before the menu is.
    QObject* guardia_;
    bool verificando_enlace_ = false;
    bool saliendo_ = false;
    bool descargada_ = false;
};

}  // namespace aq
