#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include "dobles/disco_chico.h"
#include "dobles/fondo_falso.h"
#include "dobles/tuberia.h"
#include "maintenance/paginado.h"
#include "maintenance/ui/descompresor.h"
#include "memory/resguardo.h"

using namespace aq;

class Tst_Descompresor : public QObject {
    Q_OBJECT

    // A backup as the memory reader writes it: the words given, "FFFF " up to `lineas`, then the
    // checksum and the closing.
    static void Escribir_Resguardo(const QString& ruta, const QByteArray& palabras, int lineas) {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(palabras + QByteArray("FFFF \r\n").repeated(lineas - palabras.count('\n')) +
                "1234 \r\n\r\n");
    }

  private Q_SLOTS:
    // key, row, F, M -> new F, row afterwards, taken
    void tabla_de_paginado_data() {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("fila");
        QTest::addColumn<int>("F");
        QTest::addColumn<int>("M");
        QTest::addColumn<QList<int>>("resultado");
        const int abajo = Qt::Key_Down, arriba = Qt::Key_Up, avance = Qt::Key_PageDown,
                  retroceso = Qt::Key_PageUp;
        QTest::newRow("abajo en la última fila") << abajo << 18 << 1 << 2 << QList<int>{2, 18, 1};
        QTest::newRow("abajo al final") << abajo << 18 << 2 << 2 << QList<int>{2, 18, 1};
        QTest::newRow("abajo dentro de la página") << abajo << 5 << 1 << 2 << QList<int>{1, 5, 0};
        QTest::newRow("arriba en la primera fila") << arriba << 0 << 3 << 9 << QList<int>{2, 0, 1};
        QTest::newRow("arriba al principio") << arriba << 0 << 1 << 9 << QList<int>{1, 0, 1};
        QTest::newRow("avance hasta el final") << avance << 18 << 1 << 10 << QList<int>{10, 18, 1};
        QTest::newRow("avance de página") << avance << 18 << 1 << 30 << QList<int>{19, 18, 1};
        QTest::newRow("avance fuera de la última fila")
            << avance << 17 << 1 << 30 << QList<int>{1, 17, 0};
        QTest::newRow("retroceso hasta el principio")
            << retroceso << 0 << 12 << 40 << QList<int>{1, 0, 1};
        QTest::newRow("retroceso de página") << retroceso << 0 << 30 << 40 << QList<int>{12, 0, 1};
        QTest::newRow("fin sin fila elegida")
            << int(Qt::Key_End) << -1 << 3 << 7 << QList<int>{7, 18, 1};
        QTest::newRow("inicio") << int(Qt::Key_Home) << 9 << 7 << 7 << QList<int>{1, 0, 1};
        QTest::newRow("tecla ajena") << int(Qt::Key_Left) << 18 << 3 << 7 << QList<int>{3, 18, 0};
    }

    void tabla_de_paginado() {
        QFETCH(int, tecla);
        QFETCH(int, fila);
        QFETCH(int, F);
        QFETCH(int, M);
        QFETCH(QList<int>, resultado);
        const Movimiento m = Tecla_Paginado(tecla, fila, F, M);
        QCOMPARE(QList<int>({m.primera, m.fila, m.atendida}), resultado);
    }

    void maxima_primera_linea_data() {
        QTest::addColumn<int>("lineas");
        QTest::addColumn<int>("M");
        QTest::newRow("19 líneas") << 19 << 1;
        QTest::newRow("20 líneas") << 20 << 2;
        QTest::newRow("5 líneas") << 5 << 1;
        QTest::newRow("sin líneas") << 0 << 1;
    }

    void maxima_primera_linea() {
        QFETCH(int, lineas);
        QFETCH(int, M);
        QCOMPARE(Maxima_Primera_Linea(lineas), M);
    }

    void registros_fijos() {
        // A tab counts as one character; any line end closes a line.
        QByteArray texto = "a\tb\r\n\n" + QByteArray(80, 'z') + "y\r";
        QBuffer origen(&texto), destino;
        QVERIFY(origen.open(QIODevice::ReadOnly) && destino.open(QIODevice::WriteOnly));
        int n = -1;
        QCOMPARE(Escribir_Paginado(origen, destino, &n), Resultado_Paginado::Correcto);
        QCOMPARE(n, 3);
        QCOMPARE(destino.data(), QByteArray("a\tb").leftJustified(100) + QByteArray(50, 'z'));
    }

    void expansion_cierre_y_directorio() {
        QTemporaryDir tmp;
        Banco b;
        const QString otra = tmp.path(), bak = otra + "/BAK", datos = otra + "/DATOS";
        for (const QString& d : {bak, datos}) QDir().mkpath(d);
        b.estado.Directorio_Bak = bak;
        b.estado.Directorio_Datos = datos;
        QMdiArea area;
        auto* w = new Descompresor(b.ctx);
        QMdiSubWindow* sub = area.addSubWindow(w);
        QSignalSpy menu_devuelto(w, &Descompresor::Devolver_Menu);
        area.show();
        Escribir_Resguardo(otra + "/R.BAK",
                           "AA55 \r\n0007 \r\n020A \r\n070F \r\n0302 \r\n0100 \r\n0101 \r\n", 4096);
        Escribir_Resguardo(bak + "/CORTO.BAK", "", 100);
        b.dialogos.rutas << otra + "/R.BAK" << bak + "/CORTO.BAK" << bak;

        // The chosen file's folder, not the backup directory, receives the work files.
        b.estado.Memoria_Leida = true;
        w->Command1_Click();
        const QString etiqueta = "Archivo: " + QDir::toNativeSeparators(otra + "/EXPAND$$.TXT");
        QCOMPARE(w->Label1->text(), etiqueta);
        QVERIFY(!b.estado.Memoria_Leida);
        QTest::keyClick(w->List1, Qt::Key_End);  // 22 expanded lines
        QCOMPARE(w->List1->item(18)->text().trimmed(), QString("15/03/02  \t10:30\t257"));

        // Another window may move the current directory: the page still comes from the file made.
        QDir::setCurrent(datos);
        w->Scroll->setValue(1);
        QCOMPARE(w->List1->currentRow(), 18);
        QCOMPARE(w->List1->item(0)->text().trimmed(), QString("Información resumida de los datos"));
        QVERIFY(!QFile::exists(datos + "/AMORTI.TMP"));
        QCOMPARE(Leer_Pagina(otra + "/AMORTI.TMP", 22, 2).value(1), QByteArray());  // past the end

        // A short file or a directory: a message each, and everything shown stays.
        b.estado.Memoria_Leida = true;
        w->Command1_Click();
        w->Command1_Click();
        QCOMPARE(b.dialogos.cajas.size(), 2);
        QCOMPARE(b.dialogos.cajas[1].texto, QString("El archivo seleccionado no existe"));
        QCOMPARE(w->Label1->text(), etiqueta);
        QVERIFY(b.estado.Memoria_Leida);
        QCOMPARE(b.estado.Imagen_Memoria[0], QByteArray("AA55 "));
        QCOMPARE(w->Scroll->maximum(), 4);

        // The close box is refused; "&Cerrar" cleans up where the paging file was made.
        QVERIFY(!sub->close());
        QVERIFY(w->isVisible() && QFile::exists(otra + "/AMORTI.TMP"));
        w->Command2_Click();
        QVERIFY(!sub->isVisible());
        QVERIFY(!QFile::exists(otra + "/AMORTI.TMP") && QFile::exists(otra + "/EXPAND$$.TXT"));
        // The dialog starts in the backup folder, then where the last backup was chosen; the
        // process's folder is nobody's state.
        QCOMPARE(b.dialogos.archivos.value(0).directorio, bak);
        QCOMPARE(b.dialogos.archivos.value(1).directorio, otra);
        QCOMPARE(QDir::currentPath(), QFileInfo(datos).canonicalFilePath());
        QCOMPARE(menu_devuelto.count(), 1);
    }

    // A backup in a folder with no room left: one box, and no expanded file that would pass
    // for the whole memory.
    void carpeta_llena() {
        QTemporaryDir tmp;
        Disco_Chico disco(tmp.filePath("LLENO"));
        if (!disco.Listo()) QSKIP("no tmpfs can be mounted here (needs root)");
        const QString lleno = disco.Carpeta();
        Escribir_Resguardo(lleno + "/R.BAK", "AA55 \r\n0007 \r\n020A \r\n070F \r\n0302 \r\n", 4096);
        disco.Llenar();
        Banco b;
        b.estado.Directorio_Bak = tmp.path();
        auto* w = new Descompresor(b.ctx);
        b.dialogos.rutas << lleno + "/R.BAK";
        w->Command1_Click();
        delete w;
        QCOMPARE(b.dialogos.Textos(),
                 QStringList{"El disco está lleno y por esta razón \nNO SE HAN PODIDO GUARDAR LOS "
                             "DATOS !!!\n"});
        QCOMPARE(QDir(lleno).entryList(QDir::Files).join(" "), QString("R.BAK relleno"));
    }

    // A named pipe chosen as the backup gets the missing-file message without waiting for a
    // writer; the reader itself refuses one too, should it appear after the check.
    void tuberia_no_bloquea() {
        QTemporaryDir tmp;
        const QString x = tmp.filePath("x.bak");
        QVERIFY(Crear_Tuberia(x));
        Vigia_Tuberia vigia(x);
        Banco b;
        b.estado.Directorio_Bak = tmp.path();
        auto* w = new Descompresor(b.ctx);
        b.dialogos.rutas << x;
        w->Command1_Click();
        QCOMPARE(b.dialogos.Textos(), QStringList({"El archivo seleccionado no existe"}));
        std::vector<QByteArray> imagen(3, "AA55 ");
        QString error;
        QVERIFY(!Leer_Resguardo(x, imagen, &error));
        QCOMPARE(error, QString("No es un archivo común (es una tubería, un dispositivo, un "
                                "socket o una carpeta)."));
        QCOMPARE(imagen.size(), size_t(3));
        QVERIFY(!vigia.Disparado());
        delete w;
    }
};

QTEST_MAIN(Tst_Descompresor)
#include "tst_descompresor.moc"
