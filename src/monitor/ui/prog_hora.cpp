#include "monitor/ui/prog_hora.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "monitor/programacion.h"

namespace aq {

namespace {
QStringList Numeros(int n) {
    QStringList r;
    for (int i = 0; i < n; ++i) r << QString::number(i);
    return r;
}
}  // namespace

Prog_Hora::Prog_Hora(Contexto_Ventanas& c, QWidget* parent) : Dialogo_Programacion(c, parent) {
    setWindowTitle(QStringLiteral("Programación de la Hora"));
    Tomar_Hora_PC = new QCheckBox(QStringLiteral("Tomar la hora de su PC"), this);
    Label1 = new QLabel(QStringLiteral("Horas"), this);
    Combo_Horas = new QComboBox(this);
    Label2 = new QLabel(QStringLiteral("Minutos"), this);
    Combo_Minutos = new QComboBox(this);
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire up to 5 % early
    Timer1->setInterval(5000);

    auto* campos = new QGridLayout;
    campos->addWidget(Label1, 0, 0);
    campos->addWidget(Label2, 0, 1);
    campos->addWidget(Combo_Horas, 1, 0);
    campos->addWidget(Combo_Minutos, 1, 1);
    auto* botones = new QHBoxLayout;
    botones->addWidget(Boton_Aceptar);
    botones->addWidget(Boton_Cancelar);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(Tomar_Hora_PC);
    todo->addLayout(campos);
    todo->addLayout(botones);

    connect(Tomar_Hora_PC, &QCheckBox::clicked, this, &Prog_Hora::Tomar_Hora_PC_Click);
    connect(Timer1, &QTimer::timeout, this, &Prog_Hora::Timer1_Timer);
    connect(Boton_Aceptar, &QPushButton::clicked, this, &Prog_Hora::Boton_Aceptar_Click);

    // Opening; a time the logger should never report falls back to 0.
    Rellenar(Combo_Horas, Numeros(24));
    Combo_Horas->setCurrentIndex(Indice_Valido(ctx.estado.Hora_Equipo, 0, 24, 0));
    Rellenar(Combo_Minutos, Numeros(60));
    Combo_Minutos->setCurrentIndex(Indice_Valido(ctx.estado.Minuto_Equipo, 0, 60, 0));
}

void Prog_Hora::Tomar_Hora_PC_Click() {
    if (Timer1->isActive())
        Timer1->stop();
    else
        Timer1->start();
    Combo_Horas->setEnabled(!Combo_Horas->isEnabled());
    Combo_Minutos->setEnabled(!Combo_Minutos->isEnabled());
    Timer1_Timer();
}

void Prog_Hora::Timer1_Timer() {
    const QTime ahora = ctx.reloj.Ahora().time();
    Combo_Horas->setCurrentIndex(ahora.hour());
    Combo_Minutos->setCurrentIndex(ahora.minute());
}

void Prog_Hora::Boton_Aceptar_Click() {
    Enviar_Y_Cerrar(Programacion::Hora, [this] {
        return Programar_Hora(ctx, Combo_Horas->currentIndex(), Combo_Minutos->currentIndex());
    });
}

}  // namespace aq
