#include <QtTest>

#include "apoyo_sim.h"
#include "monitor/ui/prog_fecha.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/prog_intervalo.h"
#include "monitor/ui/supervisor.h"

using namespace aq;

namespace {

// The monitor on view once its first poll is over (the poll itself blocks, so a longer
// interval means it has run).
Supervisor* Monitor_Sondeado(const Programa_En_Linea& p) {
    Supervisor* m = p.Hija<Supervisor>();
    return m && m->Timer1->interval() == 6000 && !m->Leyendo->isVisible() ? m : nullptr;
}

// "hh:mm" equal to the programmed time or one minute later (the logger's clock runs on).
bool Hora_Cercana(const QString& mostrada, int hora, int minuto) {
    const QTime t(hora, minuto);
    return mostrada == t.toString(QStringLiteral("hh:mm")) ||
           mostrada == t.addSecs(60).toString(QStringLiteral("hh:mm"));
}

}  // namespace

#define ESPERAR_MONITOR(p, m) QTRY_VERIFY_WITH_TIMEOUT(((m) = Monitor_Sondeado(p)) != nullptr, 8000)

// Programming the logger through the monitor's dialogs, over the real line to the simulator.
class Tst_E2e_Programacion : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void fecha_hora_e_intervalo() {
        Simulador_En_Marcha sim({"--rapido", "--detalle", "--fecha", "15/03/24", "--hora", "10:20",
                                 "--intervalo", "2"});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa_En_Linea p(sim.Esclavo());
        QVERIFY(p.linea.puerto.PortOpen());
        QString registro;  // what the logger received, in order

        p.f->IDC_PROGRAMADOR_Click();
        Supervisor* m = nullptr;
        ESPERAR_MONITOR(p, m);
        QCOMPARE(m->Fecha->text(), QStringLiteral("15/03/24"));
        QVERIFY2(Hora_Cercana(m->Hora->text(), 10, 20), qPrintable(m->Hora->text()));
        QCOMPARE(m->Intervalo->text(), QStringLiteral("15 min  "));
        QVERIFY(m->Programar_Fecha->isEnabled());

        // Date: a leap year typed in full, then 29 February.
        m->Programar_Fecha_Click();
        auto* fecha = p.Hija<Prog_Fecha>();
        QVERIFY(fecha);
        QVERIFY(!p.Hija<Supervisor>());
        QVERIFY(!p.f->Habilitado(Item_Menu::IDC_MENU));
        QCOMPARE(fecha->Anio->text(), QStringLiteral("24"));
        QCOMPARE(fecha->Combo_Mes->currentIndex(), 2);
        QCOMPARE(fecha->Combo_Dia->currentIndex(), 14);
        fecha->Anio->setText(QStringLiteral("2028"));
        fecha->Anio_LostFocus();
        QCOMPARE(fecha->Anio->text(), QStringLiteral("28"));
        fecha->Combo_Mes->setCurrentIndex(1);
        QCOMPARE(fecha->Combo_Dia->count(), 29);
        fecha->Combo_Dia->setCurrentIndex(28);
        fecha->Boton_Aceptar_Click();
        ESPERAR_MONITOR(p, m);
        QCOMPARE(m->Fecha->text(), QStringLiteral("29/02/28"));
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));

        // Time: leading zeros on both fields.
        m->Programar_Hora_Click();
        auto* hora = p.Hija<Prog_Hora>();
        QVERIFY(hora);
        QCOMPARE(hora->Combo_Horas->currentIndex(), 10);
        hora->Combo_Horas->setCurrentIndex(9);
        hora->Combo_Minutos->setCurrentIndex(5);
        hora->Boton_Aceptar_Click();
        ESPERAR_MONITOR(p, m);
        QVERIFY2(Hora_Cercana(m->Hora->text(), 9, 5), qPrintable(m->Hora->text()));
        QCOMPARE(m->Fecha->text(), QStringLiteral("29/02/28"));

        // Interval: 2 hours, then a cancelled dialog that must send nothing.
        m->Programador_Intervalo_Click();
        auto* intervalo = p.Hija<Prog_Intervalo>();
        QVERIFY(intervalo);
        QCOMPARE(intervalo->Intervalo->currentIndex(), 2);
        intervalo->Intervalo->setCurrentIndex(5);
        intervalo->Boton_Aceptar_Click();
        ESPERAR_MONITOR(p, m);
        QCOMPARE(m->Intervalo->text(), QStringLiteral("2 hrs.  "));
        QCOMPARE(p.estado.Intervalo_Equipo, 5);

        registro += sim.Errores();
        m->Programador_Intervalo_Click();
        intervalo = p.Hija<Prog_Intervalo>();
        QVERIFY(intervalo);
        QCOMPARE(intervalo->Intervalo->currentIndex(), 5);
        intervalo->Intervalo->setCurrentIndex(0);
        intervalo->Boton_Cancelar_Click();
        ESPERAR_MONITOR(p, m);
        QCOMPARE(m->Intervalo->text(), QStringLiteral("2 hrs.  "));
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));

        const QString tras_cancelar = sim.Errores();
        QVERIFY2(!tras_cancelar.contains(QStringLiteral("recibido \"I")),
                 qPrintable(tras_cancelar));
        registro += tras_cancelar;
        for (const char* comando : {"\"F29/02/28\"", "\"H09:05\"", "\"I5\""})
            QVERIFY2(registro.contains(QLatin1String(comando)), comando);
    }

    void respuesta_desconocida_reabre_el_monitor() {
        Simulador_En_Marcha sim({"--rapido", "--hora", "08:00", "--responder", "H=??"});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa_En_Linea p(sim.Esclavo());
        p.f->IDC_PROGRAMADOR_Click();
        Supervisor* m = nullptr;
        ESPERAR_MONITOR(p, m);

        m->Programar_Hora_Click();
        auto* hora = p.Hija<Prog_Hora>();
        QVERIFY(hora);
        hora->Combo_Horas->setCurrentIndex(23);
        hora->Boton_Aceptar_Click();
        QCOMPARE(p.dialogos.cajas.size(), 1);
        QVERIFY(p.dialogos.cajas[0].texto.startsWith(
            "Error 015, El equipo retorna una RESPUESTA DESCONOCIDA.\n"));
        QCOMPARE(p.dialogos.cajas[0].titulo, QStringLiteral("Error en el link"));
        // The logger kept its clock, and the monitor that comes back says so.
        ESPERAR_MONITOR(p, m);
        QVERIFY2(Hora_Cercana(m->Hora->text(), 8, 0), qPrintable(m->Hora->text()));
    }

    void cambio_de_modo() {
        Simulador_En_Marcha sim({"--rapido"});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa_En_Linea p(sim.Esclavo());
        p.f->IDC_PROGRAMADOR_Click();
        Supervisor* m = nullptr;
        ESPERAR_MONITOR(p, m);
        QCOMPARE(m->Modo->text(), QStringLiteral("Equipo en Modo AJUSTE"));
        QVERIFY(!m->Pasar_Ajuste->isEnabled());

        // Cancelled: nothing changes and polling goes on.
        p.dialogos.respuestas << Respuesta::Cancelar;
        m->Pasar_Registro_Click();
        QCOMPARE(m->Modo->text(), QStringLiteral("Equipo en Modo AJUSTE"));
        QVERIFY(m->Timer1->isActive());

        m->Pasar_Registro_Click();
        QCOMPARE(m->Modo->text(), QStringLiteral("Equipo en Modo REGISTRO"));
        QVERIFY(m->Pasar_Ajuste->isEnabled());
        for (QPushButton* b :
             {m->Pasar_Registro, m->Programar_Fecha, m->Programar_Hora, m->Programador_Intervalo})
            QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
        QCOMPARE(p.estado.Modo_Equipo, QStringLiteral("RE"));

        m->Pasar_Ajuste_Click();
        QCOMPARE(m->Modo->text(), QStringLiteral("Equipo en Modo AJUSTE"));
        QVERIFY(m->Pasar_Registro->isEnabled());
        QVERIFY(!m->Pasar_Ajuste->isEnabled());
        QVERIFY(m->Timer1->isActive());

        QCOMPARE(p.dialogos.cajas.size(), 3);
        for (const auto& c : p.dialogos.cajas) {
            QCOMPARE(c.icono, Icono::Exclamacion);
            QCOMPARE(c.botones, Botones::Aceptar_Cancelar);
        }
        QVERIFY(p.dialogos.cajas[1].texto.startsWith("Se dispone a pasar al Modo REGISTRO."));
        QVERIFY(p.dialogos.cajas[2].texto.startsWith("Se dispone a pasar al Modo AJUSTE."));
    }
};

QTEST_MAIN(Tst_E2e_Programacion)
#include "tst_e2e_programacion.moc"
