#include "link/ui/inicial.h"

#include <QCloseEvent>
#include <QPointer>

#include "link/saludo.h"
#include "link/ui/espere.h"
#include "platform/ui/ventanas.h"

namespace aq {

const QColor Inicial::Verde = QColor(0, 255, 0);

Inicial::Inicial(Contexto_Ventanas& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setWindowTitle(QString());
    Armar_Presentacion(this, Label1, Label2, Label3);
    Label2->setAutoFillBackground(true);

    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire up to 5 % early
    Timer1->setInterval(100);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &Inicial::Timer1_Timer);
    Timer1->start();
}

void Inicial::closeEvent(QCloseEvent* e) {
    cerrada_ = true;
    QWidget::closeEvent(e);
}

bool Inicial::Label2_Verde() const {
    return Label2->palette().color(QPalette::Window) == Verde;
}

void Inicial::Timer1_Timer() {
    Timer1->stop();
    if (ctx_.estado.Linea_Comandos.toUpper() == QStringLiteral("/ADMINISTRADOR")) {
        Q_EMIT Revelar_Mantenimiento();
    }

    const Resultado_Saludo r = Saludar_Equipo(ctx_, [this] {
        Label2->setText(QStringLiteral("Verificando versión de firmware"));
        Repintar(Label2);
    });
    if (r.fin == Fin_Saludo::Establecido) {
        Q_EMIT Revelar_Opciones(false);
        Label2->setText(QStringLiteral("Enlace establecido"));
        // The display yields to window events: the user may close this window, end the
        // program or open the monitor meanwhile, and each of those ends the greeting.
        QPointer<Inicial> vivo(this);
        const double t0 = ctx_.reloj.Segundos();
        while (ctx_.reloj.Segundos() - t0 <= 2.0) {
            Label2->setText(QStringLiteral("Enlace establecido"));
            QPalette p = Label2->palette();
            p.setColor(QPalette::Window, Verde);
            Label2->setPalette(p);
            ctx_.reloj.Ceder(0.05);
            if (!vivo || cerrada_) return;
        }
        Q_EMIT Enlace_Establecido();
    } else {
        ctx_.dialogos.MsgBox(Mensaje_Saludo(r),
                             r.fin == Fin_Saludo::Sin_Respuesta ? Icono::Critico : Icono::Ninguno,
                             Botones::Aceptar, Titulo_Saludo(r.fin));
        // A logger that stopped answering after the link check leaves the options shown only.
        Q_EMIT Revelar_Opciones(r.fin != Fin_Saludo::Version_Sin_Respuesta);
    }

    if (!Label2_Verde()) Q_EMIT Enlace_Fallido();
    Descargar(this);
}

}  // namespace aq
