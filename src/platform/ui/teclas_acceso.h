#pragma once
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QMainWindow;
class QWidget;

namespace aq {

// Alt + letter belongs first to the access keys of the child window or dialog the user works
// in, then to the menu bar; a greyed menu never takes a key. Qt alone treats a button and a
// menu with the same letter as ambiguous and only moves the focus, or opens the menu.
class Teclas_Acceso : public QObject {
  public:
    // Watches the whole application on behalf of `principal`.
    explicit Teclas_Acceso(QMainWindow* principal);

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    bool Atender(QKeyEvent* tecla);
    QWidget* Ventana_Activa() const;
    QPointer<QMainWindow> principal_;
    int comida_ = 0;  // the key whose press follows an override already served
};

// The access key of a caption ("Leer la &Memoria" -> 'm'), or a null character.
QChar Tecla_De(const QString& texto);

}  // namespace aq
