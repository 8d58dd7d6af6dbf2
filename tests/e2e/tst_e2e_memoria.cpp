#include <QtTest>

#include <QPointer>
#include <QTemporaryDir>

#include "apoyo_sim.h"
#include "memory/ui/borrar_memoria.h"
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

// The program's folders inside a temporary one, as start-up would have them, and the image the
// simulator starts from, as a raw backup.
struct Instalacion {
    QTemporaryDir tmp;
    QString raiz = tmp.filePath("AQTIDE"), datos = raiz + "/DATOS", bak = raiz + "/BAK",
            imagen = tmp.filePath("imagen.$%c");
    Instalacion() {
        for (const QString& d : {datos, bak}) QDir().mkpath(d);
        if (QFile f(imagen); f.open(QIODevice::WriteOnly))
            f.write((Memoria_Esperada().join("\r\n") + "\r\n").toLatin1());
    }
};

#define PREPARAR(...)                                         \
    Instalacion ins;                                          \
    ARRANCAR_SIMULADOR("--memoria", ins.imagen, __VA_ARGS__); \
    Programa_En_Linea p(sim.esclavo);                         \
    p.estado.Directorio_Raiz = ins.raiz;                      \
    p.estado.Directorio_Datos = ins.datos;                    \
    p.estado.Directorio_Bak = ins.bak

// Opens the reader through the menu and runs a whole download into `ruta`.
Memo* Descargar_En(Programa_En_Linea& p, const QString& ruta) {
    p.f->IDC_DUMP_Click();
    Memo* memo = p.Hija<Memo>();
    p.dialogos.rutas << ruta;
    if (memo) memo->Command1_Click();
    return memo;
}

void Cerrar_Lector(Programa_En_Linea& p, Memo* memo) {
    memo->Command2_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!p.Hija<Memo>(), 5000);
    QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));
}

}  // namespace

// The memory download and erase over the real line to the simulator.
class Tst_E2e_Memoria : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // A whole download, the erase it allows, and a second download of the memory left empty.
    void descarga_borrado_y_segunda_descarga() {
        PREPARAR("--rapido");
        Memo* memo = Descargar_En(p, ins.datos + "/POZO.csv");
        QVERIFY2(memo, qPrintable(p.dialogos.Textos().join('|')));
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));
        QVERIFY(p.estado.Memoria_Leida);

        // The backup holds exactly the simulator's memory, then its checksum word (the sum of
        // the characters of those 4096 records, mod 65536, mod 10000); record 4098 is the dump's
        // closing CR LF, so the file ends with two empty lines.
        const QStringList r = Lineas(ins.bak + "/POZO.$%c");
        QCOMPARE(r.mid(0, 4096), Memoria_Esperada());
        QCOMPARE(r.mid(4096), QStringList({"1848 ", "", ""}));

        // The data file decodes both blocks, the second across the year's end.
        const QStringList datos = Lineas(ins.datos + "/POZO.csv");
        for (const char* l : {"Cantidad de lugares vacíos:  4082", "15/03/02  ;10:15;256",
                              "01/01/00  ;00:00;20475", "01/01/00  ;01:00;5"})
            QVERIFY2(datos.contains(QString(l)), l);
        QVERIFY(!datos.contains("Memoria con inconsistencias "));
        Cerrar_Lector(p, memo);

        p.f->IDC_BORRAR_Click();
        QPointer<Borrar_Memoria> b = p.Hija<Borrar_Memoria>();
        QVERIFY(b);
        b->Command1_Click();
        QVERIFY(b);
        // 14 words in use: 30 ms each plus 2 s.
        QCOMPARE(b->Tiempo_Borrado_Ms, 2420.0);
        QCOMPARE(p.dialogos.cajas.size(), 2);  // the confirmation, then success
        QCOMPARE(p.dialogos.cajas[1].icono, Icono::Informacion);
        QTRY_VERIFY_WITH_TIMEOUT(!p.Hija<Borrar_Memoria>(), 5000);

        QVERIFY(Descargar_En(p, ins.datos + "/VACIA.txt"));
        QCOMPARE(p.dialogos.cajas.size(), 2);
        // The logger's memory is empty (its decoding is the decoder's own test).
        const QStringList v = Lineas(ins.bak + "/VACIA.$%t");
        QCOMPARE(v.size(), 4099);
        QCOMPARE(v.mid(0, 4096), QStringList(4096, "FFFF "));
        QVERIFY(p.estado.Memoria_Leida);
    }

    // Paced at 9600 baud, so that the first 3000 characters are surely in the program's hands
    // (not only the system's) when the line goes down, about 3 s in.
    void volcado_cortado_conserva_lo_recibido() {
        PREPARAR("--cerrar-en", "3000");
        const QDeadlineTimer limite(10000);
        Memo* memo = Descargar_En(p, ins.datos + "/CORTE.csv");
        QVERIFY2(memo, qPrintable(p.dialogos.Textos().join('|')));
        // The line going down ends the wait at once, not after the 45 s limit.
        QVERIFY(!limite.hasExpired());
        QCOMPARE(p.dialogos.Textos(),
                 QStringList({"Error 005, el lazo de comunicación se ha interrumpido.\n",
                              "Error 006 hubo un error durante la recepción"}));
        const auto& c = p.dialogos.cajas;
        QCOMPARE(c[0].titulo + '|' + c[1].titulo, QString("Error en el link|Checksum wrong"));
        QVERIFY(c[0].icono == Icono::Critico && c[1].icono == Icono::Critico);
        QVERIFY(!p.estado.Memoria_Leida);

        // Backup and data file are written all the same, what came kept and the rest padded
        // with "*" (the protection and the copy DUMP.$$$ are the download's own test).
        const QStringList r = Lineas(ins.bak + "/CORTE.$%c");
        QCOMPARE(r.size(), 4098);
        QCOMPARE(r.mid(0, 500), Memoria_Esperada().mid(0, 500));
        QCOMPARE(r[4095] + r[4096], QStringLiteral("**********"));
        const QStringList datos = Lineas(ins.datos + "/CORTE.csv");
        QVERIFY(datos.contains("15/03/02  ;10:15;256") &&
                datos.contains("Memoria con inconsistencias "));
        Cerrar_Lector(p, memo);
    }
};

QTEST_MAIN(Tst_E2e_Memoria)
#include "tst_e2e_memoria.moc"
