#include "monitor/ui/prog_fecha.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <cmath>

#include "link/texto.h"
#include "monitor/programacion.h"

namespace aq {

Prog_Fecha::Prog_Fecha(Contexto_Ventanas& c, QWidget* parent) : Dialogo_Programacion(c, parent) {
    setWindowTitle(QStringLiteral("Programación de la Fecha"));
    Tomar_Fecha_PC = new QCheckBox(QStringLiteral("Tomar la fecha de su PC"), this);
    Label1 = new QLabel(QStringLiteral("Año"), this);
    Anio = new QLineEdit(this);
    Anio->setMaximumWidth(60);
    Label2 = new QLabel(QStringLiteral("Mes"), this);
    Combo_Mes = new QComboBox(this);
    Label3 = new QLabel(QStringLiteral("Día"), this);
    Combo_Dia = new QComboBox(this);
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire up to 5 % early
    Timer1->setInterval(5000);

    auto* campos = new QGridLayout;
    campos->addWidget(Label1, 0, 0);
    campos->addWidget(Label2, 0, 1);
    campos->addWidget(Label3, 0, 2);
    campos->addWidget(Anio, 1, 0);
    campos->addWidget(Combo_Mes, 1, 1);
    campos->addWidget(Combo_Dia, 1, 2);
    auto* botones = new QHBoxLayout;
    botones->addWidget(Boton_Aceptar);
    botones->addWidget(Boton_Cancelar);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(Tomar_Fecha_PC);
    todo->addLayout(campos);
    todo->addLayout(botones);

    connect(Combo_Mes, &QComboBox::currentIndexChanged, this, &Prog_Fecha::Combo_Mes_Click);
    connect(Combo_Dia, &QComboBox::currentIndexChanged, this, &Prog_Fecha::Combo_Dia_Click);
    connect(Tomar_Fecha_PC, &QCheckBox::clicked, this, &Prog_Fecha::Tomar_Fecha_PC_Click);
    connect(Timer1, &QTimer::timeout, this, &Prog_Fecha::Timer1_Timer);
    connect(Boton_Aceptar, &QPushButton::clicked, this, &Prog_Fecha::Boton_Aceptar_Click);
    Anio->installEventFilter(this);

    // Opening.
    Estado& e = ctx.estado;
    Llenar_Tablas_Fecha(e, e.Anio_Equipo);
    Anio->setText(Numero_Simple(Valor_Numerico(e.Anio_Equipo)));
    Rellenar(Combo_Mes, QStringList(e.Nombres_Meses.begin() + 1, e.Nombres_Meses.end()));
    // A month the logger should never report falls back to January.
    Seleccionar(Combo_Mes, Indice_Valido(e.Mes_Equipo, 1, 12, 0));
}

bool Prog_Fecha::eventFilter(QObject* o, QEvent* e) {
    // Only a real move of the focus counts, not another window (a box) becoming active, nor the
    // dialog going away.
    if (o == Anio && e->type() == QEvent::FocusOut && !Cerrando()) {
        const auto motivo = static_cast<QFocusEvent*>(e)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason)
            Anio_LostFocus();
    }
    return Dialogo_Programacion::eventFilter(o, e);
}

void Prog_Fecha::Combo_Mes_Click() {
    const int mes = Combo_Mes->currentIndex() + 1;
    if (mes < 1) return;
    const QScopedValueRollback<bool> en_curso(en_seleccion_, true);
    const int n = ctx.estado.Dias_Mes[mes];
    QStringList dias;
    for (int d = 1; d <= n; ++d) dias << QString::number(d);
    Rellenar(Combo_Dia, dias);

    // A remembered day of 0 (or no number) would leave no day selected and send "F00".
    const double dia = std::trunc(Valor_Numerico(ctx.estado.Dia_Equipo));
    if (dia < 1) {
        Seleccionar(Combo_Dia, 0);
    } else if (dia <= n) {
        Seleccionar(Combo_Dia, static_cast<int>(dia) - 1);
    } else {
        ctx.dialogos.MsgBox(Mensaje_Fecha_Asumida(Dia_Asumido(ctx.estado, mes)), Icono::Ninguno,
                            Botones::Aceptar, Titulo_Aplicacion);
        Seleccionar(Combo_Dia, n - 1);
    }
}

void Prog_Fecha::Combo_Dia_Click() {
    const int i = Combo_Dia->currentIndex();
    if (i >= 0) ctx.estado.Dia_Equipo = QString::number(i + 1);
}

void Prog_Fecha::Anio_LostFocus() {
    Anio->setText(Anio_Dos_Digitos(Anio->text()));
    Fijar_Febrero(ctx.estado, Anio->text());
    if (Combo_Mes->currentIndex() == 1) {
        // Through January so that the day list is rebuilt to February's new length.
        Seleccionar(Combo_Mes, 0);
        Seleccionar(Combo_Mes, 1);
    }
}

void Prog_Fecha::Tomar_Fecha_PC_Click() {
    if (Timer1->isActive())
        Timer1->stop();
    else
        Timer1->start();
    for (QWidget* w : {static_cast<QWidget*>(Anio), static_cast<QWidget*>(Combo_Mes),
                       static_cast<QWidget*>(Combo_Dia)})
        w->setEnabled(!w->isEnabled());
    Timer1_Timer();
}

void Prog_Fecha::Timer1_Timer() {
    // A tick while the invalid-date box of a selection is still up waits for the next one.
    if (en_seleccion_) return;
    const QDate hoy = ctx.reloj.Ahora().date();
    Anio->setText(Derecha(QString::number(hoy.year()), 2));
    // The PC's 29 February must find a 29th in the list.
    Fijar_Febrero(ctx.estado, Anio->text());
    Seleccionar(Combo_Mes, hoy.month() - 1);
    Seleccionar(Combo_Dia, hoy.day() - 1);
}

void Prog_Fecha::Boton_Aceptar_Click() {
    Enviar_Y_Cerrar(Programacion::Fecha, [this] {
        return Programar_Fecha(ctx, Combo_Dia->currentIndex() + 1, Combo_Mes->currentIndex() + 1,
                               Anio_Dos_Digitos(Anio->text()).toInt());
    });
}

}  // namespace aq
