#include <QStandardItemModel>
#include <QtTest>

#include "archivo/ui/archivo_ventana.h"
#include "dobles/fondo_falso.h"
#include "respaldos_prueba.h"

using namespace aq;

class Tst_Archivo_Ventana : public QObject {
    Q_OBJECT

    // Equipment 4: 3000 readings every 5 minutes, then a second download with other values at
    // 00:00 and 01:00; equipment 9: one reading, and another four days later.
    static void Llenar(const QString& raiz) {
        Archivo_Historico a;
        Destino_Archivo d;
        d.ruta = raiz + "/ARCHIVO.db";
        QVERIFY(a.Abrir(d));
        QList<int> v;
        for (int k = 0; k < 3000; ++k) v << k % 4000;
        QVERIFY(Escribir_Prueba(raiz + "/A.$%c",
                                Respaldo_Prueba(Bloque_Prueba(2, 4, 0, 31, 12, 1, 23, 55, v))));
        QVERIFY(Escribir_Prueba(
            raiz + "/B.$%c", Respaldo_Prueba(Bloque_Prueba(2, 4, 4, 31, 12, 1, 23, 30, {5, 77}))));
        QVERIFY(Escribir_Prueba(raiz + "/C.$%c",
                                Respaldo_Prueba(Bloque_Prueba(0, 9, 4, 1, 1, 2, 0, 0, {1}))));
        QVERIFY(Escribir_Prueba(raiz + "/D.$%c",
                                Respaldo_Prueba(Bloque_Prueba(0, 9, 4, 5, 1, 2, 0, 0, {2}))));
        for (const char* n : {"/A.$%c", "/B.$%c", "/C.$%c", "/D.$%c"})
            QVERIFY(Importar_Respaldo(a, raiz + n));
    }

  private Q_SLOTS:
    void estaciones_descargas_y_serie() {
        QTemporaryDir dir;
        Llenar(dir.path());
        Banco b;
        b.estado.Directorio_Raiz = dir.path();
        b.estado.Directorio_Datos = dir.path();
        Archivo_Ventana w(b.ctx);
        w.resize(800, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QString::fromUtf8("Archivo histórico"));
        QCOMPARE(w.Tabla_Estaciones->rowCount(), 2);
        QCOMPARE(w.Tabla_Estaciones->item(0, 6)->text(), QString("2"));
        QCOMPARE(w.Tabla_Estaciones->item(1, 6)->text(), QString("0"));
        QCOMPARE(w.Tabla_Descargas->rowCount(), 2);
        QCOMPARE(w.Serie().size(), size_t(3002));
        // Drawn at the screen's resolution from the first paint, read in full, one line where
        // no reading is missing.
        const Grafico_Hidrografico* g = w.Grafico_Serie->Grafico();
        QVERIFY(g->Puntos_Dibujados() > 100);
        QVERIFY(g->Puntos_Dibujados() <= 2 * w.Grafico_Serie->Vista->width() + 4);
        QCOMPARE(g->Tramos_Dibujados(), 1);
        QCOMPARE(g->title(), QString::fromUtf8("Equipo Nº 4, del 01/01/2002 al 11/01/2002"));
        // Depth and elevation wait for manual readings.
        QCOMPARE(w.Combo_Magnitud->currentText(), QString("Columna de agua [mm]"));
        QVERIFY(
            !qobject_cast<QStandardItemModel*>(w.Combo_Magnitud->model())->item(1)->isEnabled());

        w.Texto_Nombre->setText("Pozo 4");
        w.Texto_Nota->setText("Camino viejo");
        w.Boton_Nombre->click();
        QCOMPARE(w.Tabla_Estaciones->item(0, 1)->text(), QString("Pozo 4"));
        QVERIFY(w.Grafico_Serie->Grafico()->title().startsWith(
            QString::fromUtf8("Equipo Nº 4 - Pozo 4, ")));

        w.Fecha_Desde->setDate(QDate(2002, 1, 1));
        w.Fecha_Hasta->setDate(QDate(2002, 1, 1));
        // Both values of each conflict; levels are worked out on the whole series, so the
        // window keeps it and draws the days chosen.
        QCOMPARE(w.Grafico_Serie->Grafico()->Serie().resumen, QString("290 lecturas."));
        b.dialogos.rutas = QStringList{dir.filePath("pozo4.csv")};
        w.Boton_Exportar->click();
        QCOMPARE(
            b.dialogos.Textos(),
            QStringList{"290 lecturas en " + QDir::toNativeSeparators(dir.filePath("pozo4.csv"))});
        QVERIFY(QFile::exists(dir.filePath("pozo4.csv")));

        w.Tabla_Estaciones->selectRow(1);
        QCOMPARE(w.Serie().size(), size_t(2));
        QCOMPARE(w.Tabla_Descargas->rowCount(), 2);
        QCOMPARE(w.Grafico_Serie->Grafico()->Tramos_Dibujados(), 2);  // four days without readings
        w.Boton_Cerrar->click();
        QVERIFY(!w.isVisible());
    }

    void servidor_inalcanzable() {
        Banco b;
        b.perfil.secciones["Archivo"]["Base"] = "postgresql://nadie@127.0.0.1:1/archivo";
        Archivo_Ventana w(b.ctx);
        QVERIFY(w.Label_Base->text().startsWith(QString::fromUtf8(
            "postgresql://nadie@127.0.0.1:1/archivo: No se pudo abrir la base de datos.")));
        QVERIFY(!w.Boton_Exportar->isEnabled());
        QCOMPARE(w.Tabla_Estaciones->rowCount(), 0);
        QVERIFY(b.dialogos.cajas.isEmpty());
    }
};

QTEST_MAIN(Tst_Archivo_Ventana)
#include "tst_archivo_ventana.moc"
