#include <QtTest>

#include <QMdiArea>
#include <QMdiSubWindow>

#include "apoyo_sim.h"
#include "link/enlace.h"
#include "monitor/ui/supervisor.h"
#include "shell/ui/fondo.h"

using namespace aq;

// The real serial code against the simulated logger on a pseudo-terminal.
class Tst_E2e_Enlace : public QObject {
    Q_OBJECT

    struct Programa {
        Estado estado;
        Linea_Real linea;
        Dialogos_Guionados dialogos;
        Ayuda_Registro ayuda;
        Contexto ctx{estado, linea.puerto, linea.reloj, dialogos, linea.perfil, ayuda, nullptr};
        Fondo* f = nullptr;
        explicit Programa(const QString& dispositivo) : linea(dispositivo) {
            estado.Puerto_Com = 1;
            f = new Fondo(ctx);
            f->show();
            f->Form_Load();
        }
        ~Programa() { delete f; }
        Supervisor* Monitor() const {
            for (QMdiSubWindow* s : f->Area()->subWindowList())
                if (auto* w = qobject_cast<Supervisor*>(s->widget())) return w;
            return nullptr;
        }
    };

  private Q_SLOTS:
    void intercambio_directo() {
        Simulador_En_Marcha sim({"--rapido"});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Linea_Real l(sim.Esclavo());
        QVERIFY(l.puerto.setPortOpen(true));
        auto enviar = [&](const QByteArray& c, int n) {
            return Enviar_Comando(l.puerto, l.reloj, c, n);
        };
        QCOMPARE(enviar(Cadena_Enlace, 4), Resp_OK);
        QCOMPARE(enviar("V", 13), Resp_VERSION);
        const QByteArray estado = enviar("L", Largo_Estado);
        QCOMPARE(estado.size(), Largo_Estado);
        QVERIFY(Modo_De_Estado(estado) == "AJ");
        QCOMPARE(enviar("XYZ", 4), Resp_DESCONOCIDO);
        QCOMPARE(l.puerto.InputLen(), 0);
    }

    void saludo_monitor_y_salida() {
        Simulador_En_Marcha sim({"--rapido"});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa p(sim.Esclavo());
        QVERIFY(p.linea.puerto.PortOpen());
        // greeting, 2 s of "Enlace establecido", link check, then the first poll
        QTRY_VERIFY_WITH_TIMEOUT(p.Monitor() && p.Monitor()->Timer1->interval() == 6000, 15000);
        Supervisor* m = p.Monitor();
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));
        QCOMPARE(m->Modo->text(), QStringLiteral("Equipo en Modo AJUSTE"));
        QVERIFY(m->Pasar_Registro->isEnabled());
        QVERIFY(m->Fecha->text().contains('/'));
        QVERIFY(p.f->Es_Visible(Item_Menu::IDC_SETUP));
        QVERIFY(p.f->close());
        QVERIFY(!p.linea.puerto.PortOpen());
    }

    void equipo_mudo() {
        Simulador_En_Marcha sim({"--rapido", "--mudo"});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa p(sim.Esclavo());
        QElapsedTimer t;
        t.start();
        QTRY_VERIFY_WITH_TIMEOUT(!p.dialogos.cajas.isEmpty(), 15000);
        QVERIFY(p.dialogos.cajas[0].texto.startsWith("Error 001, el equipo no responde.\n"));
        // about 5.5 s: half a second, 2 s, 1 s, 2 s
        QVERIFY2(t.elapsed() > 5400 && t.elapsed() < 7500,
                 qPrintable(QString::number(t.elapsed())));
        QVERIFY(!p.Monitor());
    }
};

QTEST_MAIN(Tst_E2e_Enlace)
#include "tst_e2e_enlace.moc"
