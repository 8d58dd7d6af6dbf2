#include "platform/ui/teclas_acceso.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace aq {

QChar Tecla_De(const QString& texto) {
    for (int i = 0; i + 1 < texto.size(); ++i) {
        if (texto[i] != QLatin1Char('&')) continue;
        if (texto[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return texto[i + 1].toLower();
    }
    return QChar();
}

namespace {

QChar Letra(const QKeyEvent* tecla) {
    const int k = tecla->key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return QChar(u'a' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return QChar(u'0' + (k - Qt::Key_0));
    const QString texto = tecla->text();
    return texto.size() == 1 ? texto[0].toLower() : QChar();
}

bool Disponible(const QWidget* w) {
    return w->isVisible() && w->isEnabled();
}

}  // namespace

Teclas_Acceso::Teclas_Acceso(QMainWindow* principal) : QObject(principal), principal_(principal) {
    qApp->installEventFilter(this);
}

QWidget* Teclas_Acceso::Ventana_Activa() const {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) return sub->widget();
    if (!principal_ || QApplication::activeWindow() != principal_) return nullptr;
    auto* area = qobject_cast<QMdiArea*>(principal_->centralWidget());
    if (!area) return nullptr;
    if (QMdiSubWindow* sub = area->activeSubWindow()) return sub->widget();
    // A window that closed (the please-wait one) leaves none active: the topmost one counts.
    const QList<QMdiSubWindow*> pila = area->subWindowList(QMdiArea::StackingOrder);
    for (auto i = pila.crbegin(); i != pila.crend(); ++i)
        if ((*i)->isVisible()) return (*i)->widget();
    return nullptr;
}

bool Teclas_Acceso::Atender(QKeyEvent* tecla) {
    if (tecla->modifiers() != Qt::AltModifier) return false;
    const QChar letra = Letra(tecla);
    if (letra.isNull()) return false;

    if (QWidget* ventana = Ventana_Activa(); ventana && Disponible(ventana)) {
        QList<QAbstractButton*> botones;
        for (QAbstractButton* b : ventana->findChildren<QAbstractButton*>())
            if (Disponible(b) && Tecla_De(b->text()) == letra) botones << b;
        if (botones.size() == 1) {
            botones[0]->setFocus(Qt::ShortcutFocusReason);
            botones[0]->animateClick();
            return true;
        }
        if (botones.size() > 1) {  // the same letter twice: each press moves to the next
            const int i = botones.indexOf(qobject_cast<QAbstractButton*>(ventana->focusWidget()));
            botones[(i + 1) % botones.size()]->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        for (QLabel* l : ventana->findChildren<QLabel*>()) {
            if (l->buddy() && Disponible(l) && Disponible(l->buddy()) &&
                Tecla_De(l->text()) == letra) {
                l->buddy()->setFocus(Qt::ShortcutFocusReason);
                return true;
            }
        }
    }
    if (principal_ && QApplication::activeWindow() == principal_) {
        for (QAction* a : principal_->menuBar()->actions())
            if (a->isVisible() && !a->isEnabled() && Tecla_De(a->text()) == letra) return true;
    }
    return false;
}

bool Teclas_Acceso::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::ShortcutOverride) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        if (Atender(tecla)) {
            // Accepted: the shortcut map leaves the key alone.
            comida_ = tecla->key();
            tecla->accept();
            return true;
        }
        comida_ = 0;
    } else if (evento->type() == QEvent::KeyPress && comida_) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() == comida_) {
            comida_ = 0;
            return true;
        }
    }
    return QObject::eventFilter(objeto, evento);
}

}  // namespace aq
