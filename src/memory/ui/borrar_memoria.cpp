#include "memory/ui/borrar_memoria.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "link/enlace.h"
#include "memory/borrado.h"
#include "memory/descarga.h"
#include "platform/ui/ventanas.h"

namespace aq {

Borrar_Memoria::Borrar_Memoria(Contexto& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
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
    if (ctx_.dialogos.MsgBox(Texto_Confirmar_Borrado, Icono::Exclamacion, Botones::Aceptar_Cancelar,
                             Titulo_Atencion) == Respuesta::Cancelar)
        return;
    sDesHabilitar();

    // A silent logger shows itself through the status request that follows.
    Enviar_Comando(ctx_, Cadena_Enlace, 4);
    const QByteArray estado = Enviar_Comando(ctx_, "L", Largo_Estado);
    Esperar_Medio_Segundo(ctx_.reloj);
    Modo_Leido = Modo_De_Estado(estado);

    if (Modo_Leido != "AJ") {
        ctx_.estado.Memoria_Leida = false;
        ctx_.dialogos.MsgBox(Texto_Modo_Registro, Icono::Exclamacion, Botones::Aceptar,
                             Titulo_Atencion);
        sHabilitar();
        Descargar(this);
        return;
    }

    ctx_.puerto.setInputLen(0);
    ctx_.puerto.Input();

    Tiempo_Borrado_Ms = Tiempo_Borrado(ctx_.estado.Lugares_Vacios);
    const int maximo = static_cast<int>(Tiempo_Borrado_Ms - 1000);
    ProgressBar1->setMaximum(maximo);
    const double t0 = ctx_.reloj.Segundos();
    ctx_.puerto.Output(Comando_Borrado);

    const QByteArray respuesta = Esperar_Respuesta_Borrado(
        ctx_.puerto, ctx_.reloj, t0, Tiempo_Borrado_Ms, [&](double transcurrido) {
            if (transcurrido < maximo) ProgressBar1->setValue(static_cast<int>(transcurrido));
        });

    const Fin_Borrado fin = Clasificar_Respuesta_Borrado(respuesta);
    switch (fin) {
        case Fin_Borrado::Borrada:
            ProgressBar1->setValue(maximo);
            ctx_.dialogos.MsgBox(Texto_Borrado_Exitoso, Icono::Informacion, Botones::Aceptar,
                                 Titulo_Aplicacion);
            ctx_.reloj.Ceder(0);
            break;
        case Fin_Borrado::Fallida:
        case Fin_Borrado::No_Reconocido:
        case Fin_Borrado::Anormal:
        case Fin_Borrado::Sin_Respuesta:
            ctx_.dialogos.MsgBox(Mensaje_Borrado(fin), Icono::Critico, Botones::Aceptar,
                                 Titulo_Aplicacion);
            ProgressBar1->setValue(0);
            break;
    }

    sHabilitar();
    if (fin == Fin_Borrado::Borrada) Descargar(this);
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
