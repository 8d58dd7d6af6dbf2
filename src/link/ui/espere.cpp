#include "link/ui/espere.h"

#include <QEvent>
#include <QVBoxLayout>

namespace aq {

void Armar_Presentacion(QWidget* ventana, QLabel*& Label1, QLabel*& Label2, QLabel*& Label3) {
    auto* caja = new QVBoxLayout(ventana);
    Label3 = new QLabel(QStringLiteral("AQ Tide Versión 1.0"), ventana);
    Label2 = new QLabel(QStringLiteral("Estableciendo el enlace de comunicaciones"), ventana);
    Label1 = new QLabel(QStringLiteral("Brisna Ingeniería"), ventana);
    for (QLabel* l : {Label3, Label2, Label1}) {
        l->setAlignment(Qt::AlignCenter);
        caja->addWidget(l);
    }
    QFont f = Label3->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    Label3->setFont(f);
    ventana->setMinimumSize(380, 140);
}

Espere::Espere(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QString());
    Armar_Presentacion(this, Label1, Label2, Label3);
}

void Espere::changeEvent(QEvent* e) {
    // The window is only a notice: it never stays minimised or maximised.
    if (e->type() == QEvent::WindowStateChange && windowState() != Qt::WindowNoState)
        setWindowState(Qt::WindowNoState);
    QWidget::changeEvent(e);
}

}  // namespace aq
