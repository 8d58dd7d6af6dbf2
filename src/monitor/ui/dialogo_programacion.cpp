#include "monitor/ui/dialogo_programacion.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QSignalBlocker>
#include <QTimer>

#include "link/saludo.h"
#include "platform/ui/ventanas.h"

namespace aq {

Dialogo_Programacion::Dialogo_Programacion(Contexto_Ventanas& c, QWidget* parent)
    : QWidget(parent), ctx(c) {
    Boton_Aceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    Boton_Cancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    connect(Boton_Cancelar, &QPushButton::clicked, this,
            &Dialogo_Programacion::Boton_Cancelar_Click);
}

void Dialogo_Programacion::Boton_Cancelar_Click() {
    Descargar(this);
}

void Dialogo_Programacion::Enviar_Y_Cerrar(Programacion que,
                                           const std::function<Fin_Programacion()>& programar) {
    // No PC-clock refresh may change the inputs behind the error box.
    for (QTimer* t : findChildren<QTimer*>()) t->stop();
    Boton_Cancelar->setEnabled(false);
    const Fin_Programacion fin = programar();
    if (fin != Fin_Programacion::Aceptado)
        ctx.dialogos.MsgBox(Mensaje_Programacion(que, fin), Icono::Ninguno, Botones::Aceptar,
                            Titulo_Error_Link);
    Descargar(this);
}

void Dialogo_Programacion::Seleccionar(QComboBox* lista, int indice) {
    if (indice < 0 || indice >= lista->count()) return;
    if (lista->currentIndex() == indice)
        Q_EMIT lista->currentIndexChanged(indice);
    else
        lista->setCurrentIndex(indice);
}

void Dialogo_Programacion::Rellenar(QComboBox* lista, const QStringList& items) {
    const QSignalBlocker bloqueo(lista);
    lista->clear();
    lista->addItems(items);
}

void Dialogo_Programacion::closeEvent(QCloseEvent* e) {
    e->accept();
    if (cerrado_) return;
    cerrado_ = true;
    for (QTimer* t : findChildren<QTimer*>()) t->stop();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->hide();
    else
        hide();
    ctx.reloj.Ceder();
    Q_EMIT Volver_Al_Monitor();
}

}  // namespace aq
