#pragma once
#include <QMdiArea>
#include <QMdiSubWindow>

#include "dobles/fondo_falso.h"
#include "shell/ui/fondo.h"

namespace aq {

// The real main window over a scripted line, its port closed as before start-up (no port at
// all on a first run).
struct Programa {
    Banco b;
    Fondo* f;
    int terminado = 0;
    explicit Programa(bool instalando = false) {
        b.estado.Instalando = instalando;
        b.estado.Puerto_Com = instalando ? 0 : 1;
        b.puerto.setPortOpen(false);
        f = new Fondo(b.ctx);
        f->Terminar_Programa = [this] { ++terminado; };
        f->show();
    }
    ~Programa() { delete f; }
    // The first child window of type T, or null.
    template <class T>
    T* Hija() const {
        for (QMdiSubWindow* s : f->Area()->subWindowList())
            if (auto* w = qobject_cast<T*>(s->widget())) return w;
        return nullptr;
    }
};

}  // namespace aq
