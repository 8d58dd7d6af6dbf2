#pragma once
#include <QPointer>
#include <QTextBrowser>
#include <functional>

#include "platform/ayuda.h"

namespace aq {

// The user manual, an HTML file, shown in a viewer inside the program. `mostrar` places the
// viewer (for instance as a child window of the main window); without it the viewer is a
// window of its own. A second request reuses the open viewer.
class Ayuda_Visor : public Ayuda {
  public:
    explicit Ayuda_Visor(std::function<void(QWidget*)> mostrar = {});
    ~Ayuda_Visor() override;

    bool Mostrar(const QString& archivo, QString* error) override;
    QTextBrowser* Visor() const { return visor_; }

  private:
    std::function<void(QWidget*)> mostrar_;
    QPointer<QTextBrowser> visor_;
};

}  // namespace aq
