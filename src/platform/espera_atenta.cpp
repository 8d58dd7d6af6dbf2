#include "platform/espera_atenta.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimerEvent>

namespace aq {

namespace {

int nivel = 0;
bool atendiendo = false;
detalle::Retenedor* retenedor = nullptr;
QElapsedTimer ultima_atencion;

// Less often than this the windows gain nothing, and a wait woken per byte would pay for it.
constexpr qint64 Intervalo_Minimo_Ns = 10'000'000;

bool Hay_Ventanas() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->inherits("QGuiApplication");
}

bool Es_Entrada(QEvent::Type t) {
    switch (t) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
    }
}

}  // namespace

namespace detalle {

bool Retenedor::eventFilter(QObject* destino, QEvent* e) {
    const QEvent::Type t = e->type();
    if (t == QEvent::Timer) {
        const int id = static_cast<QTimerEvent*>(e)->timerId();
        for (const auto& [objeto, tid] : temporizadores_)
            if (objeto == destino && tid == id) return true;
        temporizadores_.append({destino, id});
        return true;
    }
    if (Es_Entrada(t)) {
        eventos_.append({destino, e->clone()});
        return true;
    }
    if (t == QEvent::Close && destino->isWidgetType()) {
        // The desktop's close box, or a window closed by something run during the wait: the
        // window closes once the exchange is over.
        e->ignore();
        eventos_.append({destino, nullptr});
        return true;
    }
    if (t == QEvent::DeferredDelete) {
        borrados_.append(destino);
        return true;
    }
    return false;
}

void Retenedor::Soltar() {
    for (const auto& [objeto, id] : temporizadores_)
        if (objeto) QCoreApplication::postEvent(objeto, new QTimerEvent(id));
    for (const auto& [objeto, evento] : eventos_) {
        if (!objeto) {
            delete evento;
        } else if (evento) {
            QCoreApplication::postEvent(objeto, evento);
        } else {
            QMetaObject::invokeMethod(objeto, "close", Qt::QueuedConnection);
        }
    }
    for (const auto& objeto : borrados_)
        if (objeto) objeto->deleteLater();
    temporizadores_.clear();
    eventos_.clear();
    borrados_.clear();
}

}  // namespace detalle

Espera_Atenta::Espera_Atenta() {
    if (nivel++ > 0 || !Hay_Ventanas()) return;
    retenedor = new detalle::Retenedor;
    QCoreApplication::instance()->installEventFilter(retenedor);
    ultima_atencion.invalidate();
}

Espera_Atenta::~Espera_Atenta() {
    if (--nivel > 0 || !retenedor) return;
    detalle::Retenedor* r = retenedor;
    retenedor = nullptr;
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(r);
    r->Soltar();
    delete r;
}

bool Espera_Atenta::Activa() {
    return nivel > 0;
}

void Espera_Atenta::Atender() {
    if (!retenedor || atendiendo) return;
    if (ultima_atencion.isValid() && ultima_atencion.nsecsElapsed() < Intervalo_Minimo_Ns) return;
    atendiendo = true;
    // Input and the desktop's close requests stay queued in the window system; timers are not
    // even looked at. Whatever slips through as an event is held by the filter.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                    QEventLoop::X11ExcludeTimers);
    atendiendo = false;
    ultima_atencion.start();
}

}  // namespace aq
