#include <QBuffer>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

#include "dobles/fondo_falso.h"
#include "maintenance/paginado.h"
#include "maintenance/ui/descompresor.h"

using namespace aq;

namespace {

// A backup as the memory reader writes it: one word per line, then checksum and closing.
void Escribir_Resguardo(const QString& ruta, const QList<QByteArray>& palabras, int lineas = 4096) {
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < lineas; ++i)
        f.write((i < palabras.size() ? palabras[i] : QByteArray("FFFF ")) + "\r\n");
    f.write("1234 \r\n\r\n");
}

const QList<QByteArray> Ejemplo = {"AA55 ", "0007 ", "020A ", "070F ",
                                   "0302 ", "0100 ", "0101 "};  // 22 expanded lines

// A device that refuses every write, like a full disk.
class Lleno : public QIODevice {
  public:
    Lleno() { open(QIODevice::WriteOnly); }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

}  // namespace

class Tst_Descompresor : public QObject {
    Q_OBJECT

    struct Mesa {
        QTemporaryDir tmp;
        Banco b;
        QString bak, datos, otra;
        Descompresor* w = nullptr;
        Mesa() {
            bak = tmp.filePath("BAK");
            datos = tmp.filePath("DATOS");
            otra = tmp.filePath("otra");
            for (const QString& d : {bak, datos, otra}) QDir().mkpath(d);
            b.estado.Directorio_Bak = bak;
            b.estado.Directorio_Datos = datos;
            w = new Descompresor(b.ctx);
            b.fondo.Mostrar_Hija(w);
        }
        void Expandir(const QString& ruta) {
            b.dialogos.rutas << ruta;
            w->Command1_Click();
        }
        QString Fila(int i) const { return w->List1->item(i)->text(); }
    };

  private Q_SLOTS:
    void tabla_de_paginado() {
        struct Caso {
            int tecla, fila, F, M;
            Movimiento esperado;
        };
        const Caso casos[] = {
            {Qt::Key_Down, 18, 1, 2, {2, 18, true}},
            {Qt::Key_Down, 18, 2, 2, {2, 18, true}},
            {Qt::Key_Down, 5, 1, 2, {1, 5, false}},  // the list moves the selection
            {Qt::Key_Up, 0, 3, 9, {2, 0, true}},
            {Qt::Key_Up, 0, 1, 9, {1, 0, true}},
            {Qt::Key_PageDown, 18, 1, 10, {10, 18, true}},
            {Qt::Key_PageDown, 18, 1, 30, {19, 18, true}},
            {Qt::Key_PageDown, 17, 1, 30, {1, 17, false}},
            {Qt::Key_PageUp, 0, 12, 40, {1, 0, true}},
            {Qt::Key_PageUp, 0, 30, 40, {12, 0, true}},
            {Qt::Key_End, 4, 1, 1, {1, 18, true}},
            {Qt::Key_End, -1, 3, 7, {7, 18, true}},
            {Qt::Key_Home, 9, 7, 7, {1, 0, true}},
            {Qt::Key_Left, 18, 3, 7, {3, 18, false}},
        };
        for (const Caso& c : casos) {
            const Movimiento m = Tecla_Paginado(c.tecla, c.fila, c.F, c.M);
            QCOMPARE(m.primera, c.esperado.primera);
            QCOMPARE(m.fila, c.esperado.fila);
            QCOMPARE(m.atendida, c.esperado.atendida);
        }
        QCOMPARE(Maxima_Primera_Linea(19), 1);
        QCOMPARE(Maxima_Primera_Linea(20), 2);
        QCOMPARE(Maxima_Primera_Linea(5), 1);
        QCOMPARE(Maxima_Primera_Linea(0), 1);
    }

    void registros_fijos() {
        QCOMPARE(Registro_Fijo(QByteArray(80, 'x') + "y"), QByteArray(50, 'x'));
        QCOMPARE(Registro_Fijo("abc"), QByteArray("abc") + QByteArray(47, ' '));

        QTemporaryDir tmp;
        QBuffer origen;
        origen.setData("uno\r\n\r\ndos\ttres\r\n" + QByteArray(80, 'z') + "\r\n");
        origen.open(QIODevice::ReadOnly);
        QFile destino(tmp.filePath("AMORTI.TMP"));
        QVERIFY(destino.open(QIODevice::WriteOnly));
        int n = -1;
        QCOMPARE(Escribir_Paginado(origen, destino, &n), Resultado_Paginado::Correcto);
        destino.close();
        QCOMPARE(n, 4);
        QCOMPARE(destino.size(), 200);
        const auto pagina = Leer_Pagina(destino.fileName(), 3, 4);
        QCOMPARE(pagina.size(), 4);
        QCOMPARE(pagina[0], Registro_Fijo("dos\ttres"));
        QCOMPARE(pagina[1], QByteArray(50, 'z'));
        QCOMPARE(pagina[2], QByteArray());  // past the end: blank
        QCOMPARE(Leer_Pagina(tmp.filePath("no_existe"), 1).size(), Filas_Pagina);
        QVERIFY(!QFile::exists(tmp.filePath("no_existe")));

        origen.seek(0);
        Lleno lleno;
        QCOMPARE(Escribir_Paginado(origen, lleno, &n), Resultado_Paginado::Destino_Fallido);
        QCOMPARE(n, 0);
    }

    void expansion_y_paginado() {
        Mesa m;
        QCOMPARE(QDir::currentPath(), QFileInfo(m.bak).canonicalFilePath());
        QVERIFY(m.w->Label1->isHidden() && m.w->Label2->isHidden());
        // The chosen file's folder receives the work files, not the backup directory.
        const QString resguardo = m.otra + "/R0001.BAK";
        Escribir_Resguardo(resguardo, Ejemplo);
        m.b.estado.Memoria_Leida = true;
        m.Expandir(resguardo);

        QVERIFY(m.b.dialogos.cajas.isEmpty());
        QCOMPARE(m.w->Label2->text(), QString("Listo."));
        QCOMPARE(m.w->Label1->text(),
                 "Archivo: " + QDir::toNativeSeparators(m.otra + "/EXPAND$$.TXT"));
        QVERIFY(QFile::exists(m.otra + "/EXPAND$$.TXT"));
        QCOMPARE(m.w->Ruta_Paginado(), m.otra + "/AMORTI.TMP");
        QVERIFY(!QFile::exists(m.bak + "/AMORTI.TMP"));
        QVERIFY(!m.b.estado.Memoria_Leida);
        QCOMPARE(m.b.estado.Imagen_Memoria[6], QByteArray("0101 "));
        QCOMPARE(m.w->ProgressBar1->value(), 4095);
        QCOMPARE(m.w->List1->count(), 19);
        QCOMPARE(m.Fila(0), QString("Información resumida de los datos ").leftJustified(50));
        QCOMPARE(m.w->Scroll->maximum(), 4);  // 22 lines
        QVERIFY(m.w->isMaximized());

        // Keys reach the list through the paging table.
        m.w->List1->setFocus();
        m.w->List1->setCurrentRow(18);
        QTest::keyClick(m.w->List1, Qt::Key_Down);
        QCOMPARE(m.w->Scroll->value(), 2);
        QCOMPARE(m.w->List1->currentRow(), 18);
        QTest::keyClick(m.w->List1, Qt::Key_End);
        QCOMPARE(m.w->Scroll->value(), 4);
        QCOMPARE(m.Fila(18).trimmed(), QString("15/03/02  \t10:30\t257"));
        QTest::keyClick(m.w->List1, Qt::Key_Up);  // row 17: only the selection moves
        QCOMPARE(m.w->Scroll->value(), 4);
        QCOMPARE(m.w->List1->currentRow(), 17);

        // The viewer may move the current directory: the page still comes from the file made.
        QDir::setCurrent(m.datos);
        m.w->Scroll->setValue(1);
        QCOMPARE(m.w->List1->currentRow(), 17);
        QCOMPARE(m.Fila(0).trimmed(), QString("Información resumida de los datos"));
        QVERIFY(!QFile::exists(m.datos + "/AMORTI.TMP"));

        // A short or unreadable file: a message, and everything shown stays.
        const QString corto = m.bak + "/CORTO.BAK";
        Escribir_Resguardo(corto, {"0000 "}, 100);
        const QString etiqueta = m.w->Label1->text();
        m.b.estado.Memoria_Leida = true;
        m.Expandir(corto);
        m.Expandir(m.bak);  // a directory, not a file
        QCOMPARE(m.b.dialogos.cajas.size(), 2);
        QVERIFY(m.b.dialogos.cajas[0].texto.startsWith("El archivo seleccionado no es un"));
        QCOMPARE(m.b.dialogos.cajas[1].texto, QString("El archivo seleccionado no existe"));
        QCOMPARE(m.b.dialogos.cajas[1].titulo, Titulo_Aplicacion);
        QCOMPARE(m.w->Label1->text(), etiqueta);
        QVERIFY(m.b.estado.Memoria_Leida);
        QCOMPARE(m.b.estado.Imagen_Memoria[0], QByteArray("AA55 "));
        QCOMPARE(m.w->Scroll->maximum(), 4);
        QVERIFY(QFile::exists(m.otra + "/EXPAND$$.TXT"));

        // The close box is refused; "&Cerrar" closes and cleans up.
        for (auto i : {Item_Menu::IDC_PROGRAMADOR, Item_Menu::IDC_MEMO, Item_Menu::IDC_SETUP,
                       Item_Menu::IDC_ACERCA})
            m.b.fondo.Habilitar(i, false);
        QVERIFY(!m.w->close());
        QVERIFY(m.w->isVisible());
        QVERIFY(QFile::exists(m.otra + "/AMORTI.TMP"));
        QPointer<Descompresor> w = m.w;
        m.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m.w));
        QTest::keyClick(m.w->List1, Qt::Key_Escape);  // the cancel button
        QVERIFY(w.isNull() || !w->isVisible());
        QVERIFY(!QFile::exists(m.otra + "/AMORTI.TMP"));
        QVERIFY(QFile::exists(m.otra + "/EXPAND$$.TXT"));
        QCOMPARE(QDir::currentPath(), QFileInfo(m.datos).canonicalFilePath());
        for (auto i : {Item_Menu::IDC_PROGRAMADOR, Item_Menu::IDC_MEMO, Item_Menu::IDC_SETUP,
                       Item_Menu::IDC_ACERCA})
            QVERIFY(m.b.fondo.Habilitado(i));
    }

    void textos_cortos_y_archivos_ajenos() {
        Mesa m;
        // An empty memory expands to 10 lines: blank rows, and the page cannot move.
        Escribir_Resguardo(m.bak + "/VACIA.BAK", {});
        m.Expandir(m.bak + "/VACIA.BAK");
        QCOMPARE(m.w->Scroll->maximum(), 1);
        QCOMPARE(m.Fila(9).trimmed(), QString());
        QCOMPARE(m.Fila(10), QString());
        m.w->List1->setCurrentRow(18);
        QVERIFY(m.w->List1_KeyDown(Qt::Key_End));
        QVERIFY(m.w->List1_KeyDown(Qt::Key_PageDown));
        QCOMPARE(m.w->Scroll->value(), 1);

        // An export file is no backup, but its first 4096 lines are decoded all the same.
        QFile exp(m.otra + "/medidas.csv");
        QVERIFY(exp.open(QIODevice::WriteOnly));
        for (int i = 0; i < 5000; ++i) exp.write("15/03/02  ;10:15;256\r\n");
        exp.close();
        m.Expandir(exp.fileName());
        QVERIFY(m.b.dialogos.cajas.isEmpty());
        QCOMPARE(m.w->Label2->text(), QString("Listo."));
        QCOMPARE(m.b.estado.Imagen_Memoria[4095], QByteArray("15/03/02  ;10:15;256"));
        QVERIFY(m.Fila(3).startsWith("Memoria con inconsistencias"));
        // The first expansion's paging file does not stay behind in the other folder.
        QVERIFY(!QFile::exists(m.bak + "/AMORTI.TMP"));
        QVERIFY(QFile::exists(m.otra + "/AMORTI.TMP"));
    }

    void disco_lleno() {
        if (!QFile::exists("/dev/full")) QSKIP("no full device here");
        Mesa m;
        Escribir_Resguardo(m.bak + "/R.BAK", Ejemplo);
        QVERIFY(QFile::link("/dev/full", m.bak + "/AMORTI.TMP"));
        m.Expandir(m.bak + "/R.BAK");
        QCOMPARE(m.b.dialogos.cajas.size(), 1);
        const auto& caja = m.b.dialogos.cajas[0];
        QCOMPARE(caja.titulo, QString("Advertencia !!!"));
        QCOMPARE(caja.icono, Icono::Exclamacion);
        QCOMPARE(caja.texto, QString("El disco está lleno y por esta razón \n"
                                     "NO PODRÁ VISUALIZAR LOS DATOS RECOGIDOS.\n"
                                     "Sin embargo los mismos AÚN ESTÁN GUARDADOS\n"
                                     "en el archivo que Usted ha solicitado.\n"));
        QCOMPARE(m.w->Label2->text(), QString("Listo."));
        QVERIFY(!m.w->isMaximized());
        QCOMPARE(m.w->Scroll->maximum(), 1);
        QVERIFY(QFile::exists(m.bak + "/EXPAND$$.TXT"));
    }

    void cuadro_de_cierre_en_mdi() {
        QTemporaryDir tmp;
        Banco b;
        QMdiArea area;
        auto* w = new Descompresor(b.ctx);
        QMdiSubWindow* sub = area.addSubWindow(w);
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(w->isVisible());
        w->Command2_Click();
        QVERIFY(!sub->isVisible());
    }
};

QTEST_MAIN(Tst_Descompresor)
#include "tst_descompresor.moc"
