#include <QtTest>

#include <QPointer>
#include <QTemporaryDir>

#include "apoyo_sim.h"
#include "memory/ui/borrar_memoria.h"
#include "memory/ui/memo.h"
#include "monitor/operaciones.h"

using namespace aq;

namespace {

// What the user does once the program is on the line.
enum class Accion { Saludo, Monitor, Borrado };

bool Monitor_Leido(Programa_En_Linea& p) {
    Supervisor* m = p.Hija<Supervisor>();
    return m && m->Timer1->interval() == 6000 && !m->Leyendo->isVisible();
}

// Opens the monitor from the menu and lets its first poll run; false when it did not open or
// the poll closed it.
bool Abrir_Monitor(Programa_En_Linea& p) {
    p.f->IDC_PROGRAMADOR_Click();
    QElapsedTimer t;
    t.start();
    while (p.Hija<Supervisor>() && !Monitor_Leido(p) && t.elapsed() < 15000) QTest::qWait(20);
    return Monitor_Leido(p);
}

// As after a good download of the three example blocks: the erase window, its erase, which
// must fail (the window stays for a retry), and "&Cerrar". False when a step went otherwise.
bool Borrado_Fallido(Programa_En_Linea& p) {
    p.estado.Memoria_Leida = true;
    p.estado.Lugares_Vacios = 4082;
    p.f->IDC_BORRAR_Click();
    QPointer<Borrar_Memoria> b = p.Hija<Borrar_Memoria>();
    if (!b) return false;
    b->Command1_Click();
    if (!b) return false;
    b->Command2_Click();
    return QTest::qWaitFor([&] { return !p.Hija<Borrar_Memoria>(); }, 5000);
}

}  // namespace

Q_DECLARE_METATYPE(Accion)

// Faults of the line, met through the windows over a real pseudo-terminal: the boxes the user
// sees, what stays open, and the line still answering afterwards. What each reply means is the
// operations' own test, over a scripted line.
class Tst_E2e_Fallas : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void falla_data() {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<Accion>("accion");
        QTest::addColumn<QStringList>("cajas");  // the start of each box, in order
        QTest::addColumn<bool>("monitor_abierto");
        QTest::addColumn<bool>("responde_despues");  // a status request afterwards is answered

        const QStringList ninguna;
        const char* desconocida = "El equipo retorna una RESPUESTA DESCONOCIDA.\n";
        auto fila = [](const char* n, QStringList sim) -> QTestData& {
            return QTest::newRow(n) << (QStringList{"--rapido"} + sim);
        };

        fila("saludo: firmware ajeno", {"--version", "AQ-TIDE 2.3"})
            << Accion::Saludo
            << QStringList{"Este software no es compatible\ncon la versión AQ-TIDE 2.3 de firmware"}
            << false << true;
        fila("monitor: ruido delante", {"--ruido", "40"})
            << Accion::Monitor << ninguna << true << true;
        fila("monitor: checksum malo dos veces", {"--checksum-malo", "2"})
            << Accion::Monitor << ninguna << true << true;
        fila("monitor: checksum siempre malo", {"--checksum-malo", "1000"})
            << Accion::Monitor << QStringList{QString("Error 004, ") + desconocida} << false
            << false;
        fila("monitor: estado mudo tras el enlace", {"--mudo-a", "L"})
            << Accion::Monitor << QStringList{QString("Error 004, ") + desconocida} << false
            << false;
        fila("monitor: enlace mudo", {"--mudo-a", "U"})
            << Accion::Monitor << QStringList{"Error 018, El equipo no responde."} << false << true;

        const QString confirmar_borrado =
            "Se dispone a borrar la memoria.\nConfirma el borrado ?\n";
        fila("borrado: mudo", {"--mudo-a", "BBB"})
            << Accion::Borrado
            << QStringList{confirmar_borrado,
                           "Error 022, El equipo no responde, verifique el "
                           "enlace y reintente el borrado"}
            << false << true;
    }

    void falla() {
        QFETCH(QStringList, sim);
        QFETCH(Accion, accion);
        QFETCH(QStringList, cajas);
        QFETCH(bool, monitor_abierto);
        Simulador_En_Marcha logger(sim);
        QVERIFY2(!logger.esclavo.isEmpty(), qPrintable(logger.Errores()));
        Programa_En_Linea p(logger.esclavo, accion == Accion::Saludo);
        QElapsedTimer reloj;
        reloj.start();

        switch (accion) {
            case Accion::Saludo:
                QTRY_VERIFY_WITH_TIMEOUT(!p.dialogos.cajas.isEmpty() || Monitor_Leido(p), 20000);
                break;
            case Accion::Monitor:
                Abrir_Monitor(p);
                break;
            case Accion::Borrado:
                QVERIFY(Borrado_Fallido(p));
                break;
        }
        // No fault takes longer than the retries of one command and the erase's own time.
        QVERIFY2(reloj.elapsed() < 15000, qPrintable(QString::number(reloj.elapsed())));

        const QStringList vistas = p.dialogos.Textos();
        QCOMPARE(vistas.size(), cajas.size());
        for (int i = 0; i < cajas.size(); ++i)
            QVERIFY2(vistas[i].startsWith(cajas[i]), qPrintable(vistas[i]));
        QCOMPARE(p.Hija<Supervisor>() != nullptr, monitor_abierto);
        if (!monitor_abierto) QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));

        // The line is still the program's: a status request gets its answer.
        QFETCH(bool, responde_despues);
        if (responde_despues) {
            if (Supervisor* m = p.Hija<Supervisor>()) m->Timer1->stop();
            QCOMPARE(int(Consultar_Estado(p.ctx).fin), int(Fin_Estado::Leido));
        }
    }

    // The line goes down while the logger erases: the failure is told, nothing claims the
    // memory erased, and the logger plugged in again is reached from the menu.
    void linea_cerrada_durante_el_borrado() {
        QTemporaryDir tmp;
        const QString enlace = tmp.filePath("ttyAQ");
        auto sim = std::make_unique<Simulador_En_Marcha>(
            QStringList{"--rapido", "--enlace", enlace, "--cerrar-tras", "BBB"});
        QVERIFY(!sim->esclavo.isEmpty());
        Programa_En_Linea p(enlace);
        QVERIFY(Borrado_Fallido(p));
        QCOMPARE(p.dialogos.Textos().value(1),
                 QString("Error 022, El equipo no responde, verifique el enlace y reintente el "
                         "borrado"));
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));

        sim = std::make_unique<Simulador_En_Marcha>(QStringList{"--rapido", "--enlace", enlace});
        QVERIFY(!sim->esclavo.isEmpty());
        QVERIFY2(Abrir_Monitor(p), qPrintable(p.dialogos.Textos().join('|')));
        QCOMPARE(p.dialogos.cajas.size(), 2);
    }

    // The adapter pulled out while the monitor polls: one box, the monitor closes, the menu is
    // back, and once the adapter is back the monitor opens again on the same port.
    void equipo_retirado_durante_el_monitoreo() {
        QTemporaryDir tmp;
        const QString enlace = tmp.filePath("ttyAQ");
        auto sim = std::make_unique<Simulador_En_Marcha>(QStringList{"--enlace", enlace});
        QVERIFY(!sim->esclavo.isEmpty());
        Programa_En_Linea p(enlace);
        QVERIFY(Abrir_Monitor(p));
        sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!p.Hija<Supervisor>(), 15000);
        QCOMPARE(p.dialogos.Textos(),
                 QStringList{"Error 003, el equipo no responde.\n"
                             "Verifique el enlace y reinicie el procedimiento"});
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));

        sim = std::make_unique<Simulador_En_Marcha>(QStringList{"--rapido", "--enlace", enlace});
        QVERIFY(!sim->esclavo.isEmpty());
        QVERIFY2(Abrir_Monitor(p), qPrintable(p.dialogos.Textos().join('|')));
        QCOMPARE(p.Hija<Supervisor>()->Modo->text(), QString("Equipo en Modo AJUSTE"));
    }

    // One character more than the dump's length: the memory arrives whole and verified,
    // whether the wait stopped on the exact length or ran its full time because the count went
    // past it, and the stray character does not spoil the closing commands.
    void volcado_con_un_caracter_de_mas() {
        QTemporaryDir tmp;
        for (const char* d : {"DATOS", "BAK"}) QDir(tmp.path()).mkdir(d);
        ARRANCAR_SIMULADOR("--rapido", "--dump-largo", "--detalle");
        Programa_En_Linea p(sim.esclavo);
        p.estado.Directorio_Raiz = tmp.path();
        p.estado.Directorio_Datos = tmp.filePath("DATOS");
        p.estado.Directorio_Bak = tmp.filePath("BAK");
        p.f->IDC_DUMP_Click();
        Memo* memo = p.Hija<Memo>();
        QVERIFY(memo);
        p.dialogos.rutas << tmp.filePath("DATOS/LARGO.csv");
        memo->Command1_Click();
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));
        QVERIFY(p.estado.Memoria_Leida);
        QCOMPARE(memo->Text1->text(), "Datos en: " + tmp.filePath("DATOS/LARGO.csv"));
        QFile respaldo(tmp.filePath("BAK/LARGO.$%c"));
        QVERIFY(respaldo.open(QIODevice::ReadOnly));
        const QList<QByteArray> lineas = respaldo.readAll().split('\n');
        QCOMPARE(lineas.size(), 4100);
        // Unless the wait stopped on the exact length, the stray character ends the last record.
        QVERIFY2(lineas[4098] == "\r" || lineas[4098] == "#\r", lineas[4098].constData());
        memo->Command2_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!p.Hija<Memo>(), 5000);
        // The closing "L" and "AAA" were understood: the logger was left in AJUSTE.
        QString registro;
        QTRY_VERIFY2_WITH_TIMEOUT((registro += sim.Errores()).contains("recibido \"AAA\""),
                                  qPrintable(registro), 5000);
        QVERIFY(Abrir_Monitor(p));
        QCOMPARE(p.dialogos.cajas.size(), 0);
    }
};

QTEST_MAIN(Tst_E2e_Fallas)
#include "tst_e2e_fallas.moc"
