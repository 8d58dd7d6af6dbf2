#include "monitor/ui/supervisor.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "link/enlace.h"
#include "link/saludo.h"
#include "monitor/operaciones.h"
#include "monitor/registro_estado.h"
#include "monitor/reloj_equipo.h"
#include "monitor/ui/prog_fecha.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/prog_intervalo.h"
#include "platform/ui/ventanas.h"

namespace aq {

namespace {
constexpr int Primer_Sondeo_Ms = 500;
constexpr int Sondeo_Ms = 6000;
}  // namespace

Supervisor::Supervisor(Contexto_Ventanas& c, QWidget* parent) : QWidget(parent), ctx(c) {
    setWindowTitle(QStringLiteral("Monitoreo y Programación de Parámetros"));

    auto etiqueta = [this](const char* texto) {
        return new QLabel(QString::fromUtf8(texto), this);
    };
    auto valor = [this](const char* texto) {
        auto* l = new QLabel(QString::fromUtf8(texto), this);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(90);
        return l;
    };
    auto boton = [this](const char* texto) {
        return new QPushButton(QString::fromUtf8(texto), this);
    };

    Leyendo = etiqueta("Leyendo el estado del equipo");
    // The notice comes and goes on every poll; its room stays, so nothing else moves.
    QSizePolicy reservado = Leyendo->sizePolicy();
    reservado.setRetainSizeWhenHidden(true);
    Leyendo->setSizePolicy(reservado);
    Leyendo->setAlignment(Qt::AlignCenter);
    Leyendo->setVisible(false);
    Label1 = etiqueta("Columna de Agua [mm]");
    Lectura = valor("----");
    QFont grande = Lectura->font();
    grande.setPointSize(grande.pointSize() * 2);
    grande.setBold(true);
    Lectura->setFont(grande);
    Lectura->setMinimumHeight(QFontMetrics(grande).height() + 10);
    Label2 = etiqueta(" Intervalo entre lecturas");
    Intervalo = valor("- - - -");
    Label4 = etiqueta(" Fecha");
    Fecha = valor("-- / -- / --");
    Label3 = etiqueta(" Hora");
    Hora = valor("--:--");
    Label7 = etiqueta(" Alcance [m]");
    Alcance = valor("- -");
    Label6 = etiqueta(" Equipo Nº");
    Equipo = valor("- - -");
    Modo = etiqueta("Equipo en Modo AJUSTE");
    Registros_Disponibles = etiqueta("- - - - Registros Disponibles");
    Registros_Disponibles->setAlignment(Qt::AlignCenter);
    Deriva_Reloj = etiqueta("");
    Memoria_Llena = etiqueta("");
    Memoria_Llena->setAlignment(Qt::AlignCenter);
    QPalette alerta = Deriva_Reloj->palette();
    alerta.setColor(QPalette::WindowText, QColor(200, 0, 0));
    Deriva_Reloj->setPalette(alerta);
    QFont negrita = Deriva_Reloj->font();
    negrita.setBold(true);
    Deriva_Reloj->setFont(negrita);
    // Both lines have their room from the start: their text comes and goes with the polls.
    const QFontMetrics medida(negrita);
    for (QLabel* l : {Deriva_Reloj, Memoria_Llena}) l->setMinimumHeight(medida.height());
    Deriva_Reloj->setMinimumWidth(medida.horizontalAdvance(
        QStringLiteral("Reloj del equipo: 99 días 23 h adelantado respecto del PC")));
    Memoria_Llena->setMinimumWidth(
        QFontMetrics(Memoria_Llena->font())
            .horizontalAdvance(QStringLiteral("Memoria llena aprox. el 14/03/27 10:15")));
    Programador_Intervalo = boton("Programar &Intervalo");
    Programar_Fecha = boton("Programar &Fecha");
    Programar_Hora = boton("Programar &Hora");
    Pasar_Registro = boton("Pasar a Modo &REGISTRO");
    Pasar_Ajuste = boton("Pasar a Modo &AJUSTE");
    Command1 = boton("&Cerrar");
    for (QPushButton* b :
         {Programador_Intervalo, Programar_Fecha, Programar_Hora, Pasar_Registro, Pasar_Ajuste})
        b->setEnabled(false);
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire up to 5 % early

    auto* izquierda = new QGridLayout;
    izquierda->addWidget(Leyendo, 0, 0, 1, 2);
    izquierda->addWidget(Label1, 1, 0, 1, 2, Qt::AlignCenter);
    izquierda->addWidget(Lectura, 2, 0, 1, 2);
    int fila = 3;
    for (auto [titulo, dato] :
         {std::pair{Label2, Intervalo}, std::pair{Label4, Fecha}, std::pair{Label3, Hora},
          std::pair{Label7, Alcance}, std::pair{Label6, Equipo}}) {
        izquierda->addWidget(titulo, fila, 0);
        izquierda->addWidget(dato, fila++, 1);
        if (dato == Hora) izquierda->addWidget(Deriva_Reloj, fila++, 0, 1, 2);
    }
    izquierda->addWidget(Modo, fila, 0, 1, 2);

    auto* derecha = new QVBoxLayout;
    derecha->addWidget(Registros_Disponibles);
    derecha->addWidget(Memoria_Llena);
    derecha->addSpacing(8);
    for (QPushButton* b : {Programador_Intervalo, Programar_Fecha, Programar_Hora})
        derecha->addWidget(b);
    derecha->addSpacing(8);
    derecha->addWidget(Pasar_Registro);
    derecha->addWidget(Pasar_Ajuste);
    derecha->addStretch();

    auto* columnas = new QHBoxLayout;
    columnas->addLayout(izquierda);
    columnas->addSpacing(12);
    columnas->addLayout(derecha);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(columnas);
    todo->addWidget(Command1, 0, Qt::AlignHCenter);

    connect(Timer1, &QTimer::timeout, this, &Supervisor::Timer1_Timer);
    connect(Command1, &QPushButton::clicked, this, &Supervisor::Command1_Click);
    connect(Pasar_Ajuste, &QPushButton::clicked, this, &Supervisor::Pasar_Ajuste_Click);
    connect(Pasar_Registro, &QPushButton::clicked, this, &Supervisor::Pasar_Registro_Click);
    connect(Programar_Fecha, &QPushButton::clicked, this, &Supervisor::Programar_Fecha_Click);
    connect(Programar_Hora, &QPushButton::clicked, this, &Supervisor::Programar_Hora_Click);
    connect(Programador_Intervalo, &QPushButton::clicked, this,
            &Supervisor::Programador_Intervalo_Click);

    // Opening.
    Falla_Enlace = false;
    Abriendo_Programacion = false;
    Timer1->setInterval(Primer_Sondeo_Ms);
    Timer1->start();
}

void Supervisor::showEvent(QShowEvent* e) {
    // Top-left corner of the main window's client area, once; the area may still place the
    // frame after this, hence the second move.
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub && !colocada_) {
        colocada_ = true;
        sub->move(0, 0);
        QTimer::singleShot(0, sub, [sub] { sub->move(0, 0); });
    }
    QWidget::showEvent(e);
}

void Supervisor::Caja(const QString& texto, const QString& titulo) {
    ctx.dialogos.MsgBox(texto, Icono::Ninguno, Botones::Aceptar, titulo);
}

void Supervisor::Cerrar_Por_Falla(const QString& texto) {
    Caja(texto, Titulo_Error_Link);
    Falla_Enlace = true;
    Descargar(this);
}

void Supervisor::Timer1_Timer() {
    Timer1->stop();
    Timer1->setInterval(Sondeo_Ms);
    Leer_Estado();
}

void Supervisor::Leer_Estado() {
    Leyendo->setVisible(true);
    Reloj_Arena(this, true);
    Repintar(Leyendo);

    const Resultado_Estado r = Consultar_Estado(ctx);
    if (r.fin == Fin_Estado::Leido) {
        const Registro_Estado& e = r.registro;
        Equipo->setText(e.Equipo);
        Alcance->setText(e.Alcance);
        Lectura->setText(e.Lectura);
        Fecha->setText(e.Fecha);
        Hora->setText(e.Hora);
        Intervalo->setText(e.Intervalo);
        const Modo_Del_Equipo modo = Modo_De_Codigo(e.Modo);
        if (modo != Modo_Del_Equipo::Desconocido) {
            const bool ajuste = modo == Modo_Del_Equipo::Ajuste;
            Modo->setText(ajuste ? QStringLiteral("Equipo en Modo AJUSTE")
                                 : QStringLiteral("Equipo en Modo REGISTRO"));
            for (QPushButton* b :
                 {Programador_Intervalo, Programar_Fecha, Programar_Hora, Pasar_Registro})
                b->setEnabled(ajuste);
            Pasar_Ajuste->setEnabled(!ajuste);
        }
        Registros_Disponibles->setText(Texto_Registros_Disponibles(e.Registros));
        Deriva_Reloj->setText(Calcular_Deriva(e.Fecha, e.Hora, ctx.reloj.Ahora()).texto);
        Memoria_Llena->setText(modo == Modo_Del_Equipo::Registro
                                   ? Prever_Memoria_Llena(Registros_Libres(e.Registros),
                                                          ctx.estado.Intervalo_Equipo, e.Fecha,
                                                          e.Hora)
                                         .texto
                                   : QString());
        Timer1->start();
    } else if (r.fin == Fin_Estado::No_Reconocido) {
        Caja(Mensaje_Estado(r.fin), Titulo_Error_Link);
    } else {
        Cerrar_Por_Falla(Mensaje_Estado(r.fin));
        return;
    }
    Leyendo->setVisible(false);
    Reloj_Arena(this, false);
}

void Supervisor::Command1_Click() {
    Descargar(this);
}

bool Supervisor::Confirmar(const QString& texto) {
    // A poll may not fire behind the box: a failed one would close the window under it.
    timer_activo_ = Timer1->isActive();
    Timer1->stop();
    return ctx.dialogos.MsgBox(texto, Icono::Exclamacion, Botones::Aceptar_Cancelar,
                               Titulo_Confirmacion_Modo) == Respuesta::Aceptar;
}

void Supervisor::Reanudar_Sondeo() {
    if (timer_activo_ && !Timer1->isActive()) Timer1->start();
}

void Supervisor::Pasar_Ajuste_Click() {
    Pasar_A(Modo_Destino::Ajuste);
}

void Supervisor::Pasar_Registro_Click() {
    Pasar_A(Modo_Destino::Registro);
}

void Supervisor::Pasar_A(Modo_Destino destino) {
    if (!Confirmar(Confirmacion_Modo(destino))) return Reanudar_Sondeo();
    const Fin_Modo fin = Cambiar_Modo(ctx, destino);
    if (Cierra_Monitor(destino, fin)) return Cerrar_Por_Falla(Mensaje_Modo(destino, fin));
    if (fin != Fin_Modo::Aceptado) Caja(Mensaje_Modo(destino, fin), Titulo_Modo(fin));
    if (!Sondea_Despues(fin)) return Reanudar_Sondeo();
    if (Pausa_Antes_Del_Sondeo(destino, fin)) Esperar_Medio_Segundo(ctx.reloj);
    Leer_Estado();
}

template <class Dialogo>
void Supervisor::Entregar_A() {
    // Closed (its mode command sent) but not yet destroyed: the dialog follows it.
    Abriendo_Programacion = true;
    Descargar(this);
    Q_EMIT Entregar_Programacion(new Dialogo(ctx));
}

void Supervisor::Programar_Fecha_Click() {
    Entregar_A<Prog_Fecha>();
}
void Supervisor::Programar_Hora_Click() {
    Entregar_A<Prog_Hora>();
}
void Supervisor::Programador_Intervalo_Click() {
    Entregar_A<Prog_Intervalo>();
}

void Supervisor::closeEvent(QCloseEvent* e) {
    e->accept();
    if (cerrada_) return;
    cerrada_ = true;
    Timer1->stop();
    Reloj_Arena(this, false);
    if (!Falla_Enlace) {
        Command1->setEnabled(false);
        Repintar(Command1);
        // The mode of the last poll, without asking again: the poll is at most 6 s old.
        Enviar_Modo(ctx, Modo_De_Codigo(ctx.estado.Modo_Equipo));
    }
    if (!Abriendo_Programacion) Q_EMIT Devolver_Menu();
}

}  // namespace aq
