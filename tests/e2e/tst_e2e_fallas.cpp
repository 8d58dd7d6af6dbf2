#include <QtTest>

#include <QTemporaryDir>

#include "apoyo_sim.h"

using namespace aq;

// A fault that only a real line shows, met through the windows over a pseudo-terminal. What
// each reply means is the operations' own test, over a scripted line.
class Tst_E2e_Fallas : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // The adapter pulled out while the monitor polls: one box, the monitor closes, the menu is
    // back, and once the adapter is back the monitor opens again on the same port.
    void equipo_retirado_durante_el_monitoreo() {
        QTemporaryDir tmp;
        const QString enlace = tmp.filePath("ttyAQ");
        auto sim = std::make_unique<Simulador_En_Marcha>(QStringList{"--enlace", enlace});
        QVERIFY(!sim->esclavo.isEmpty());
        Programa_En_Linea p(enlace);
        Supervisor* m = nullptr;
        p.f->IDC_PROGRAMADOR_Click();
        ESPERAR_MONITOR(p, m);
        sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!p.Hija<Supervisor>(), 15000);
        QCOMPARE(p.dialogos.Textos(),
                 QStringList{"Error 003, el equipo no responde.\n"
                             "Verifique el enlace y reinicie el procedimiento"});
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));

        sim = std::make_unique<Simulador_En_Marcha>(QStringList{"--rapido", "--enlace", enlace});
        QVERIFY(!sim->esclavo.isEmpty());
        p.f->IDC_PROGRAMADOR_Click();
        ESPERAR_MONITOR(p, m);
        QCOMPARE(p.dialogos.cajas.size(), 1);
        QCOMPARE(m->Modo->text(), QString("Equipo en Modo AJUSTE"));
    }
};

QTEST_MAIN(Tst_E2e_Fallas)
#include "tst_e2e_fallas.moc"
