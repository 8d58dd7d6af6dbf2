#include <QtTest>

#include <QTemporaryDir>

#include "apoyo_sim.h"
#include "memory/ui/memo.h"

using namespace aq;

namespace {

// Two blocks back to back: the 15-minute example starting 10:07 on 15/03/02, and a 20 m block
// of one hour starting 23:30 on 31/12/99 whose readings cross into the year 00.
QStringList Memoria_Esperada() {
    QStringList m;
    for (int w : {0xAA55, 0x0007, 0x020A, 0x070F, 0x0302, 0x0100, 0x0101, 0xAA55, 0x0207, 0x0417,
                  0x1E1F, 0x0C63, 0x0FFF, 0x0001})
        m << QStringLiteral("%1 ").arg(w, 4, 16, QLatin1Char('0')).toUpper();
    return m + QStringList(4096 - m.size(), "FFFF ");
}

// Lines of a file the program wrote (Latin-1); none unless CR LF ends every line.
QStringList Lineas(const QString& ruta) {
    QFile f(ruta);
    QByteArray todo = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (!todo.endsWith("\r\n") || todo.count("\r\n") != todo.count('\n')) return {};
    return QString::fromLatin1(todo.chopped(2).replace("\r\n", "\n")).split('\n');
}

}  // namespace

// The memory download over the real line to the simulator.
class Tst_E2e_Memoria : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void descarga_completa() {
        QTemporaryDir tmp;
        const QString datos = tmp.filePath("DATOS"), bak = tmp.filePath("BAK"),
                      imagen = tmp.filePath("imagen.$%c");
        for (const QString& d : {datos, bak}) QDir().mkpath(d);
        if (QFile f(imagen); f.open(QIODevice::WriteOnly))
            f.write((Memoria_Esperada().join("\r\n") + "\r\n").toLatin1());
        ARRANCAR_SIMULADOR("--memoria", imagen, "--rapido");
        Programa_En_Linea p(sim.esclavo);
        p.estado.Directorio_Raiz = tmp.path();
        p.estado.Directorio_Datos = datos;
        p.estado.Directorio_Bak = bak;
        p.f->IDC_DUMP_Click();
        Memo* memo = p.Hija<Memo>();
        QVERIFY(memo);
        p.dialogos.rutas << datos + "/POZO.csv";
        memo->Command1_Click();
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));
        QVERIFY(p.estado.Memoria_Leida);

        // The backup holds exactly the simulator's memory, then its checksum word (the sum of
        // the characters of those 4096 records, mod 65536, mod 10000); record 4098 is the dump's
        // closing CR LF, so the file ends with two empty lines.
        const QStringList r = Lineas(bak + "/POZO.$%c");
        QCOMPARE(r.mid(0, 4096), Memoria_Esperada());
        QCOMPARE(r.mid(4096), QStringList({"1848 ", "", ""}));

        // The data file decodes both blocks, the second across the year's end.
        const QStringList archivo = Lineas(datos + "/POZO.csv");
        for (const char* l : {"Cantidad de lugares vacíos:  4082", "15/03/02  ;10:15;256",
                              "01/01/00  ;00:00;20475", "01/01/00  ;01:00;5"})
            QVERIFY2(archivo.contains(QString(l)), l);
        QVERIFY(!archivo.contains("Memoria con inconsistencias "));
        memo->Command2_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!p.Hija<Memo>(), 5000);
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));
    }
};

QTEST_MAIN(Tst_E2e_Memoria)
#include "tst_e2e_memoria.moc"
