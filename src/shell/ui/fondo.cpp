#include "shell/ui/fondo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "archivo/archivo_historico.h"
#include "archivo/ui/archivo_ventana.h"
#include "link/enlace.h"
#include "link/saludo.h"
#include "link/ui/espere.h"
#include "link/ui/inicial.h"
#include "maintenance/ui/descompresor.h"
#include "maintenance/ui/visor.h"
#include "memory/operacion_borrado.h"
#include "memory/ui/borrar_memoria.h"
#include "memory/ui/memo.h"
#include "monitor/ui/dialogo_programacion.h"
#include "monitor/ui/supervisor.h"
#include "platform/ui/teclas_acceso.h"
#include "platform/ui/ventanas.h"
#include "shell/ui/opciones.h"

namespace aq {

Fondo::Fondo(Contexto_Ventanas& ctx, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), comunic_(ctx) {
    setWindowTitle(QStringLiteral("Brisna Ingeniería   AQ-TIDE 1.0"));
    area_ = new QMdiArea(this);
    area_->setBackground(QColor(128, 128, 128));
    setCentralWidget(area_);
    guardia_ = new QObject(this);
    Crear_Menu();
    new Teclas_Acceso(this);
    resize(1000, 720);
    Terminar_Programa = [] { QCoreApplication::exit(0); };
}

Fondo::~Fondo() {
    delete guardia_;
}

void Fondo::Crear_Menu() {
    auto agregar = [&](QMenu* m, Item_Menu item, const QString& texto, auto slot) {
        QAction* a = m->addAction(texto);
        // A greyed menu runs no item, not even from a popup that was open before it greyed (a
        // key typed there while the link was checked arrives afterwards).
        connect(a, &QAction::triggered, this, [this, m, slot] {
            for (QMenu* arriba = m; arriba; arriba = qobject_cast<QMenu*>(arriba->parentWidget()))
                if (!arriba->menuAction()->isEnabled()) return;
            (this->*slot)();
        });
        acciones_[item] = a;
        return a;
    };
    auto separador = [&](QMenu* m, Item_Menu item) { acciones_[item] = m->addSeparator(); };

    menu_ = menuBar()->addMenu(QStringLiteral("&Menú"));
    acciones_[Item_Menu::IDC_MENU] = menu_->menuAction();
    agregar(menu_, Item_Menu::IDC_PROGRAMADOR, QStringLiteral("Moni&tor"),
            &Fondo::IDC_PROGRAMADOR_Click);
    QMenu* memoria = menu_->addMenu(QStringLiteral("&Memoria"));
    acciones_[Item_Menu::IDC_MEMO] = memoria->menuAction();
    agregar(memoria, Item_Menu::IDC_DUMP, QStringLiteral("&Recolectar datos"),
            &Fondo::IDC_DUMP_Click);
    agregar(memoria, Item_Menu::IDC_BORRAR, QStringLiteral("&Borrar la Memoria"),
            &Fondo::IDC_BORRAR_Click);
    agregar(menu_, Item_Menu::IDC_SETUP, QStringLiteral("&Opciones"), &Fondo::IDC_SETUP_Click)
        ->setVisible(false);
    separador(menu_, Item_Menu::IDC_SEPARADOR_0);
    agregar(menu_, Item_Menu::visualizar, QStringLiteral("&Visualizar"), &Fondo::visualizar_Click);
    agregar(menu_, Item_Menu::IDC_ARCHIVO, QStringLiteral("Archivo &histórico"),
            &Fondo::IDC_ARCHIVO_Click);
    separador(menu_, Item_Menu::IDC_SEPARADOR_1);
    acciones_[Item_Menu::IDC_SEPARADOR_1]->setVisible(false);
    QMenu* mantenimiento = menu_->addMenu(QStringLiteral("M&antenimiento"));
    acciones_[Item_Menu::IDC_SUBTE] = mantenimiento->menuAction();
    acciones_[Item_Menu::IDC_SUBTE]->setVisible(false);
    agregar(mantenimiento, Item_Menu::IDC_DESCOMPRIME, QStringLiteral("&Descomprimir"),
            &Fondo::IDC_DESCOMPRIME_Click);
    separador(menu_, Item_Menu::IDC_SEPARADOR_2);
    acciones_[Item_Menu::IDC_SEPARADOR_2]->setVisible(false);
    agregar(menu_, Item_Menu::IDC_SALIR, QStringLiteral("&Salir"), &Fondo::IDC_SALIR_Click);

    QMenu* ayuda = menuBar()->addMenu(QStringLiteral("&Ayuda"));
    acciones_[Item_Menu::mnuAyuda] = ayuda->menuAction();
    agregar(ayuda, Item_Menu::mnuManual, QStringLiteral("&Manual de ayuda"),
            &Fondo::mnuManual_Click);
    separador(ayuda, Item_Menu::mnuSeparator);
    agregar(ayuda, Item_Menu::IDC_ACERCA, QStringLiteral("&Acerca de ..."),
            &Fondo::IDC_ACERCA_Click);
}

void Fondo::Form_Load() {
    if (!ctx_.estado.Instalando) {
        comunic_.Cargar();
        Mostrar_Inicial();
    }
    Actualizar_Menu();
}

void Fondo::Mostrar_Inicial() {
    Mostrar_Hija(new Inicial(ctx_));
}

namespace {
constexpr const char* Menu_Devuelto = "aq_menu_devuelto";
}

void Fondo::Actualizar_Menu() {
    // What each window takes while open: the windows that talk to the logger keep the whole
    // menu (and the port options, taken by the link check before them); the erase and the port
    // options also the functions; the expander leaves the menu but takes the functions and
    // the port options.
    bool menu = true, funciones = true, opciones = !verificando_enlace_;
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        QWidget* w = sub->widget();
        if (!w || w->property(Menu_Devuelto).toBool()) continue;
        if (qobject_cast<Supervisor*>(w) || qobject_cast<Dialogo_Programacion*>(w) ||
            qobject_cast<Memo*>(w)) {
            menu = opciones = false;
        } else if (qobject_cast<Borrar_Memoria*>(w)) {
            menu = funciones = opciones = false;
        } else if (qobject_cast<Opciones*>(w)) {
            menu = funciones = false;
        } else if (qobject_cast<Descompresor*>(w)) {
            funciones = opciones = false;
        } else if (qobject_cast<Visor*>(w)) {
            menu = false;
        }
    }
    const std::pair<Item_Menu, bool> estados[] = {
        {Item_Menu::IDC_MENU, menu},      {Item_Menu::IDC_PROGRAMADOR, funciones},
        {Item_Menu::IDC_MEMO, funciones}, {Item_Menu::IDC_ACERCA, funciones},
        {Item_Menu::IDC_SETUP, opciones},
    };
    for (const auto& [item, habilitado] : estados) {
        deshabilitados_[item] = !habilitado;
        acciones_[item]->setEnabled(habilitado);
    }
}

// Qt reports a hidden action as disabled; the menu rules speak of the two states apart.
bool Fondo::Habilitado(Item_Menu item) const {
    return acciones_.contains(item) && !deshabilitados_.value(item, false);
}

void Fondo::Visible(Item_Menu item, bool visible) {
    if (QAction* a = acciones_.value(item)) a->setVisible(visible);
}

bool Fondo::Es_Visible(Item_Menu item) const {
    QAction* a = acciones_.value(item);
    return a && a->isVisible();
}

void Fondo::Reloj_Arena(bool ocupado) {
    if (ocupado)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void Fondo::Mostrar_Hija(QWidget* ventana) {
    Conectar(ventana);
    Mostrar_En_Area(area_, ventana);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(ventana->parentWidget()))
        connect(sub, &QObject::destroyed, guardia_, [this] { Actualizar_Menu(); });
    Actualizar_Menu();
}

void Fondo::Devolver_Menu(QWidget* ventana) {
    ventana->setProperty(Menu_Devuelto, true);
    Actualizar_Menu();
}

void Fondo::Conectar(QWidget* ventana) {
    if (auto* w = qobject_cast<Inicial*>(ventana)) {
        // Whether "&Opciones" is enabled follows from what is open.
        connect(w, &Inicial::Revelar_Opciones, this, [this] {
            Visible(Item_Menu::IDC_SETUP, true);
            Visible(Item_Menu::IDC_SEPARADOR_1, true);
        });
        connect(w, &Inicial::Revelar_Mantenimiento, this, [this] {
            Visible(Item_Menu::IDC_SEPARADOR_2, true);
            Visible(Item_Menu::IDC_SUBTE, true);
        });
        // Only while the menu is still free: a window opened during the greeting (the
        // monitor itself, the memory reader, the options) keeps the logger to itself.
        connect(w, &Inicial::Enlace_Establecido, this, [this] {
            if (Habilitado(Item_Menu::IDC_MENU) && Habilitado(Item_Menu::IDC_PROGRAMADOR) &&
                !saliendo_)
                IDC_PROGRAMADOR_Click();
        });
        connect(w, &Inicial::Enlace_Fallido, this, &Fondo::Abrir_Menu_En_Opciones);
    } else if (auto* w = qobject_cast<Supervisor*>(ventana)) {
        connect(w, &Supervisor::Entregar_Programacion, this, &Fondo::Mostrar_Hija);
        connect(w, &Supervisor::Devolver_Menu, this, [this, w] { Devolver_Menu(w); });
    } else if (auto* w = qobject_cast<Dialogo_Programacion*>(ventana)) {
        connect(w, &Dialogo_Programacion::Volver_Al_Monitor, this, [this] {
            if (!saliendo_) Abrir_Monitor();
        });
    } else if (auto* w = qobject_cast<Memo*>(ventana)) {
        connect(w, &Memo::Devolver_Menu, this, [this, w] { Devolver_Menu(w); });
        w->Nuevo_Registro = [this]() -> std::unique_ptr<Registro_Descarga> {
            return std::make_unique<Archivador_Descarga>(ctx_.perfil, ctx_.estado.Directorio_Raiz);
        };
    } else if (auto* w = qobject_cast<Borrar_Memoria*>(ventana)) {
        connect(w, &Borrar_Memoria::Devolver_Menu, this, [this, w] { Devolver_Menu(w); });
    } else if (auto* w = qobject_cast<Visor*>(ventana)) {
        connect(w, &Visor::Devolver_Menu, this, [this, w] { Devolver_Menu(w); });
    } else if (auto* w = qobject_cast<Descompresor*>(ventana)) {
        connect(w, &Descompresor::Devolver_Menu, this, [this, w] { Devolver_Menu(w); });
    }
}

void Fondo::Abrir_Monitor() {
    // One monitor at most: a second request brings it forward and sends nothing.
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        if (qobject_cast<Supervisor*>(sub->widget())) {
            area_->setActiveSubWindow(sub);
            return;
        }
    }
    Mostrar_Hija(new Supervisor(ctx_));
}

void Fondo::Abrir_Menu_En_Opciones() {
    // Queued: the link window closes first, then the menu opens on "&Opciones".
    QTimer::singleShot(0, this, [this] {
        activateWindow();
        menuBar()->setActiveAction(menu_->menuAction());
        menu_->setActiveAction(acciones_[Item_Menu::IDC_SETUP]);
    });
}

bool Fondo::Verificar_Enlace(const char* numero) {
    verificando_enlace_ = true;
    Actualizar_Menu();
    Reloj_Arena(true);
    const bool ok = aq::Verificar_Enlace(ctx_) == Resp_OK;
    if (!ok)
        ctx_.dialogos.MsgBox(Mensaje_Sin_Enlace(numero), Icono::Critico, Botones::Aceptar,
                             Titulo_Error_Enlace);
    // On success the window opened next keeps "&Opciones" greyed until it closes.
    verificando_enlace_ = false;
    if (!ok) Actualizar_Menu();
    return ok;
}

void Fondo::IDC_PROGRAMADOR_Click() {
    // One monitor at most: a second request brings it forward and sends nothing.
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        if (qobject_cast<Supervisor*>(sub->widget())) {
            area_->setActiveSubWindow(sub);
            return;
        }
    }
    if (Verificar_Enlace("018")) Abrir_Monitor();
    Reloj_Arena(false);
}

void Fondo::IDC_DUMP_Click() {
    if (Verificar_Enlace("017")) Mostrar_Hija(new Memo(ctx_));
    Reloj_Arena(false);
}

void Fondo::IDC_BORRAR_Click() {
    if (!ctx_.estado.Memoria_Leida) {
        ctx_.dialogos.MsgBox(Texto_Borrar_Sin_Lectura, Icono::Exclamacion, Botones::Aceptar,
                             Titulo_Atencion);
        return;
    }
    Mostrar_Hija(new Borrar_Memoria(ctx_));
}

void Fondo::IDC_SETUP_Click() {
    Abrir_Opciones();
}

bool Fondo::Abrir_Opciones() {
    auto* opciones = new Opciones(ctx_, *this);
    if (opciones->Sin_Puertos()) {
        delete opciones;
        descargada_ = true;
        if (Terminar_Programa) Terminar_Programa();
        return false;
    }
    Mostrar_Hija(opciones);
    return true;
}

void Fondo::IDC_DESCOMPRIME_Click() {
    Mostrar_Hija(new Descompresor(ctx_));
}

void Fondo::IDC_ARCHIVO_Click() {
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        if (qobject_cast<Archivo_Ventana*>(sub->widget())) {
            area_->setActiveSubWindow(sub);
            return;
        }
    }
    auto* archivo = new Archivo_Ventana(ctx_);
    Mostrar_Hija(archivo);
    Cerrar_Con_Escape(archivo);
}

void Fondo::visualizar_Click() {
    if (Visor* visor = Abrir_Visor(ctx_, this)) {
        Mostrar_Hija(visor);
        Cerrar_Con_Escape(visor);
        visor->Mostrar_Pendiente();
    }
}

void Fondo::IDC_SALIR_Click() {
    close();
}

QString Fondo::Ruta_Manual() const {
    const QString archivo = QDir(ctx_.estado.Directorio_Raiz).filePath(QStringLiteral("Help.html"));
    if (QFileInfo::exists(archivo)) return archivo;
    // An installation without the manual beside the settings: use the shipped copy, beside
    // the program in the build tree or in the shared data folder of an installed package.
    const QDir programa(QCoreApplication::applicationDirPath());
    for (const char* copia : {"Help.html", "../share/aqtide/Help.html"}) {
        const QString ruta = QDir::cleanPath(programa.filePath(QString::fromLatin1(copia)));
        if (QFileInfo::exists(ruta)) return ruta;
    }
    return archivo;
}

void Fondo::mnuManual_Click() {
    QString error;
    if (!ctx_.ayuda.Mostrar(Ruta_Manual(), &error))
        ctx_.dialogos.MsgBox(error, Icono::Ninguno, Botones::Aceptar, Titulo_Aplicacion);
}

QString Texto_Acerca_De(const Estado& estado, const QString& configuracion, const QString& manual,
                        const QDate& compilado) {
    const auto nativa = [](const QString& ruta) { return QDir::toNativeSeparators(ruta); };
    return QStringLiteral(
               "AQTIDE versión 1.0.%1\n"
               "\n"
               "Brisna Ingeniería\n"
               "Desarrollo: equipo de programación AQ-TIDE\n"
               "\n"
               "Compilado el %2\n"
               "Licencia: todos los derechos reservados\n"
               "Configuración: %3\n"
               "Datos: %4\n"
               "Resguardos: %5\r"
               "Manual: %6\r")
        .arg(Revision_Programa)
        .arg(compilado.toString(QStringLiteral("dd/MM/yyyy")), nativa(configuracion),
             nativa(estado.Directorio_Datos), nativa(estado.Directorio_Bak), nativa(manual));
}

void Fondo::IDC_ACERCA_Click() {
    // The compiler's date, "Mmm dd yyyy", whatever the locale.
    const QDate compilado =
        QDate::fromString(QString::fromLatin1(__DATE__).simplified(), QStringLiteral("MMM d yyyy"));
    ctx_.dialogos.MsgBox(
        Texto_Acerca_De(ctx_.estado, ctx_.perfil.Ubicacion(), Ruta_Manual(), compilado),
        Icono::Ninguno, Botones::Aceptar, Titulo_Aplicacion);
}

void Fondo::closeEvent(QCloseEvent* e) {
    if (descargada_) {
        e->accept();
        return;
    }
    saliendo_ = true;
    // The child windows close first, each with its own closing steps; one that refuses
    // (a download under way) keeps the program running.
    const auto hijas = area_->subWindowList(QMdiArea::StackingOrder);
    for (QMdiSubWindow* sub : hijas) {
        QWidget* w = sub->widget();
        if (w && !Descargar(w)) {
            saliendo_ = false;
            e->ignore();
            return;
        }
    }

    auto* espere = new Espere;
    espere->Label2->setText(QStringLiteral("Terminando el enlace de comunicaciones"));
    Mostrar_Hija(espere);
    Repintar(espere);
    ctx_.reloj.Ceder();
    Reponer_Modo(ctx_);
    comunic_.Descargar();
    descargada_ = true;
    e->accept();
}

}  // namespace aq
