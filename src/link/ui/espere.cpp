#include "link/ui/espere.h"

#include <QEvent>
#include <QVBoxLayout>

namespace aq {

Espere::Espere(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QString());
    setWindowFlag(Qt::FramelessWindowHint);
    auto* caja = new QVBoxLayout(this);
    Label3 = new QLabel(QStringLiteral("AQ Tide Versión 1.0"), this);
    Label2 = new QLabel(QStringLiteral("Estableciendo el enlace de comunicaciones"), this);
    Label1 = new QLabel(QStringLiteral("Brisna Ingeniería"), this);
    for (QLabel* l : {Label3, Label2, Label1}) {
        l->setAlignment(Qt::AlignCenter);
        caja->addWidget(l);
    }
    QFont f = Label3->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    Label3->setFont(f);
    setMinimumSize(360, 140);
}

void Espere::changeEvent(QEvent* e) {
    // The window is only a notice: it never stays minimised or maximised.
    if (e->type() == QEvent::WindowStateChange && windowState() != Qt::WindowNoState)
        setWindowState(Qt::WindowNoState);
    QWidget::changeEvent(e);
}

}  // namespace aq
