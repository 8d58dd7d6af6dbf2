#pragma once
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QStringList>

#include "dobles/dialogos_guionados.h"
#include "platform/puerto_qt.h"
#include "platform/reloj_real.h"
#include "shell/ui/fondo.h"

namespace aq {

// The simulated logger running on a real pseudo-terminal, for the end-to-end tests.
class Simulador_En_Marcha {
  public:
    explicit Simulador_En_Marcha(const QStringList& opciones);
    ~Simulador_En_Marcha();
    bool Listo() const { return !esclavo_.isEmpty(); }
    const QString& Esclavo() const { return esclavo_; }
    QString Errores();

  private:
    QProcess proceso_;
    QString esclavo_;
};

// The real serial code path pointed at the simulator as "Comm 1".
struct Linea_Real {
    Perfil_Memoria perfil;
    Reloj_Real reloj;
    Puerto_Qt puerto{perfil, reloj};
    explicit Linea_Real(const QString& dispositivo) {
        perfil.secciones["Puertos"]["COM1"] = dispositivo;
        puerto.setCommPort(1);
    }
};

// The whole program on the simulator's line: the real main window with its port host loaded,
// but no link greeting; each test opens its windows through the menu handlers.
struct Programa_En_Linea {
    Estado estado;
    Linea_Real linea;
    Dialogos_Guionados dialogos;
    Ayuda_Registro ayuda;
    Contexto ctx{estado, linea.puerto, linea.reloj, dialogos, linea.perfil, ayuda, nullptr};
    Fondo* f = nullptr;
    explicit Programa_En_Linea(const QString& dispositivo);
    ~Programa_En_Linea();

    // The newest child window of type T still on view, or null.
    template <class T>
    T* Hija() const {
        const QList<QMdiSubWindow*> hijas = f->Area()->subWindowList();
        for (auto i = hijas.crbegin(); i != hijas.crend(); ++i)
            if (auto* w = qobject_cast<T*>((*i)->widget()); w && (*i)->isVisible()) return w;
        return nullptr;
    }
};

}  // namespace aq
