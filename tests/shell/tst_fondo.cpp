#include <QtTest>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStyleOptionTitleBar>
#include <QTextLayout>

#include "archivo/ui/archivo_ventana.h"
#include "dobles/tabla.h"
#include "link/enlace.h"
#include "link/saludo.h"
#include "link/ui/espere.h"
#include "link/ui/inicial.h"
#include "maintenance/ui/descompresor.h"
#include "maintenance/ui/visor.h"
#include "memory/ui/borrar_memoria.h"
#include "memory/ui/memo.h"
#include "monitor/ui/prog_fecha.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/prog_intervalo.h"
#include "monitor/ui/supervisor.h"
#include "platform/ui/dialogos_qt.h"
#include "platform/ui/ventanas.h"
#include "programa.h"
#include "shell/ui/opciones.h"

using namespace aq;

// The main window, its menu rules, the exit sequence and the port options dialog.
class Tst_Fondo : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void menu_al_arrancar() {
        Programa p;
        p.f->Form_Load();
        QVERIFY(p.b.puerto.PortOpen());
        QVERIFY(p.Hija<Inicial>());
        QVERIFY(!p.f->Es_Visible(Item_Menu::IDC_SETUP));
        QVERIFY(!p.f->Es_Visible(Item_Menu::IDC_SEPARADOR_1));
        QVERIFY(!p.f->Es_Visible(Item_Menu::IDC_SUBTE));
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_ACERCA));

        // first run: no port, no link window
        Programa q(true);
        q.f->Form_Load();
        QVERIFY(!q.b.puerto.PortOpen());
        QVERIFY(!q.Hija<Inicial>());
    }

    void monitor_y_recolectar_verifican_el_enlace() {
        Programa p;
        p.f->Form_Load();
        p.f->IDC_PROGRAMADOR_Click();
        QCOMPARE(p.b.dialogos.cajas.size(), 1);
        QVERIFY(p.b.dialogos.cajas[0].texto.startsWith("Error 018, El equipo no responde.\n"));
        QCOMPARE(p.b.dialogos.cajas[0].titulo, QStringLiteral("Error en el enlace"));
        QCOMPARE(p.b.dialogos.cajas[0].icono, Icono::Critico);
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_SETUP));
        QVERIFY(!p.Hija<Supervisor>());

        p.f->IDC_DUMP_Click();  // the greeting's test holds the whole text
        QVERIFY(p.b.dialogos.cajas[1].texto.startsWith("Error 017, El equipo no responde.\n"));

        p.b.puerto.Responder_Enlace();
        p.f->IDC_PROGRAMADOR_Click();
        QVERIFY(p.Hija<Supervisor>());
        QVERIFY(!p.f->Habilitado(Item_Menu::IDC_SETUP));
        QVERIFY(!p.f->Habilitado(Item_Menu::IDC_MENU));
    }

    // "&Menú", "Moni&tor", "&Memoria", "&Opciones", "&Acerca de ..." as 1 (enabled) or 0.
    static QString Estado_Menu(const Fondo& f) {
        QString e;
        for (Item_Menu i : {Item_Menu::IDC_MENU, Item_Menu::IDC_PROGRAMADOR, Item_Menu::IDC_MEMO,
                            Item_Menu::IDC_SETUP, Item_Menu::IDC_ACERCA})
            e += f.Habilitado(i) ? '1' : '0';
        return e;
    }
    static QWidget* Ventana(const QString& tipo, Programa& p) {
        if (tipo == "monitor") return new Supervisor(p.b.ctx);
        if (tipo == "lector") return new Memo(p.b.ctx);
        if (tipo == "hora") return new Prog_Hora(p.b.ctx);
        if (tipo == "fecha") return new Prog_Fecha(p.b.ctx);
        if (tipo == "intervalo") return new Prog_Intervalo(p.b.ctx);
        if (tipo == "borrado") return new Borrar_Memoria(p.b.ctx);
        if (tipo == "opciones") return new Opciones(p.b.ctx, *p.f);
        if (tipo == "expansor") return new Descompresor(p.b.ctx);
        if (tipo == "visor") return new Visor(p.b.ctx);
        return new Archivo_Ventana(p.b.ctx);
    }

    // The menu while each window is open, and after its closing steps.
    void menu_segun_lo_abierto_data() {
        Columnas<QString, QString, QString>({"ventana", "abierta", "cerrada"});
        Fila("monitor", "monitor", "01101", "11111");
        Fila("lector", "lector", "01101", "11111");
        Fila("programación", "hora", "01101", "01101");  // back to the monitor
        Fila("borrado", "borrado", "00000", "11111");
        Fila("opciones", "opciones", "00010", "11111");
        Fila("expansor", "expansor", "10000", "11111");
        Fila("visor", "visor", "01111", "11111");
        Fila("archivo histórico", "archivo", "11111", "11111");
    }
    void menu_segun_lo_abierto() {
        QFETCH(QString, ventana);
        Programa p;
        QWidget* w = Ventana(ventana, p);
        p.f->Mostrar_Hija(w);
        QTEST(Estado_Menu(*p.f), "abierta");
        QVERIFY(Descargar(w));
        QTEST(Estado_Menu(*p.f), "cerrada");
    }

    void menu_con_dos_ventanas() {
        Programa p;
        QWidget* expansor = Ventana("expansor", p);
        p.f->Mostrar_Hija(expansor);
        QWidget* visor = Ventana("visor", p);
        p.f->Mostrar_Hija(visor);
        QCOMPARE(Estado_Menu(*p.f), QStringLiteral("00000"));
        QVERIFY(Descargar(visor));
        QCOMPARE(Estado_Menu(*p.f), QStringLiteral("10000"));
        QVERIFY(Descargar(expansor));
        QCOMPARE(Estado_Menu(*p.f), QStringLiteral("11111"));
    }

    // An item of a greyed menu does nothing, even when its own action is still enabled (a key
    // typed into a popup opened before the menu greyed).
    void menu_griseado_no_ejecuta_items() {
        Programa p;
        p.f->Mostrar_Hija(Ventana("monitor", p));
        QVERIFY(p.f->Accion(Item_Menu::IDC_DUMP)->isEnabled());
        p.f->Accion(Item_Menu::IDC_DUMP)->trigger();
        QVERIFY(!p.Hija<Memo>());
        QVERIFY(p.b.puerto.Comandos().isEmpty());
    }

    // Qt's own texts speak Spanish, and windows carry the program's icon.
    void dialogos_de_qt_en_castellano() {
        Vestir_Aplicacion();
        QDialogButtonBox caja(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QCOMPARE(caja.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
        QVERIFY(!QApplication::windowIcon().pixmap(32).isNull());
        Programa p;
        QCOMPARE(p.f->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    }

    // However narrow the box, "Menú->Opciones" never wraps inside its arrow.
    void la_flecha_no_se_parte() {
        QTextLayout capa(Texto_De_Mensaje(Mensaje_Sin_Enlace("017")), QApplication::font());
        QTextOption opcion;
        opcion.setWrapMode(QTextOption::WordWrap);  // as a message box label
        capa.setTextOption(opcion);
        const QString& t = capa.text();
        const int flecha = t.indexOf(QLatin1Char('>'));
        QVERIFY(flecha > 0);
        for (int ancho = 40; ancho < 800; ancho += 3) {
            capa.beginLayout();
            while (true) {
                QTextLine linea = capa.createLine();
                if (!linea.isValid()) break;
                linea.setLineWidth(ancho);
                QVERIFY2(linea.textStart() != flecha && linea.textStart() != flecha - 1 &&
                             linea.textStart() != flecha - 2,
                         qPrintable(QString::number(ancho)));
            }
            capa.endLayout();
        }
    }

    void borrar_sin_lectura_previa() {
        Programa p;
        p.f->IDC_BORRAR_Click();
        QCOMPARE(p.b.dialogos.Textos(),
                 QStringList{
                     QStringLiteral("Para poder borrar la memoria, debe habela leído previamente.\n"
                                    "Lea la memoria y podrá acceder al menú de borrado.\n")});
        QCOMPARE(p.b.dialogos.cajas[0].titulo, QStringLiteral("Atención !!!"));
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_MEMO));
    }

    // Alt + letter presses the working window's own button, even where a menu has the letter;
    // a greyed menu never takes the key.
    void teclas_de_acceso_data() {
        Columnas<QString, int, QString, bool>({"ventana", "tecla", "boton", "gris"});
        Fila("lector, Alt+M", "lector", int(Qt::Key_M), "Leer la &Memoria", false);
        Fila("borrado, Alt+M", "borrado", int(Qt::Key_M), "Borrar la &Memoria", false);
        Fila("fecha, Alt+A", "fecha", int(Qt::Key_A), "&Aceptar", false);
        Fila("hora, Alt+C", "hora", int(Qt::Key_C), "&Cancelar", false);
        Fila("lector, botón gris", "lector", int(Qt::Key_M), "Leer la &Memoria", true);
    }
    void teclas_de_acceso() {
        QFETCH(QString, ventana);
        QFETCH(int, tecla);
        QFETCH(QString, boton);
        QFETCH(bool, gris);
        Programa p;
        QWidget* w = Ventana(ventana, p);
        p.f->Mostrar_Hija(w);
        QAbstractButton* objetivo = nullptr;
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
            if (b->text() == boton) objetivo = b;
        QVERIFY(objetivo);
        objetivo->setEnabled(!gris);
        QObject::disconnect(objetivo, &QAbstractButton::clicked, nullptr, nullptr);
        QSignalSpy pulsado(objetivo, &QAbstractButton::clicked);
        p.f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.f));
        w->setFocus();
        QWidget* foco = QApplication::focusWidget() ? QApplication::focusWidget() : p.f;
        QTest::keyClick(foco, Qt::Key(tecla), Qt::AltModifier);
        if (gris) {
            QTest::qWait(200);
            QCOMPARE(pulsado.count(), 0);
        } else {
            QTRY_COMPARE(pulsado.count(), 1);
        }
        QVERIFY(!p.f->menuBar()->activeAction());  // no menu opened
    }

    void el_monitor_no_se_mueve_al_sondear() {
        Programa p;
        auto* m = new Supervisor(p.b.ctx);
        p.f->Mostrar_Hija(m);
        m->layout()->activate();
        const QList<QWidget*> quietos = {m->Lectura, m->Label2, m->Intervalo, m->Fecha, m->Modo};
        QList<QRect> antes;
        for (QWidget* w : quietos) antes << w->geometry();
        m->Leyendo->show();
        m->Deriva_Reloj->setText(
            QStringLiteral("Reloj del equipo: 12 días 23 h adelantado respecto del PC"));
        m->Memoria_Llena->setText(QStringLiteral("Memoria llena aprox. el 14/03/27 10:15"));
        m->layout()->activate();
        for (int i = 0; i < quietos.size(); ++i) QCOMPARE(quietos[i]->geometry(), antes[i]);
        for (QLabel* l : {m->Deriva_Reloj, m->Memoria_Llena})
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
        QVERIFY(m->Leyendo->width() >= m->Leyendo->sizeHint().width());
    }

    void titulos_enteros_data() {
        QTest::addColumn<QString>("ventana");
        for (const char* v : {"fecha", "hora", "intervalo", "opciones"}) Fila(v, v);
    }
    void titulos_enteros() {
        QFETCH(QString, ventana);
        Programa p;
        QWidget* w = Ventana(ventana, p);
        p.f->Mostrar_Hija(w);
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        QVERIFY(sub);
        QStyleOptionTitleBar opt;
        opt.initFrom(sub);
        opt.text = sub->windowTitle();
        opt.subControls = QStyle::SC_All;
        opt.titleBarFlags = sub->windowFlags();
        opt.titleBarState = sub->windowState();
        opt.rect = QRect(0, 0, sub->width(),
                         sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, sub));
        const QRect texto =
            sub->style()->subControlRect(QStyle::CC_TitleBar, &opt, QStyle::SC_TitleBarLabel, sub);
        QFont f = QApplication::font("QMdiSubWindowTitleBar");
        f.setBold(true);
        QVERIFY2(QFontMetrics(f).horizontalAdvance(opt.text) <= texto.width(),
                 qPrintable(opt.text));
    }

    void una_ventana_hija_nunca_sale_del_area() {
        Programa p;
        p.f->Mostrar_Hija(new QLabel(QStringLiteral("primera")));
        auto* grande = new QLabel(QStringLiteral("grande"));
        grande->resize(3000, 2000);
        p.f->Mostrar_Hija(grande);
        auto* sub = qobject_cast<QMdiSubWindow*>(grande->parentWidget());
        QVERIFY(p.f->Area()->viewport()->rect().contains(sub->geometry()));
    }

    // A tool window opens beside the one that opened it, wholly visible, and Escape closes it.
    void herramienta_junto_a_quien_la_abre_data() {
        Columnas<QPoint, QString>({"abridora", "lado"});
        Fila("a la derecha", QPoint(0, 0), "derecha");
        Fila("a la izquierda", QPoint(600, 0), "izquierda");
        Fila("debajo", QPoint(300, 0), "debajo");
    }
    void herramienta_junto_a_quien_la_abre() {
        QFETCH(QPoint, abridora);
        QFETCH(QString, lado);
        Programa p;
        p.f->resize(1000, 720);
        auto* primera = new QLabel(QStringLiteral("abridora"));
        primera->resize(360, 300);
        p.f->Mostrar_Hija(primera);
        auto* sub_a = qobject_cast<QMdiSubWindow*>(primera->parentWidget());
        sub_a->move(abridora);
        auto* herramienta = new QLabel(QStringLiteral("herramienta"));
        herramienta->resize(360, 300);
        Mostrar_Junto_A(primera, herramienta);
        Cerrar_Con_Escape(herramienta);
        QPointer<QMdiSubWindow> sub_h = qobject_cast<QMdiSubWindow*>(herramienta->parentWidget());
        QVERIFY(p.f->Area()->viewport()->rect().contains(sub_h->geometry()));
        const QRect a = sub_a->geometry(), h = sub_h->geometry();
        QVERIFY(!a.intersects(h));
        QCOMPARE(lado, h.left() > a.right()   ? QStringLiteral("derecha")
                       : h.right() < a.left() ? QStringLiteral("izquierda")
                                              : QStringLiteral("debajo"));

        p.f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.f));
        sub_h->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!sub_h || !sub_h->isVisible());
        QVERIFY(sub_a->isVisible());
    }

    void el_expansor_se_abre_maximizado_y_fijo() {
        Programa p;
        p.f->IDC_DESCOMPRIME_Click();
        auto* d = p.Hija<Descompresor>();
        QVERIFY(d);
        auto* sub = qobject_cast<QMdiSubWindow*>(d->parentWidget());
        QVERIFY(sub->isMaximized());
        QVERIFY(
            !(sub->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));
        QVERIFY(!sub->systemMenu());
    }

    void acerca_de_solo_informacion_real() {
        Estado e;
        e.Directorio_Datos = QStringLiteral("/home/ana/AQ-TIDE/DATOS");
        e.Directorio_Bak = QStringLiteral("/home/ana/AQ-TIDE/BAK");
        QCOMPARE(Texto_Acerca_De(e, QStringLiteral("/home/ana/.config/aqtide/win.ini"),
                                 QStringLiteral("/home/ana/AQ-TIDE/Help.html"), QDate(2026, 12, 7)),
                 QStringLiteral("AQTIDE versión 1.0.17\n\nBrisna Ingeniería\n"
                                "Desarrollo: equipo de programación AQ-TIDE\n\n"
                                "Compilado el 07/12/2026\n"
                                "Licencia: todos los derechos reservados\n"
                                "Configuración: /home/ana/.config/aqtide/win.ini\n"
                                "Datos: /home/ana/AQ-TIDE/DATOS\n"
                                "Resguardos: /home/ana/AQ-TIDE/BAK\r"
                                "Manual: /home/ana/AQ-TIDE/Help.html\r"));
        // the box itself: a real build date, never a placeholder
        Programa p;
        p.f->IDC_ACERCA_Click();
        QCOMPARE(p.b.dialogos.cajas.size(), 1);
        QVERIFY(!p.b.dialogos.cajas[0].texto.contains(QStringLiteral("Compilado el \n")));
        QCOMPARE(p.b.dialogos.cajas[0].titulo, QStringLiteral("Brisna Ingeniería - AQ-TIDE 1.0"));
    }

    void manual_de_un_paquete_instalado() {
        // The program in <prefijo>/bin, the manual in <prefijo>/share/aqtide.
        const QString compartido = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                   QStringLiteral("/../share/aqtide/Help.html"));
        const bool creado = !QFileInfo::exists(compartido);
        if (creado) {
            QVERIFY(QDir().mkpath(QFileInfo(compartido).path()));
            QFile f(compartido);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const auto limpiar = qScopeGuard([&] {
            if (!creado) return;
            QFile::remove(compartido);
            QDir().rmpath(QFileInfo(compartido).path());
        });
        QTemporaryDir raiz;
        Programa p;
        p.b.estado.Directorio_Raiz = raiz.path();
        p.b.ayuda.falla = QStringLiteral("No se encontró el manual de ayuda");
        p.f->mnuManual_Click();
        QCOMPARE(p.b.ayuda.abiertos, QStringList{compartido});
        QCOMPARE(p.b.dialogos.Textos(), QStringList{p.b.ayuda.falla});
        p.b.ayuda.falla.clear();

        // the user's own copy in the program folder comes first
        const QString propio = QDir(raiz.path()).filePath(QStringLiteral("Help.html"));
        QFile f(propio);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        p.f->mnuManual_Click();
        QCOMPARE(p.b.ayuda.abiertos.last(), propio);
        QCOMPARE(p.b.dialogos.cajas.size(), 1);
    }

    // Leaving sends the command of the mode the logger reports (nothing more when it is silent)
    // and closes the port; an open dialog does not bring the monitor back on the way out.
    void salir_deja_el_equipo_en_su_modo_data() {
        Columnas<QByteArray, bool, QList<QByteArray>>({"modo", "dialogo", "linea"});
        using L = QList<QByteArray>;
        Fila("registro", QByteArray("RE"), false, L{"L", "RRR"});
        Fila("ajuste", QByteArray("AJ"), false, L{"L", "AAA"});
        Fila("mudo", QByteArray(), false, L{"L", U32});
        Fila("con un diálogo abierto", QByteArray("AJ"), true, L{"L", "AAA"});
    }
    void salir_deja_el_equipo_en_su_modo() {
        QFETCH(QByteArray, modo);
        QFETCH(bool, dialogo);
        Programa p;
        p.f->Form_Load();
        if (!modo.isEmpty()) {
            p.b.puerto.Responder(
                "L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo));
            p.b.puerto.Responder(modo == "RE" ? "RRR" : "AAA", Resp_OK);
        }
        if (dialogo) p.f->Mostrar_Hija(new Prog_Hora(p.b.ctx));
        p.b.puerto.Olvidar_Escrituras();
        QVERIFY(p.f->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p.Hija<Supervisor>());
        QTEST(p.b.puerto.Comandos(), "linea");
        QVERIFY(!p.b.puerto.PortOpen());
    }

    void opciones_prueba_los_puertos() {
        Programa p;
        p.b.estado.Puerto_Com = 3;
        p.b.puerto.puertos_ocupados = {3, 4};
        p.f->Form_Load();
        p.f->IDC_SETUP_Click();
        auto* o = p.Hija<Opciones>();
        QVERIFY(o);
        QVERIFY(!p.b.puerto.PortOpen());
        QVERIFY(!p.f->Habilitado(Item_Menu::IDC_MENU));
        QVERIFY(o->Option[1]->isEnabled() && o->Option[2]->isEnabled());
        QVERIFY(!o->Option[3]->isEnabled() && !o->Option[4]->isEnabled());
        QVERIFY(o->Option[3]->isChecked());  // the configured one stays selected

        o->Option[2]->setChecked(true);
        o->Boton_Aceptar_Click();
        QCOMPARE(p.b.dialogos.cajas.last().texto,
                 QStringLiteral("Opciones actualizadas en Win.ini"));
        QCOMPARE(p.b.dialogos.cajas.last().titulo, QStringLiteral("Grabar Opciones"));
        QCOMPARE(p.b.perfil.secciones["BRISNA AQ-TIDE 1.0"]["MSComm1_PORT"], QStringLiteral("2"));
        QVERIFY(p.b.puerto.PortOpen());
        QCOMPARE(p.b.puerto.CommPort(), 2);
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));
        QVERIFY(p.Hija<Inicial>());  // the link is checked again

        // a failed write is reported, and the dialog still closes
        p.b.perfil.falla_escritura = true;
        p.f->IDC_SETUP_Click();
        p.Hija<Opciones>()->Boton_Aceptar_Click();
        QCOMPARE(p.b.dialogos.cajas.last().texto,
                 QStringLiteral("Error  al intentar escribir en Win.ini"));
        QVERIFY(!p.Hija<Opciones>());
    }

    // What the user can do while "Enlace establecido" shows: nothing crashes, at most one
    // monitor, nothing on the line but what the chosen action itself sends.
    void durante_enlace_establecido_data() {
        Columnas<QString, int, QList<QByteArray>>({"accion", "monitores", "linea"});
        using L = QList<QByteArray>;
        Fila("cerrar la ventana", "cerrar", 0, L{U32, "V"});
        Fila("salir", "salir", 0, L{U32, "V", "L", "AAA"});
        Fila("monitor", "monitor", 1, L{U32, "V", U32});
        Fila("recolectar", "recolectar", 0, L{U32, "V", U32});
        Fila("nada", "", 1, L{U32, "V", U32});
    }
    void durante_enlace_establecido() {
        QFETCH(QString, accion);
        Programa p;
        p.b.puerto.Responder_Enlace();
        p.b.puerto.Responder("V", Resp_VERSION);
        p.b.puerto.Responder("L", Bloque_Estado());
        p.b.puerto.Responder("AAA", Resp_OK);
        p.f->Form_Load();
        QPointer<Inicial> inicial = p.Hija<Inicial>();
        QVERIFY(inicial);
        bool hecho = false;
        p.b.reloj.al_ceder = [&] {
            if (hecho || !inicial ||
                inicial->Label2->text() != QStringLiteral("Enlace establecido"))
                return;
            hecho = true;
            if (accion == "cerrar")
                p.f->Area()->subWindowList().first()->close();
            else if (accion == "salir")
                p.f->IDC_SALIR_Click();
            else if (accion == "monitor")
                p.f->IDC_PROGRAMADOR_Click();
            else if (accion == "recolectar")
                p.f->IDC_DUMP_Click();
        };
        inicial->Timer1_Timer();
        p.b.reloj.al_ceder = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(accion.isEmpty() || hecho);
        int vistos = 0;
        for (QMdiSubWindow* s : p.f->Area()->subWindowList())
            if (qobject_cast<Supervisor*>(s->widget())) ++vistos;
        QTEST(vistos, "monitores");
        // A monitor polls later; here only what was sent up to the hand-over counts.
        QTEST(p.b.puerto.Comandos(), "linea");
    }

    void opciones_en_la_primera_vez() {
        Programa p(true);
        p.f->Form_Load();
        QVERIFY(p.f->Abrir_Opciones());
        auto* o = p.Hija<Opciones>();
        for (int n = 1; n <= 4; ++n) QVERIFY(!o->Option[n]->isChecked());

        // cancelling without a port keeps the dialog
        o->Boton_Cancelar_Click();
        QVERIFY(p.Hija<Opciones>());
        QCOMPARE(p.b.dialogos.cajas.last().texto,
                 QStringLiteral("No ha seleccionado ningún puerto de comunicaciones.\n"
                                "Deberá seleccionar uno para poder continuar\n"));
        // the close box behaves alike
        p.f->Area()->subWindowList().first()->close();
        QVERIFY(p.Hija<Opciones>());

        // Comm 2 then Cancel: used for this run, not written, no link check
        o->Option[2]->setChecked(true);
        o->Boton_Cancelar_Click();
        QVERIFY(!p.Hija<Opciones>());
        QCOMPARE(p.b.estado.Puerto_Com, 2);
        QVERIFY(p.b.perfil.secciones.isEmpty());
        QVERIFY(!p.Hija<Inicial>());
        QVERIFY(!p.b.estado.Instalando);
        QVERIFY(p.b.puerto.PortOpen());

        // Accept with nothing chosen on a first run stores port 1
        Programa q(true);
        QVERIFY(q.f->Abrir_Opciones());
        q.Hija<Opciones>()->Boton_Aceptar_Click();
        QCOMPARE(q.b.estado.Puerto_Com, 1);
        QCOMPARE(q.b.perfil.secciones["BRISNA AQ-TIDE 1.0"]["MSComm1_PORT"], QStringLiteral("1"));
        QVERIFY(q.Hija<Inicial>());
    }
};

QTEST_MAIN(Tst_Fondo)
#include "tst_fondo.moc"
