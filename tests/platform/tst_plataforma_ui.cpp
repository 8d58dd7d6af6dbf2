#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QtTest>
#include <functional>

#include "platform/ui/ayuda_visor.h"
#include "platform/ui/dialogos_qt.h"

using namespace aq;

namespace {

// Runs `accion` on the modal dialog once it is open.
void Al_Abrirse(std::function<void(QWidget*)> accion) {
    QTimer::singleShot(0, [accion] {
        QWidget* w = QApplication::activeModalWidget();
        if (w) accion(w);
    });
}

}  // namespace

class Tst_Plataforma_Ui : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void filtros_data() {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("descripciones con su patron")
            << "CSV (delimitado por comas) (*.csv)|*.csv|Texto (delimitado por tabulaciones) "
               "(*.txt)|*.txt|"
            << QStringList{"CSV (delimitado por comas) (*.csv)",
                           "Texto (delimitado por tabulaciones) (*.txt)"};
        QTest::newRow("todos, pegado y con blanco inicial")
            << "Todos los archivos (*.*)|*.*|Archivo(*.txt)|*.txt| CSV (*.csv)|*.csv|"
            << QStringList{"Todos los archivos (*)", "Archivo(*.txt)", "CSV (*.csv)"};
        QTest::newRow("sin patron en la descripcion")
            << "Respaldos|*.$%c;*.$%t|Datos (planilla)|*.csv"
            << QStringList{"Respaldos (*.$%c *.$%t)", "Datos (planilla) (*.csv)"};
        QTest::newRow("vacio") << "" << QStringList{};
    }
    void filtros() {
        QFETCH(QString, filtro);
        QFETCH(QStringList, esperado);
        QCOMPARE(Filtros_Qt(filtro), esperado);
    }

    void caja_de_mensaje() {
        QCOMPARE(Texto_De_Mensaje("uno\ndos\r\ntres\rcuatro\r"),
                 QStringLiteral("uno\ndos\ntres\ncuatro"));

        Dialogos_Qt dialogos;
        QString titulo, texto;
        QMessageBox::Icon icono = QMessageBox::NoIcon;
        QStringList botones;
        Al_Abrirse([&](QWidget* w) {
            auto* caja = qobject_cast<QMessageBox*>(w);
            if (!caja) return;
            titulo = caja->windowTitle();
            texto = caja->text();
            icono = caja->icon();
            for (auto* b : caja->buttons()) botones << b->text();
            for (auto* b : caja->buttons())
                if (b->text() == QLatin1String("Cancelar")) b->click();
        });
        QCOMPARE(dialogos.MsgBox("Error 018, El equipo no responde.\nVerifique.\r\n",
                                 Icono::Critico, Botones::Aceptar_Cancelar, "Error en el enlace"),
                 Respuesta::Cancelar);
        QCOMPARE(titulo, QStringLiteral("Error en el enlace"));
        QCOMPARE(texto, QStringLiteral("Error 018, El equipo no responde.\nVerifique."));
        QCOMPARE(icono, QMessageBox::Critical);
        botones.sort();
        QCOMPARE(botones, (QStringList{"Aceptar", "Cancelar"}));

        Al_Abrirse([](QWidget* w) {
            if (auto* caja = qobject_cast<QMessageBox*>(w)) caja->buttons().first()->click();
        });
        QCOMPARE(dialogos.MsgBox("Opciones actualizadas en Win.ini", Icono::Exclamacion,
                                 Botones::Aceptar, "Grabar Opciones"),
                 Respuesta::Aceptar);
    }

    void dialogo_de_archivo_mueve_el_directorio() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("DATOS"));
        const QString archivo = dir.filePath("DATOS/pozo.csv");
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString antes = QDir::currentPath();

        Dialogos_Qt dialogos;
        QStringList filtros;
        Al_Abrirse([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return;
            filtros = d->nameFilters();
            d->selectFile(archivo);
            static_cast<QDialog*>(d)->accept();
        });
        const QString elegido =
            dialogos.Abrir_Archivo("Todos los archivos (*.*)|*.*| CSV (*.csv)|*.csv|", dir.path());
        QCOMPARE(QDir::fromNativeSeparators(elegido), archivo);
        QCOMPARE(filtros, (QStringList{"Todos los archivos (*)", "CSV (*.csv)"}));
        QCOMPARE(QFileInfo(QDir::currentPath()).canonicalFilePath(),
                 QFileInfo(dir.filePath("DATOS")).canonicalFilePath());

        // Cancelling returns nothing and leaves the directory alone.
        QDir::setCurrent(antes);
        Al_Abrirse([](QWidget* w) {
            if (auto* d = qobject_cast<QFileDialog*>(w)) d->reject();
        });
        QCOMPARE(dialogos.Guardar_Archivo("CSV (*.csv)|*.csv|", dir.path()), QString());
        QCOMPARE(QDir::currentPath(), antes);
    }

    void ayuda() {
        QTemporaryDir dir;
        QString error;
        QWidget* mostrado = nullptr;
        Ayuda_Visor ayuda([&](QWidget* w) { mostrado = w; });
        QVERIFY(!ayuda.Mostrar(dir.filePath("Help.html"), &error));
        QCOMPARE(error, QStringLiteral("No se encontró el manual de ayuda: ") +
                            QDir::toNativeSeparators(dir.filePath("Help.html")));
        QVERIFY(!mostrado);

        QFile f(dir.filePath("Help.html"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html><body><h1>Manual</h1></body></html>");
        f.close();
        QVERIFY(ayuda.Mostrar(dir.filePath("Help.html"), &error));
        QVERIFY(mostrado);
        QCOMPARE(mostrado, ayuda.Visor());
        QVERIFY(ayuda.Visor()->toPlainText().contains("Manual"));
        // A second request reuses the viewer.
        mostrado = nullptr;
        QVERIFY(ayuda.Mostrar(dir.filePath("Help.html"), &error));
        QVERIFY(!mostrado);
    }
};

QTEST_MAIN(Tst_Plataforma_Ui)
#include "tst_plataforma_ui.moc"
