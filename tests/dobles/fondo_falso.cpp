#include "dobles/fondo_falso.h"

#include <QCoreApplication>
#include <QMetaMethod>

namespace aq {

void Fondo_Falso::Mostrar_Hija(QWidget* ventana) {
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    hijas.append(ventana);
    const QMetaObject* meta = ventana->metaObject();
    const QMetaMethod mostrar =
        metaObject()->method(metaObject()->indexOfSlot("Mostrar_Hija(QWidget*)"));
    for (int i = QWidget::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.methodType() != QMetaMethod::Signal) continue;
        if (m.parameterCount() == 1 && m.parameterTypes()[0] == "QWidget*") {
            connect(ventana, m, this, mostrar);
            continue;
        }
        espias_.emplace_back(m.name(), std::make_unique<QSignalSpy>(
                                           ventana, ("2" + m.methodSignature()).constData()));
    }
    ventana->show();
}

int Fondo_Falso::Veces(const QByteArray& senal) const {
    int n = 0;
    for (const auto& [nombre, espia] : espias_)
        if (nombre == senal) n += espia->count();
    return n;
}

QList<QList<QVariant>> Fondo_Falso::Argumentos(const QByteArray& senal) const {
    QList<QList<QVariant>> r;
    for (const auto& [nombre, espia] : espias_)
        if (nombre == senal)
            for (const QList<QVariant>& a : *espia) r << a;
    return r;
}

bool Reloj_De_Arena(const QWidget* w) {
    const QWidget* v = w->window();
    return v->testAttribute(Qt::WA_SetCursor) && v->cursor().shape() == Qt::WaitCursor;
}

Banco::~Banco() {
    for (auto& w : fondo.hijas)
        if (w) delete w.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace aq
