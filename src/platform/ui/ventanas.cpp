#include "platform/ui/ventanas.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QVariant>

namespace aq {

namespace {
constexpr const char* Propiedad = "aq_descarga_programada";
constexpr const char* Maximizada_Fija = "aq_maximizada_fija";

// Room for the title text, the icon and the title bar's buttons.
int Ancho_Para_Titulo(const QMdiSubWindow* sub) {
    QFont f = QApplication::font("QMdiSubWindowTitleBar");
    f.setBold(true);
    const int barra = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    return QFontMetrics(f).horizontalAdvance(sub->windowTitle()) + 5 * barra;
}
}  // namespace

void Pedir_Maximizada_Fija(QWidget* ventana) {
    ventana->setProperty(Maximizada_Fija, true);
}

void Mostrar_En_Area(QMdiArea* area, QWidget* ventana) {
    const bool con_tamano = ventana->testAttribute(Qt::WA_Resized);
    const QSize deseado = ventana->size();
    QMdiSubWindow* sub = area->addSubWindow(ventana);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(ventana->windowTitle());
    sub->adjustSize();
    if (con_tamano)
        sub->resize(deseado.expandedTo(ventana->minimumSizeHint()) + sub->size() - ventana->size());
    if (sub->width() < Ancho_Para_Titulo(sub)) sub->resize(Ancho_Para_Titulo(sub), sub->height());
    // Never larger than the area, nor partly out of it.
    const QSize visible = area->viewport()->size();
    if (visible.isValid() && !visible.isEmpty())
        sub->resize(sub->size().boundedTo(visible.expandedTo(sub->minimumSizeHint())));
    if (ventana->property(Maximizada_Fija).toBool()) {
        sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint);
        sub->setSystemMenu(nullptr);  // no "Restore" or "Size" to leave the fixed frame
        sub->showMaximized();
    } else {
        sub->show();
        const QRect dentro = area->viewport()->rect();
        if (!dentro.isEmpty() && !dentro.contains(sub->geometry())) {
            QPoint p = sub->pos();
            p.setX(qBound(0, p.x(), qMax(0, dentro.width() - sub->width())));
            p.setY(qBound(0, p.y(), qMax(0, dentro.height() - sub->height())));
            sub->move(p);
        }
    }
    ventana->show();
    area->setActiveSubWindow(sub);
}

void Mostrar_Junto_A(QWidget* vecina, QWidget* ventana) {
    auto* sub = vecina ? qobject_cast<QMdiSubWindow*>(vecina->parentWidget()) : nullptr;
    if (sub && sub->mdiArea()) {
        Mostrar_En_Area(sub->mdiArea(), ventana);
    } else {
        ventana->setAttribute(Qt::WA_DeleteOnClose);
        ventana->show();
    }
}

void Reloj_Arena(QWidget* w, bool ocupado) {
    if (!w) return;
    if (ocupado)
        w->window()->setCursor(Qt::WaitCursor);
    else
        w->window()->unsetCursor();
}

bool Descargar(QWidget* ventana) {
    if (!ventana) return true;
    ventana->setProperty(Propiedad, true);
    bool cerrada;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(ventana->parentWidget()))
        cerrada = sub->close();
    else
        cerrada = ventana->close();
    if (!cerrada) ventana->setProperty(Propiedad, false);
    return cerrada;
}

bool Es_Descarga_Programada(const QWidget* ventana) {
    return ventana->property(Propiedad).toBool();
}

void Repintar(QWidget* w) {
    if (w && w->isVisible()) w->repaint();
}

}  // namespace aq
