#include "memory/ui/borrar_memoria.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "link/enlace.h"
#include "memory/operacion_borrado.h"
#include "platform/ui/ventanas.h"

namespace aq {

Borrar_Memoria::Borrar_Memoria(Contexto_Ventanas& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx) {
    setWindowTitle(QStringLiteral("Borrar Memoria"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setTextVisible(false);
    Command1 = new QPushButton(QStringLiteral("Borrar la &Memoria"), this);
    Command2 = new QPushButton(QStringLiteral("&Cerrar"), this);

    auto* caja = new QVBoxLayout(this);
    caja->addWidget(ProgressBar1);
    auto* botones = new QHBoxLayout;
    botones->addWidget(Command1);
    botones->addStretch(1);
    botones->addWidget(Command2);
    caja->addLayout(botones);
    resize(380, 110);

    connect(Command1, &QPushButton::clicked, this, &Borrar_Memoria::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Borrar_Memoria::Command2_Click);

    ProgressBar1->setValue(0);
}

void Borrar_Memoria::Command1_Click() {
    Seguimiento_Borrado seguimiento;
    seguimiento.confirmar = [this] {
        if (ctx_.dialogos.MsgBox(Texto_Confirmar_Borrado, Icono::Exclamacion,
                                 Botones::Aceptar_Cancelar, Titulo_Atencion) == Respuesta::Cancelar)
            return false;
        sDesHabilitar();
        return true;
    };
    seguimiento.avance = [this](int valor, int maximo) {
        ProgressBar1->setMaximum(maximo);
        // The bar starts at 0; a failure empties it only once its box is dismissed.
        if (valor > 0) ProgressBar1->setValue(valor);
    };
    const Resultado_Borrado r = Borrar_Memoria_Equipo(ctx_, seguimiento);
    if (r.fin == Fin_Borrado_Equipo::Cancelado) return;
    Modo_Leido = r.modo;
    if (r.fin == Fin_Borrado_Equipo::Modo_Registro) {
        ctx_.dialogos.MsgBox(Mensaje_Resultado_Borrado(r.fin), Icono::Exclamacion, Botones::Aceptar,
                             Titulo_Atencion);
        sHabilitar();
        Descargar(this);
        return;
    }

    Tiempo_Borrado_Ms = r.tiempo_ms;
    const bool borrada = r.fin == Fin_Borrado_Equipo::Borrada;
    ctx_.dialogos.MsgBox(Mensaje_Resultado_Borrado(r.fin),
                         borrada ? Icono::Informacion : Icono::Critico, Botones::Aceptar,
                         Titulo_Aplicacion);
    if (borrada)
        ctx_.reloj.Ceder(0);
    else
        ProgressBar1->setValue(0);

    sHabilitar();
    if (borrada) Descargar(this);
}

void Borrar_Memoria::Command2_Click() {
    Descargar(this);
}

void Borrar_Memoria::sDesHabilitar() {
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    setCursor(Qt::WaitCursor);
}

void Borrar_Memoria::sHabilitar() {
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    unsetCursor();
}

void Borrar_Memoria::closeEvent(QCloseEvent* e) {
    // No close while an erase runs.
    if (!Command2->isEnabled()) {
        e->ignore();
        return;
    }
    if (!descargada_) {
        descargada_ = true;
        Form_Unload();
    }
    e->accept();
}

void Borrar_Memoria::Form_Unload() {
    Command2->setEnabled(false);
    Reloj_Arena(this, true);
    Modo_Leido = Reponer_Modo(ctx_);
    Q_EMIT Devolver_Menu();
    Reloj_Arena(this, false);
}

}  // namespace aq
