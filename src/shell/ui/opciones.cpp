#include "shell/ui/opciones.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/ui/ventanas.h"
#include "shell/ui/fondo.h"

namespace aq {

Opciones::Opciones(Contexto& ctx, Fondo& fondo, QWidget* parent)
    : QWidget(parent), ctx_(ctx), fondo_(fondo) {
    setWindowTitle(QStringLiteral("Opciones"));
    auto* caja = new QVBoxLayout(this);
    Select_Port = new QGroupBox(QStringLiteral("Seleccionar el Puerto"), this);
    auto* opciones = new QVBoxLayout(Select_Port);
    for (int n = 1; n <= 4; ++n) {
        Option[n] = new QRadioButton(QStringLiteral("Comm %1").arg(n), Select_Port);
        grupo_.addButton(Option[n], n);
        opciones->addWidget(Option[n]);
    }
    caja->addWidget(Select_Port);
    auto* botones = new QHBoxLayout;
    Boton_Aceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    Boton_Cancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    botones->addWidget(Boton_Aceptar);
    botones->addWidget(Boton_Cancelar);
    caja->addLayout(botones);
    connect(Boton_Aceptar, &QPushButton::clicked, this, &Opciones::Boton_Aceptar_Click);
    connect(Boton_Cancelar, &QPushButton::clicked, this, &Opciones::Boton_Cancelar_Click);

    // Opening: no other window may talk to the logger while the port is being chosen (the
    // main window greys its menu while this dialog is open).
    Cancelado = false;
    if (!fondo_.Puerto_Host().Cargado()) fondo_.Puerto_Host().Cargar();
    if (ctx_.puerto.PortOpen()) ctx_.puerto.setPortOpen(false);
    int libres = 0;
    for (int n = 1; n <= 4; ++n) {
        ctx_.puerto.setCommPort(n);
        if (ctx_.puerto.setPortOpen(true)) {
            ctx_.puerto.setPortOpen(false);
            ++libres;
        } else {
            Option[n]->setEnabled(false);
        }
    }
    if (ctx_.estado.Puerto_Com >= 1 && ctx_.estado.Puerto_Com <= 4)
        Option[ctx_.estado.Puerto_Com]->setChecked(true);
    if (libres == 0) {
        ctx_.dialogos.MsgBox(QStringLiteral("No hay ningún puerto de comunicaciones disponible.\n"
                                            "Deberá disponer de por lo menos un puerto libre\n"
                                            "para poder ejecutar esta aplicación.\n"
                                            "Haga clic en aceptar para salir del programa."),
                             Icono::Ninguno, Botones::Aceptar, Titulo_Aplicacion);
        sin_puertos_ = true;
    }
}

int Opciones::Seleccionado() const {
    return grupo_.checkedId() > 0 ? grupo_.checkedId() : 0;
}

void Opciones::Boton_Aceptar_Click() {
    Estado& e = ctx_.estado;
    if (Seleccionado()) e.Puerto_Com = Seleccionado();
    if (e.Puerto_Com < 1 || e.Puerto_Com > 4) e.Puerto_Com = 1;
    const bool escrito = ctx_.perfil.WriteProfileString(e.Seccion_Ini, "MSComm1_PORT",
                                                        QString::number(e.Puerto_Com));
    ctx_.dialogos.MsgBox(escrito ? QStringLiteral("Opciones actualizadas en Win.ini")
                                 : QStringLiteral("Error  al intentar escribir en Win.ini"),
                         Icono::Exclamacion, Botones::Aceptar, QStringLiteral("Grabar Opciones"));
    Descargar(this);
}

void Opciones::Boton_Cancelar_Click() {
    Cancelado = true;
    Descargar(this);
}

void Opciones::closeEvent(QCloseEvent* e) {
    Estado& est = ctx_.estado;
    const bool fin_del_programa = fondo_.Saliendo();
    if (!Es_Descarga_Programada(this)) Cancelado = true;
    if (!fin_del_programa) {
        if (Cancelado && !Seleccionado()) {
            ctx_.dialogos.MsgBox(
                QStringLiteral("No ha seleccionado ningún puerto de comunicaciones.\n"
                               "Deberá seleccionar uno para poder continuar\n"),
                Icono::Ninguno, Botones::Aceptar, Titulo_Aplicacion);
            setProperty("aq_descarga_programada", false);
            // A refused close leaves the dialog as it was: a later "Aceptar" is no cancel.
            Cancelado = false;
            e->ignore();
            return;
        }
        if (Cancelado && est.Puerto_Com == 0) est.Puerto_Com = Seleccionado();
    }

    fondo_.Devolver_Menu(this);
    // The port may well be the one another program holds: then it stays closed and every
    // exchange answers "no responde", which the user can mend here again.
    if (est.Puerto_Com >= 1 && est.Puerto_Com <= 4) fondo_.Puerto_Host().Reabrir();
    // When the program is ending there is no link left to verify.
    if (!Cancelado && !fin_del_programa) fondo_.Mostrar_Inicial();
    est.Instalando = false;
    e->accept();
}

}  // namespace aq
