#pragma once
#include <QLabel>
#include <QWidget>

namespace aq {

// The three captions that the link and please-wait windows share.
void Armar_Presentacion(QWidget* ventana, QLabel*& Label1, QLabel*& Label2, QLabel*& Label3);

// The please-wait window shown while the program talks to the logger.
class Espere : public QWidget {
    Q_OBJECT
  public:
    explicit Espere(QWidget* parent = nullptr);
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;

  protected:
    void changeEvent(QEvent* e) override;
};

}  // namespace aq
