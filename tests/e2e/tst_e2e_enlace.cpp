#include <QtTest>

#include "apoyo_sim.h"

using namespace aq;

// The program's start-up over the real line to the simulated logger.
class Tst_E2e_Enlace : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void saludo_monitor_y_salida() {
        ARRANCAR_SIMULADOR("--rapido");
        Programa_En_Linea p(sim.esclavo, true);
        QVERIFY(p.puerto.PortOpen());
        // greeting, 2 s of "Enlace establecido", link check, then the first poll
        Supervisor* m = nullptr;
        ESPERAR_MONITOR(p, m);
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));
        QCOMPARE(m->Modo->text(), QStringLiteral("Equipo en Modo AJUSTE"));
        QVERIFY(m->Pasar_Registro->isEnabled());
        // The logger's date, not the placeholder "-- / -- / --".
        QVERIFY2(QRegularExpression("^\\d\\d/\\d\\d/\\d\\d$").match(m->Fecha->text()).hasMatch(),
                 qPrintable(m->Fecha->text()));
        QVERIFY(p.f->Es_Visible(Item_Menu::IDC_SETUP));
        QVERIFY(p.f->close());
        QVERIFY(!p.puerto.PortOpen());
    }
};

QTEST_MAIN(Tst_E2e_Enlace)
#include "tst_e2e_enlace.moc"
