#include "link/ui/inicial.h"

#include <QCloseEvent>
#include <QPointer>

#include "link/enlace.h"
#include "link/ui/espere.h"
#include "platform/ui/ventanas.h"

namespace aq {

const QColor Inicial::Verde = QColor(0, 255, 0);

namespace {

const QString Error_En_El_Link = QStringLiteral("Error en el link");

QString Mensaje_Version(const QByteArray& version) {
    return QStringLiteral("Este software no es compatible\ncon la versión ") +
           QString::fromLatin1(version) + QStringLiteral(" de firmware");
}

}  // namespace

Inicial::Inicial(Contexto& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
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

    const QByteArray r = Enviar_Comando(ctx_, Cadena_Enlace, 4);
    if (r == Resp_OK) {
        Label2->setText(QStringLiteral("Verificando versión de firmware"));
        Repintar(Label2);
        Esperar_Medio_Segundo(ctx_.reloj);
        const QByteArray v = Enviar_Comando(ctx_, "V", 13);
        if (v == Resp_VERSION) {
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
        } else if (v == Resp_NC) {
            ctx_.dialogos.MsgBox(
                QStringLiteral("Error 007, el equipo no responde.\n"
                               "Salga del programa, verifique el enlace y reinicie el "
                               "procedimiento"),
                Icono::Ninguno, Botones::Aceptar, Error_En_El_Link);
            Q_EMIT Revelar_Opciones(false);
        } else if (v == Resp_INCOMPATIBLE) {
            ctx_.dialogos.MsgBox(Mensaje_Version(ctx_.estado.Version_Firmware.left(11)),
                                 Icono::Ninguno, Botones::Aceptar, Error_En_El_Link);
            Q_EMIT Revelar_Opciones(true);
        } else {
            ctx_.dialogos.MsgBox(Mensaje_Version(QByteArray()), Icono::Ninguno, Botones::Aceptar,
                                 Error_En_El_Link);
            Q_EMIT Revelar_Opciones(true);
        }
    } else if (r == Resp_NC) {
        ctx_.dialogos.MsgBox(
            QStringLiteral("Error 001, el equipo no responde.\n"
                           "Verifique el puerto de comunicaciones seleccionado en Menú->Opciones. "
                           "Si el puerto esta siendo usado por otra aplicación , cierre la "
                           "aplicación que este usando el puerto, o cambie de puerto.\r\n"
                           "Además, verifique el enlace.\r"),
            Icono::Critico, Botones::Aceptar, QStringLiteral("Error en el enlace"));
        Q_EMIT Revelar_Opciones(true);
    } else {
        ctx_.dialogos.MsgBox(
            QStringLiteral("Error 002, el lazo de comunicación no se ha establecido.\n"
                           "Verifique el puerto de comunicaciones seleccionado en "
                           "Menú->Opciones,\r"
                           "además, verifique el enlace.\r"),
            Icono::Ninguno, Botones::Aceptar, Error_En_El_Link);
        Q_EMIT Revelar_Opciones(true);
    }

    if (!Label2_Verde()) Q_EMIT Enlace_Fallido();
    Descargar(this);
}

}  // namespace aq
