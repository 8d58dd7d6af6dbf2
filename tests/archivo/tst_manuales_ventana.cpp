#include <QtTest>

#include "archivo/ui/archivo_ventana.h"
#include "archivo/ui/manuales_ventana.h"
#include "dobles/fondo_falso.h"
#include "respaldos_prueba.h"

using namespace aq;

class Tst_Manuales_Ventana : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Opened from the archive window for the chosen station; reference and manual readings
    // entered, changed, refused and deleted; the daily export written.
    void referencia_lecturas_y_exportacion() {
        QTemporaryDir dir;
        {
            Archivo_Historico a;
            Destino_Archivo d;
            d.ruta = dir.filePath("ARCHIVO.db");
            QVERIFY(a.Abrir(d));
            QVERIFY(
                Escribir_Prueba(dir.filePath("A.$%c"),
                                Respaldo_Prueba(Bloque_Prueba(0, 6, 4, 31, 12, 1, 23, 0, {1, 2}))));
            QVERIFY(Importar_Respaldo(a, dir.filePath("A.$%c")));
        }
        Banco b;
        b.estado.Directorio_Raiz = dir.path();
        b.estado.Directorio_Datos = dir.path();
        Archivo_Ventana w(b.ctx);
        w.findChild<QPushButton*>("Boton_Niveles")->click();
        Manuales_Ventana* m = w.findChild<Manuales_Ventana*>();
        QVERIFY(m);
        QCOMPARE(m->windowTitle(), QString("Niveles del equipo 6"));

        m->Texto_Referencia->setText("10,5");
        m->Boton_Referencia->click();
        QCOMPARE(m->Texto_Referencia->text(), QString("10,500"));  // read back from the archive
        m->Fecha_Manual->setDateTime(QDateTime(QDate(2002, 1, 1), QTime(0, 0), Qt::UTC));
        m->Texto_Profundidad->setText("1,25");
        m->Texto_Nota->setText("cinta");
        m->Boton_Guardar->click();
        m->Fecha_Manual->setDateTime(QDateTime(QDate(2002, 3, 1), QTime(0, 0), Qt::UTC));
        m->Texto_Profundidad->setText("2");
        m->Texto_Nota->clear();
        m->Boton_Guardar->click();
        QCOMPARE(m->Tabla_Manuales->rowCount(), 2);
        QCOMPARE(m->Tabla_Manuales->item(0, 0)->text(), QString("2002-01-01T00:00"));
        QCOMPARE(m->Tabla_Manuales->item(0, 2)->text(), QString::fromUtf8("sí"));
        QCOMPARE(m->Tabla_Manuales->item(1, 2)->text(),
                 QString("no: sin lectura del equipo a menos de un intervalo"));

        // Chosen, changed and saved again: the same reading, not a second one.
        m->Tabla_Manuales->selectRow(0);
        QCOMPARE(m->Texto_Nota->text(), QString("cinta"));
        m->Texto_Profundidad->setText("1.3");
        m->Boton_Guardar->click();
        QCOMPARE(m->Tabla_Manuales->rowCount(), 2);
        QCOMPARE(m->Tabla_Manuales->item(0, 1)->text(), QString("1,300"));
        m->Texto_Profundidad->setText("uno");
        m->Boton_Guardar->click();
        QCOMPARE(b.dialogos.Textos(), QStringList{"Profundidad incorrecta: uno"});
        m->Boton_Borrar->click();
        QCOMPARE(m->Tabla_Manuales->rowCount(), 1);
        QCOMPARE(m->Tabla_Manuales->item(0, 0)->text(), QString("2002-03-01T00:00"));

        b.dialogos.rutas = QStringList{dir.filePath("diario")};
        m->Boton_Diario->click();
        QCOMPARE(
            b.dialogos.Textos().last(),
            QString::fromUtf8("1 día en ") + QDir::toNativeSeparators(dir.filePath("diario.csv")));
        m->Boton_Cerrar->click();
    }
};

QTEST_MAIN(Tst_Manuales_Ventana)
#include "tst_manuales_ventana.moc"
