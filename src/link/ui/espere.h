#pragma once
#include <QLabel>
#include <QWidget>

namespace aq {

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
