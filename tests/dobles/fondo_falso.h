#pragma once
#include <QList>
#include <QMap>
#include <QPointer>
#include <QWidget>

#include "core/contexto.h"
#include "dobles/dialogos_guionados.h"
#include "dobles/puerto_guionado.h"
#include "dobles/reloj_virtual.h"

namespace aq {

// Stands in for the main window: records menu states and keeps the child windows it is given.
class Fondo_Falso : public Fondo_Interfaz {
  public:
    void Habilitar(Item_Menu item, bool h) override { habilitado[item] = h; }
    bool Habilitado(Item_Menu item) const override { return habilitado.value(item, true); }
    void Visible(Item_Menu item, bool v) override { visible[item] = v; }
    bool Es_Visible(Item_Menu item) const override { return visible.value(item, true); }
    void Reloj_Arena(bool ocupado) override { arena = ocupado; }
    void Mostrar_Hija(QWidget* ventana) override;
    void IDC_PROGRAMADOR_Click() override { ++monitor_pedido; }
    void Abrir_Menu_En_Opciones() override { ++menu_abierto; }
    bool Saliendo() const override { return saliendo; }
    bool saliendo = false;

    // The newest child window of type T still open, or null.
    template <class T>
    T* Ultima() const {
        for (int i = hijas.size() - 1; i >= 0; --i)
            if (auto* w = qobject_cast<T*>(hijas[i].data()); w && w->isVisible()) return w;
        return nullptr;
    }

    QMap<Item_Menu, bool> habilitado;
    QMap<Item_Menu, bool> visible;
    bool arena = false;
    int monitor_pedido = 0;
    int menu_abierto = 0;
    QList<QPointer<QWidget>> hijas;
};

// A whole fresh program state with every facility scripted.
struct Banco {
    Estado estado;
    Reloj_Virtual reloj;
    Puerto_Guionado puerto{reloj};
    Dialogos_Guionados dialogos;
    Perfil_Memoria perfil;
    Ayuda_Registro ayuda;
    Fondo_Falso fondo;
    Contexto ctx{estado, puerto, reloj, dialogos, perfil, ayuda, &fondo};

    Banco() { puerto.setPortOpen(true); }
    ~Banco();
};

}  // namespace aq
