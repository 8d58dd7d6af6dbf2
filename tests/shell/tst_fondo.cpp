#include <QtTest>

#include <QMdiArea>
#include <QMdiSubWindow>

#include "dobles/fondo_falso.h"
#include "link/enlace.h"
#include "link/ui/espere.h"
#include "link/ui/inicial.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/supervisor.h"
#include "shell/ui/fondo.h"
#include "shell/ui/opciones.h"

using namespace aq;

// The main window, its menu rules, the exit sequence and the port options dialog.
class Tst_Fondo : public QObject {
    Q_OBJECT

    const QByteArray U32 = QByteArray(32, 'U');

    struct Programa {
        Banco b;
        Fondo* f;
        int terminado = 0;
        explicit Programa(bool instalando = false) {
            b.estado.Instalando = instalando;
            b.estado.Puerto_Com = instalando ? 0 : 1;
            b.puerto.setPortOpen(false);
            f = new Fondo(b.ctx);
            f->Terminar_Programa = [this] { ++terminado; };
            f->show();
        }
        ~Programa() { delete f; }
        template <class T>
        T* Hija() const {
            for (QMdiSubWindow* s : f->Area()->subWindowList())
                if (auto* w = qobject_cast<T*>(s->widget())) return w;
            return nullptr;
        }
    };

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
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_SETUP));
        QVERIFY(!p.Hija<Supervisor>());

        p.f->IDC_DUMP_Click();
        QVERIFY(p.b.dialogos.cajas[1].texto.startsWith("Error 017, El equipo no responde.\n"));
        QVERIFY(p.b.dialogos.cajas[1].texto.endsWith(
            QStringLiteral("o cambie de puerto.\r\nAdemás, verifique el enlace.\r")));

        p.b.puerto.Responder_Enlace();
        p.f->IDC_PROGRAMADOR_Click();
        QVERIFY(p.Hija<Supervisor>());
        QVERIFY(!p.f->Habilitado(Item_Menu::IDC_SETUP));
        QVERIFY(!p.f->Habilitado(Item_Menu::IDC_MENU));
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

    void manual_de_ayuda() {
        QTemporaryDir dir;
        Programa p;
        p.b.estado.Directorio_Raiz = dir.path();
        p.b.ayuda.falla = QStringLiteral("No se encontró el manual de ayuda");
        p.f->mnuManual_Click();
        QCOMPARE(p.b.ayuda.abiertos.size(), 1);
        QCOMPARE(p.b.dialogos.Textos(), QStringList{p.b.ayuda.falla});
        QCOMPARE(QDir::currentPath(), QDir(dir.path()).canonicalPath());
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
        p.f->mnuManual_Click();
        QCOMPARE(p.b.ayuda.abiertos, QStringList{compartido});

        // the user's own copy in the program folder comes first
        const QString propio = QDir(raiz.path()).filePath(QStringLiteral("Help.html"));
        QFile f(propio);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        p.f->mnuManual_Click();
        QCOMPARE(p.b.ayuda.abiertos.last(), propio);
        QVERIFY(p.b.dialogos.Textos().isEmpty());
    }

    void salir_deja_el_equipo_en_su_modo() {
        for (const QByteArray& modo : {QByteArray("RE"), QByteArray("AJ")}) {
            Programa p;
            p.f->Form_Load();
            p.b.puerto.Responder(
                "L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo));
            p.b.puerto.Responder(modo == "RE" ? "RRR" : "AAA", Resp_OK);
            p.b.puerto.Olvidar_Escrituras();
            QVERIFY(p.f->close());
            QCOMPARE(p.b.puerto.Comandos(), (QList<QByteArray>{"L", modo == "RE" ? "RRR" : "AAA"}));
            QVERIFY(!p.b.puerto.PortOpen());
        }
        // no logger: only the status request, then the port closes
        Programa mudo;
        mudo.f->Form_Load();
        mudo.b.puerto.Olvidar_Escrituras();
        QVERIFY(mudo.f->close());
        QCOMPARE(mudo.b.puerto.Comandos(), (QList<QByteArray>{"L", U32}));
    }

    void salir_con_un_dialogo_abierto_no_reabre_el_monitor() {
        Programa p;
        p.b.puerto.setPortOpen(true);
        p.b.puerto.Responder("L", Bloque_Estado());
        p.b.puerto.Responder("AAA", Resp_OK);
        p.f->Mostrar_Hija(new Prog_Hora(p.b.ctx));
        p.b.puerto.Olvidar_Escrituras();
        QVERIFY(p.f->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p.Hija<Supervisor>());
        QVERIFY(!p.b.puerto.Comandos().contains("H09:05"));
        QCOMPARE(p.b.puerto.Comandos(), (QList<QByteArray>{"L", "AAA"}));
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

    void sin_puertos_libres_termina() {
        Programa p(true);
        p.b.puerto.puertos_ocupados = {1, 2, 3, 4};
        QVERIFY(!p.f->Abrir_Opciones());
        QCOMPARE(p.terminado, 1);
        QVERIFY(p.b.dialogos.cajas[0].texto.startsWith(
            QStringLiteral("No hay ningún puerto de comunicaciones disponible.\n")));
    }
};

QTEST_MAIN(Tst_Fondo)
#include "tst_fondo.moc"
