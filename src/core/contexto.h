#pragma once
#include "core/estado.h"
#include "platform/ayuda.h"
#include "platform/dialogos.h"
#include "platform/perfil.h"
#include "platform/puerto.h"
#include "platform/reloj.h"

class QWidget;

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

// What child windows may ask of the main window `Fondo`.
class Fondo_Interfaz {
  public:
    virtual ~Fondo_Interfaz() = default;
    virtual void Habilitar(Item_Menu item, bool habilitado) = 0;
    virtual bool Habilitado(Item_Menu item) const = 0;
    virtual void Visible(Item_Menu item, bool visible) = 0;
    virtual bool Es_Visible(Item_Menu item) const = 0;
    // Hourglass (true) or normal pointer over the main window.
    virtual void Reloj_Arena(bool ocupado) = 0;
    // Shows `ventana` as a child window inside the main window; the main window owns it from
    // then on and destroys it when it closes.
    virtual void Mostrar_Hija(QWidget* ventana) = 0;
    // "Moni&tor": link check, then the status monitor.
    virtual void IDC_PROGRAMADOR_Click() = 0;
    // Opens the main menu with "&Opciones" highlighted (after a failed link).
    virtual void Abrir_Menu_En_Opciones() = 0;
    // True while the program is ending: windows then open no other window.
    virtual bool Saliendo() const = 0;

    // Gives back the menu that a window talking to the logger took: "&Menú", "&Memoria",
    // "&Opciones", "Moni&tor" and "&Acerca de ...".
    void Devolver_Menu() {
        for (Item_Menu i : {Item_Menu::IDC_MEMO, Item_Menu::IDC_SETUP, Item_Menu::IDC_PROGRAMADOR,
                            Item_Menu::IDC_ACERCA, Item_Menu::IDC_MENU})
            Habilitar(i, true);
    }
};

// Everything a window or operation needs, injected: the state and every platform facility.
struct Contexto {
    Estado& estado;
    Puerto_Serie& puerto;
    Reloj& reloj;
    Dialogos& dialogos;
    Perfil& perfil;
    Ayuda& ayuda;
    Fondo_Interfaz* fondo = nullptr;  // set once the main window exists
};

}  // namespace aq
