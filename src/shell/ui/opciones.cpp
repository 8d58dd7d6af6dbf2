#include "shell/ui/opciones.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "platform/dispositivo.h"
#include "platform/ui/ventanas.h"
#include "shell/ui/fondo.h"

namespace aq {

namespace {
Lista_Puertos_Sistema lista_del_sistema;
}  // namespace

Lista_Puertos* Opciones::lista_puertos = &lista_del_sistema;

Elegir_Dispositivo::Elegir_Dispositivo(Lista_Puertos& lista, int puerto, const QString& actual,
                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dispositivo de Comm %1").arg(puerto));
    auto* caja = new QVBoxLayout(this);
    caja->addWidget(new QLabel(QStringLiteral("Puertos serie encontrados:"), this));
    Puertos = new QTreeWidget(this);
    Puertos->setRootIsDecorated(false);
    Puertos->setHeaderLabels({QStringLiteral("Dispositivo"), QStringLiteral("Nombre del sistema"),
                              QStringLiteral("Descripción"), QStringLiteral("Fabricante"),
                              QStringLiteral("Número de serie")});
    for (const Puerto_Encontrado& p : lista.Buscar()) {
        auto* fila = new QTreeWidgetItem(
            Puertos, {p.dispositivo, p.sistema, p.descripcion, p.fabricante, p.numero_serie});
        if (p.dispositivo == actual || p.sistema == actual) Puertos->setCurrentItem(fila);
    }
    Puertos->header()->resizeSections(QHeaderView::ResizeToContents);
    caja->addWidget(Puertos);
    if (Puertos->topLevelItemCount() == 0)
        caja->addWidget(new QLabel(QStringLiteral("No se encontró ningún puerto serie."), this));
    caja->addWidget(new QLabel(
        QStringLiteral("O un servidor de puertos serie en la red (tcp://HOST:PUERTO):"), this));
    Direccion = new QLineEdit(this);
    Direccion->setPlaceholderText(QStringLiteral("tcp://192.168.1.50:4001"));
    if (Es_Dispositivo_Tcp(actual)) Direccion->setText(actual);
    caja->addWidget(Direccion);
    auto* botones = new QHBoxLayout;
    Boton_Aceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    auto* cancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    botones->addStretch();
    botones->addWidget(Boton_Aceptar);
    botones->addWidget(cancelar);
    caja->addLayout(botones);
    Boton_Aceptar->setDefault(true);
    connect(Boton_Aceptar, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(Puertos, &QTreeWidget::itemDoubleClicked, this, [this] {
        Direccion->clear();
        if (!Elegido().isEmpty()) accept();
    });
    // Picking a row is choosing a device: an address typed before gives way. The row the list
    // makes current on its own (when it takes the focus) does not.
    connect(Puertos, &QTreeWidget::itemClicked, this, [this] { Direccion->clear(); });
    connect(Puertos, &QTreeWidget::currentItemChanged, this, [this] { Revisar(); });
    connect(Direccion, &QLineEdit::textChanged, this, [this] { Revisar(); });
    resize(720, 320);
    Revisar();
}

QString Elegir_Dispositivo::Elegido() const {
    const QString direccion = Direccion->text().trimmed();
    if (!direccion.isEmpty()) return Analizar_Tcp(direccion).Valido() ? direccion : QString();
    return Puertos->currentItem() ? Puertos->currentItem()->text(0) : QString();
}

void Elegir_Dispositivo::Revisar() {
    Boton_Aceptar->setEnabled(!Elegido().isEmpty());
}

Opciones::Opciones(Contexto_Ventanas& ctx, Fondo& fondo, QWidget* parent)
    : QWidget(parent), ctx_(ctx), fondo_(fondo) {
    setWindowTitle(QStringLiteral("Opciones"));
    auto* caja = new QVBoxLayout(this);
    Select_Port = new QGroupBox(QStringLiteral("Seleccionar el Puerto"), this);
    auto* opciones = new QGridLayout(Select_Port);
    for (int n = 1; n <= 4; ++n) {
        Option[n] = new QRadioButton(QStringLiteral("Comm %1").arg(n), Select_Port);
        grupo_.addButton(Option[n], n);
        opciones->addWidget(Option[n], n, 0);
        Dispositivo[n] = new QLabel(Dispositivo_De_Puerto(ctx_.perfil, n), Select_Port);
        opciones->addWidget(Dispositivo[n], n, 1);
        Boton_Elegir[n] = new QPushButton(QStringLiteral("Elegir..."), Select_Port);
        connect(Boton_Elegir[n], &QPushButton::clicked, this, [this, n] { Elegir(n); });
        opciones->addWidget(Boton_Elegir[n], n, 2);
    }
    opciones->setColumnStretch(1, 1);
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
        if (Probar(n))
            ++libres;
        else
            Option[n]->setEnabled(false);
    }
    if (ctx_.estado.Puerto_Com >= 1 && ctx_.estado.Puerto_Com <= 4)
        Option[ctx_.estado.Puerto_Com]->setChecked(true);
    if (libres == 0) {
        ctx_.dialogos.MsgBox(QStringLiteral("No hay ningún puerto de comunicaciones disponible.\n"
                                            "Deberá disponer de por lo menos un puerto libre\n"
                                            "para poder ejecutar esta aplicación.\n"
                                            "Haga clic en aceptar para salir del programa."),
                             Icono::Ninguno, Botones::Aceptar, Titulo_Aplicacion);
        Ayudar_Sin_Puertos();
        sin_puertos_ = true;
    }
}

bool Opciones::Probar(int n) {
    ctx_.puerto.setCommPort(n);
    if (!ctx_.puerto.setPortOpen(true)) {
        errores_[n] = ctx_.puerto.Ultimo_Error();
        return false;
    }
    ctx_.puerto.setPortOpen(false);
    errores_[n].clear();
    return true;
}

bool Opciones::Asignar_Dispositivo(int n, const QString& dispositivo) {
    const bool escrito = ctx_.perfil.WriteProfileString(
        QStringLiteral("Puertos"), QStringLiteral("COM%1").arg(n), dispositivo);
    Dispositivo[n]->setText(Dispositivo_De_Puerto(ctx_.perfil, n));
    Option[n]->setEnabled(Probar(n));
    return escrito;
}

void Opciones::Elegir(int n) {
    Elegir_Dispositivo lista(*lista_puertos, n, Dispositivo_De_Puerto(ctx_.perfil, n), this);
    if (lista.exec() != QDialog::Accepted || lista.Elegido().isEmpty()) return;
    if (!Asignar_Dispositivo(n, lista.Elegido()))
        ctx_.dialogos.MsgBox(QStringLiteral("Error  al intentar escribir en Win.ini"),
                             Icono::Exclamacion, Botones::Aceptar,
                             QStringLiteral("Grabar Opciones"));
}

void Opciones::Ayudar_Sin_Puertos() {
    QString probados;
    for (int n = 1; n <= 4; ++n) {
        probados += QStringLiteral("Comm %1: %2").arg(n).arg(Dispositivo_De_Puerto(ctx_.perfil, n));
        if (!errores_[n].isEmpty()) probados += QStringLiteral(" (%1)").arg(errores_[n]);
        probados += QLatin1Char('\n');
    }
    const QString texto =
        QStringLiteral("Se probaron estos dispositivos:\n") + probados +
        QStringLiteral(
            "\nEl dispositivo de cada puerto se indica en el archivo de configuración\n"
            "%1\nsección [Puertos], claves COM1 a COM4.\n\n"
            "Su usuario debe tener permiso para abrir los puertos serie: en Debian,\n"
            "pertenecer al grupo dialout (sudo adduser USUARIO dialout, y volver a\n"
            "iniciar la sesión).\n\n"
            "¿Desea elegir ahora el dispositivo de Comm 1 entre los puertos\n"
            "encontrados? Se usará al volver a iniciar el programa.")
            .arg(ctx_.perfil.Ubicacion());
    if (ctx_.dialogos.MsgBox(texto, Icono::Informacion, Botones::Aceptar_Cancelar,
                             Titulo_Aplicacion) != Respuesta::Aceptar)
        return;
    Elegir_Dispositivo lista(*lista_puertos, 1, Dispositivo_De_Puerto(ctx_.perfil, 1), this);
    if (lista.exec() == QDialog::Accepted && !lista.Elegido().isEmpty())
        Asignar_Dispositivo(1, lista.Elegido());
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
