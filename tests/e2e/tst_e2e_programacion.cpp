#include <QtTest>

#include "apoyo_sim.h"
#include "monitor/ui/prog_fecha.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/prog_intervalo.h"

using namespace aq;

// "hh:mm" equal to the programmed time or one minute later (the logger's clock runs on).
static bool Hora_Cercana(const QString& mostrada, int hora, int minuto) {
    const QTime t(hora, minuto);
    return mostrada == t.toString("hh:mm") || mostrada == t.addSecs(60).toString("hh:mm");
}

// Programming the logger through the monitor's dialogs, over the real line to the simulator.
class Tst_E2e_Programacion : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void fecha_hora_intervalo_y_modo() {
        ARRANCAR_SIMULADOR("--rapido", "--detalle", "--fecha", "15/03/24", "--hora", "10:20",
                           "--intervalo", "2");
        Programa_En_Linea p(sim.esclavo);
        p.f->IDC_PROGRAMADOR_Click();
        Supervisor* m = nullptr;
        ESPERAR_MONITOR(p, m);
        QCOMPARE(m->Fecha->text(), QStringLiteral("15/03/24"));
        QVERIFY2(Hora_Cercana(m->Hora->text(), 10, 20), qPrintable(m->Hora->text()));
        QCOMPARE(m->Intervalo->text(), QStringLiteral("15 min  "));
        QVERIFY(!m->Pasar_Ajuste->isEnabled());

        // Date: the monitor gives way to the dialog (which starts from what the last poll left,
        // as the dialogs' own test shows); 29 February of a leap year.
        m->Programar_Fecha_Click();
        auto* fecha = p.Hija<Prog_Fecha>();
        QVERIFY(fecha && !p.Hija<Supervisor>() && !p.f->Habilitado(Item_Menu::IDC_MENU));
        fecha->Anio->setText(QStringLiteral("28"));
        fecha->Anio_LostFocus();
        fecha->Combo_Mes->setCurrentIndex(1);
        fecha->Combo_Dia->setCurrentIndex(28);
        fecha->Boton_Aceptar_Click();
        ESPERAR_MONITOR(p, m);
        QCOMPARE(m->Fecha->text(), QStringLiteral("29/02/28"));

        // Time: leading zeros on both fields.
        m->Programar_Hora_Click();
        auto* hora = p.Hija<Prog_Hora>();
        QVERIFY(hora);
        hora->Combo_Horas->setCurrentIndex(9);
        hora->Combo_Minutos->setCurrentIndex(5);
        hora->Boton_Aceptar_Click();
        ESPERAR_MONITOR(p, m);
        QVERIFY2(Hora_Cercana(m->Hora->text(), 9, 5), qPrintable(m->Hora->text()));
        QCOMPARE(m->Fecha->text(), QStringLiteral("29/02/28"));

        m->Programador_Intervalo_Click();
        auto* intervalo = p.Hija<Prog_Intervalo>();
        QVERIFY(intervalo);
        intervalo->Intervalo->setCurrentIndex(5);
        intervalo->Boton_Aceptar_Click();
        ESPERAR_MONITOR(p, m);
        QCOMPARE(m->Intervalo->text(), QStringLiteral("2 hrs.  "));
        QCOMPARE(p.estado.Intervalo_Equipo, 5);
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));

        // What the logger received, in order.
        const QString registro = sim.Errores();
        const qsizetype f = registro.indexOf("recibido \"F29/02/28\""),
                        h = registro.indexOf("recibido \"H09:05\""),
                        i = registro.indexOf("recibido \"I5\"");
        QVERIFY2(f >= 0 && f < h && h < i, qPrintable(registro));

        // Into REGISTRO: the mode shown is the one the next poll reads.
        m->Pasar_Registro_Click();
        QCOMPARE(m->Modo->text(), QStringLiteral("Equipo en Modo REGISTRO"));
        QCOMPARE(p.estado.Modo_Equipo, QStringLiteral("RE"));
        QVERIFY(m->Pasar_Ajuste->isEnabled() && !m->Pasar_Registro->isEnabled());
        QVERIFY(m->Timer1->isActive());
        QCOMPARE(p.dialogos.cajas.size(), 1);
    }
};

QTEST_MAIN(Tst_E2e_Programacion)
#include "tst_e2e_programacion.moc"
