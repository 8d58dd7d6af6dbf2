#pragma once
#include <QList>
#include <QPointer>
#include <QSignalSpy>
#include <QWidget>
#include <memory>
#include <vector>

#include "core/ui/contexto_ventanas.h"
#include "dobles/banco_operaciones.h"
#include "dobles/reloj_virtual.h"

namespace aq {

// Stands in for the main window: keeps the child windows it is given, shows the windows they
// hand over (a signal carrying a QWidget*), and records every other signal they send.
class Fondo_Falso : public QObject {
    Q_OBJECT
  public:
    // The newest child window of type T still open, or null.
    template <class T>
    T* Ultima() const {
        for (int i = hijas.size() - 1; i >= 0; --i)
            if (auto* w = qobject_cast<T*>(hijas[i].data()); w && w->isVisible()) return w;
        return nullptr;
    }
    // How many times the child windows sent `senal` (its name), and with what arguments.
    int Veces(const QByteArray& senal) const;
    QList<QList<QVariant>> Argumentos(const QByteArray& senal) const;

    QList<QPointer<QWidget>> hijas;

  public Q_SLOTS:
    void Mostrar_Hija(QWidget* ventana);

  private:
    std::vector<std::pair<QByteArray, std::unique_ptr<QSignalSpy>>> espias_;
};

// True while the hourglass shows over the window that holds `w`.
bool Reloj_De_Arena(const QWidget* w);

// A whole fresh program state with every facility scripted, and a frame for the windows.
struct Banco : Banco_Operaciones {
    Dialogos_Guionados dialogos;
    Ayuda_Registro ayuda;
    // The same context, with the boxes and the manual the windows add.
    Contexto_Ventanas ctx{Banco_Operaciones::ctx, dialogos, ayuda};
    Fondo_Falso fondo;
    ~Banco();
};

}  // namespace aq
