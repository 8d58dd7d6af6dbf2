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
const QList<quint16> Palabras_Cargadas = {0xAA55, 0x0007, 0x020A, 0x070F, 0x0302, 0x0100, 0x0101,
                                          0xAA55, 0x0207, 0x0417, 0x1E1F, 0x0C63, 0x0FFF, 0x0001};

QList<QByteArray> Memoria_Esperada() {
    QList<QByteArray> m(4096, QByteArrayLiteral("FFFF "));
    for (int i = 0; i < Palabras_Cargadas.size(); ++i)
        m[i] = QByteArray::number(Palabras_Cargadas[i], 16).toUpper().rightJustified(4, '0') + ' ';
    return m;
}

// Lines of a file the program wrote; fails the check when a line is not ended by CR LF.
QList<QByteArray> Lineas(const QString& ruta, bool* crlf = nullptr) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray todo = f.readAll();
    if (crlf) *crlf = todo.endsWith("\r\n") && todo.count("\r\n") == todo.count('\n');
    todo.replace("\r\n", "\n");
    QList<QByteArray> l = todo.split('\n');
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
}

QStringList Lineas_Latin1(const QString& ruta) {
    QStringList r;
    for (const QByteArray& l : Lineas(ruta)) r << QString::fromLatin1(l);
    return r;
}

// The program's folders inside a temporary one, as start-up would have them.
struct Instalacion {
    QTemporaryDir tmp;
    QString raiz, datos, bak, imagen;
    Instalacion() {
        raiz = tmp.filePath(QStringLiteral("AQTIDE"));
        datos = raiz + QStringLiteral("/DATOS");
        bak = raiz + QStringLiteral("/BAK");
        QDir().mkpath(datos);
        QDir().mkpath(bak);
        // The image the simulator starts from, as a raw backup.
        imagen = tmp.filePath(QStringLiteral("imagen.$%c"));
        QFile f(imagen);
        if (f.open(QIODevice::WriteOnly))
            for (const QByteArray& w : Memoria_Esperada()) f.write(w + "\r\n");
    }
    void Fijar(Estado& e) const {
        e.Directorio_Raiz = raiz;
        e.Directorio_Datos = datos;
        e.Directorio_Bak = bak;
    }
};

// Opens the reader through the menu and runs a whole download into `ruta`.
void Descargar_En(Programa_En_Linea& p, const QString& ruta) {
    p.f->IDC_DUMP_Click();
    Memo* memo = p.Hija<Memo>();
    QVERIFY2(memo, qPrintable(p.dialogos.Textos().join('|')));
    p.dialogos.rutas << ruta;
    memo->Command1_Click();
}

void Cerrar_Lector(Programa_En_Linea& p) {
    Memo* memo = p.Hija<Memo>();
    QVERIFY(memo);
    memo->Command2_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!p.Hija<Memo>(), 5000);
    QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));
}

}  // namespace

// The memory download and erase over the real line to the simulator.
class Tst_E2e_Memoria : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void descarga_completa() {
        Instalacion ins;
        Simulador_En_Marcha sim({"--rapido", "--memoria", ins.imagen});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa_En_Linea p(sim.Esclavo());
        ins.Fijar(p.estado);
        const QString ruta = ins.datos + QStringLiteral("/POZO.csv");

        Descargar_En(p, ruta);
        if (QTest::currentTestFailed()) return;
        Memo* memo = p.Hija<Memo>();
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));
        QVERIFY(p.estado.Memoria_Leida);
        QCOMPARE(memo->Label1->text(), QStringLiteral("Guardado."));
        QCOMPARE(memo->Text1->text(), QStringLiteral("Datos en: ") + ruta);
        QVERIFY(!memo->Text1->isHidden());
        QVERIFY(memo->Command1->isEnabled() && memo->Command3->isEnabled());

        // The backup holds exactly the simulator's memory, then its checksum word.
        const QString respaldo = ins.bak + QStringLiteral("/POZO.$%c");
        bool crlf = false;
        const QList<QByteArray> r = Lineas(respaldo, &crlf);
        QVERIFY(crlf);
        // Record 4098 is the dump's closing CR LF, so the file ends with two empty lines.
        QCOMPARE(r.size(), 4099);
        QVERIFY(r[4097].isEmpty() && r[4098].isEmpty());
        QCOMPARE(r.mid(0, 4096), Memoria_Esperada());
        int suma = 0;
        for (const QByteArray& w : Memoria_Esperada())
            for (char c : w) suma += static_cast<unsigned char>(c);
        QCOMPARE(r[4096], QByteArray::number(suma % 65536 % 10000).rightJustified(4, '0') + ' ');
        QVERIFY(!(QFileInfo(respaldo).permissions() & QFileDevice::WriteOwner));
        QFile copia(ins.raiz + QStringLiteral("/DUMP.$$$")), original(respaldo);
        QVERIFY(copia.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
        QCOMPARE(copia.readAll(), original.readAll());

        // The data file decodes both blocks.
        const QStringList datos = Lineas_Latin1(ruta);
        QVERIFY(Lineas(ruta, &crlf).size() > 0 && crlf);
        for (const char* l :
             {"Cantidad de bloques de datos:  2", "Cantidad total de lecturas registradas:  4",
              "Cantidad de lugares vacíos:  4082", "Alcance:  20 Metros ", "15/03/02  ;10:15;256",
              "15/03/02  ;10:30;257", "01/01/00  ;00:00;20475", "01/01/00  ;01:00;5"})
            QVERIFY2(datos.contains(QString::fromUtf8(l)), l);
        QVERIFY(!datos.contains(QStringLiteral("Memoria con inconsistencias ")));
        QCOMPARE(p.estado.Lugares_Vacios, qint16(4082));

        // The display file is tab-separated and shown on request.
        QVERIFY(Lineas_Latin1(ins.bak + QStringLiteral("/temp.tmp"))
                    .contains(QStringLiteral("15/03/02  \t10:15\t256")));
        memo->Command3_Click();
        QVERIFY(!memo->List1->findItems(QStringLiteral("01/01/00  \t01:00\t5"), Qt::MatchExactly)
                     .isEmpty());
        Cerrar_Lector(p);
    }

    void borrado_y_segunda_descarga() {
        Instalacion ins;
        Simulador_En_Marcha sim({"--rapido", "--memoria", ins.imagen});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa_En_Linea p(sim.Esclavo());
        ins.Fijar(p.estado);

        Descargar_En(p, ins.datos + QStringLiteral("/POZO.txt"));
        if (QTest::currentTestFailed()) return;
        QVERIFY(p.estado.Memoria_Leida);
        Cerrar_Lector(p);
        if (QTest::currentTestFailed()) return;
        QVERIFY2(p.dialogos.cajas.isEmpty(), qPrintable(p.dialogos.Textos().join('|')));

        p.f->IDC_BORRAR_Click();
        QPointer<Borrar_Memoria> b = p.Hija<Borrar_Memoria>();
        QVERIFY(b);
        b->Command1_Click();
        QVERIFY(b);
        // 14 words in use: 30 ms each plus 2 s.
        QCOMPARE(b->Tiempo_Borrado_Ms, 2420.0);
        QCOMPARE(p.dialogos.cajas.size(), 2);
        QCOMPARE(p.dialogos.cajas[0].texto,
                 QStringLiteral("Se dispone a borrar la memoria.\nConfirma el borrado ?\n"));
        QCOMPARE(p.dialogos.cajas[0].botones, Botones::Aceptar_Cancelar);
        QCOMPARE(p.dialogos.cajas[1].texto,
                 QStringLiteral("La memoria ha sido borrada y verificada exitosamente."));
        QCOMPARE(p.dialogos.cajas[1].icono, Icono::Informacion);
        QTRY_VERIFY_WITH_TIMEOUT(!p.Hija<Borrar_Memoria>(), 5000);
        QVERIFY(p.f->Habilitado(Item_Menu::IDC_MENU));
        QVERIFY(p.estado.Memoria_Leida);

        const QString vacia = ins.datos + QStringLiteral("/VACIA.txt");
        Descargar_En(p, vacia);
        if (QTest::currentTestFailed()) return;
        QCOMPARE(p.dialogos.cajas.size(), 2);
        const QList<QByteArray> r = Lineas(ins.bak + QStringLiteral("/VACIA.$%t"));
        QCOMPARE(r.size(), 4099);
        QCOMPARE(r.mid(0, 4096), QList<QByteArray>(4096, QByteArrayLiteral("FFFF ")));
        const QStringList datos = Lineas_Latin1(vacia);
        QVERIFY(datos.contains(QStringLiteral("Cantidad de bloques de datos:  0")));
        QVERIFY(datos.contains(QStringLiteral("Cantidad de lugares vacíos:  4096")));
        QVERIFY(p.estado.Memoria_Leida);
        Cerrar_Lector(p);
    }

    void volcado_cortado() {
        Instalacion ins;
        Simulador_En_Marcha sim({"--rapido", "--memoria", ins.imagen, "--cerrar-en", "10000"});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa_En_Linea p(sim.Esclavo());
        ins.Fijar(p.estado);
        const QString ruta = ins.datos + QStringLiteral("/CORTE.csv");

        QElapsedTimer t;
        t.start();
        Descargar_En(p, ruta);
        if (QTest::currentTestFailed()) return;
        // The line going down ends the wait at once, not after the 45 s limit.
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));

        QCOMPARE(
            p.dialogos.Textos(),
            QStringList({QStringLiteral("Error 005, el lazo de comunicación se ha interrumpido.\n"),
                         QStringLiteral("Error 006 hubo un error durante la recepción")}));
        QCOMPARE(p.dialogos.cajas[0].icono, Icono::Critico);
        QCOMPARE(p.dialogos.cajas[0].titulo, QStringLiteral("Error en el link"));
        QCOMPARE(p.dialogos.cajas[1].icono, Icono::Critico);
        QCOMPARE(p.dialogos.cajas[1].titulo, QStringLiteral("Checksum wrong"));
        QVERIFY(!p.estado.Memoria_Leida);

        // Backup and data file are written all the same, padded with "*".
        const QList<QByteArray> r = Lineas(ins.bak + QStringLiteral("/CORTE.$%c"));
        QCOMPARE(r.size(), 4098);
        QCOMPARE(r[4095], QByteArrayLiteral("*****"));
        QCOMPARE(r[4096], QByteArrayLiteral("*****"));
        QVERIFY(QFile::exists(ins.raiz + QStringLiteral("/DUMP.$$$")));
        QVERIFY(Lineas_Latin1(ruta).contains(QStringLiteral("Memoria con inconsistencias ")));
        Cerrar_Lector(p);
    }

    void linea_caida_conserva_lo_recibido() {
        // Paced at 9600 baud, so that the first 3000 characters are surely in the program's
        // hands (not only the system's) when the line goes down, about 3 s in.
        Instalacion ins;
        Simulador_En_Marcha sim({"--memoria", ins.imagen, "--cerrar-en", "3000"});
        QVERIFY2(sim.Listo(), qPrintable(sim.Errores()));
        Programa_En_Linea p(sim.Esclavo());
        ins.Fijar(p.estado);
        const QString ruta = ins.datos + QStringLiteral("/CORTE.csv");

        Descargar_En(p, ruta);
        if (QTest::currentTestFailed()) return;
        QVERIFY(p.dialogos.Textos().value(0).startsWith(QStringLiteral("Error 005")));
        const QList<QByteArray> r = Lineas(ins.bak + QStringLiteral("/CORTE.$%c"));
        QCOMPARE(r.size(), 4098);
        QCOMPARE(r.mid(0, 500), Memoria_Esperada().mid(0, 500));
        QVERIFY(Lineas_Latin1(ruta).contains(QStringLiteral("15/03/02  ;10:15;256")));
        Cerrar_Lector(p);
    }
};

QTEST_MAIN(Tst_E2e_Memoria)
#include "tst_e2e_memoria.moc"
