#include <QApplication>
#include <QFileDialog>
#include <QtTest>

#include "platform/ui/dialogos_qt.h"

using namespace aq;

class Tst_Plataforma_Ui : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void filtros_y_saltos_de_linea() {
        const QList<std::pair<QString, QStringList>> casos = {
            {"CSV (delimitado por comas) (*.csv)|*.csv|Texto (delimitado por tabulaciones) "
             "(*.txt)|*.txt|",
             {"CSV (delimitado por comas) (*.csv)", "Texto (delimitado por tabulaciones) (*.txt)"}},
            // "All files", a pattern glued to its name, a leading blank.
            {"Todos los archivos (*.*)|*.*|Archivo(*.txt)|*.txt| CSV (*.csv)|*.csv|",
             {"Todos los archivos (*)", "Archivo(*.txt)", "CSV (*.csv)"}},
            // No pattern in the description: the patterns are added.
            {"Respaldos|*.$%c;*.$%t|Datos (planilla)|*.csv",
             {"Respaldos (*.$%c *.$%t)", "Datos (planilla) (*.csv)"}},
            {"", {}}};
        for (const auto& [filtro, esperado] : casos) QCOMPARE(Filtros_Qt(filtro), esperado);

        QCOMPARE(Texto_De_Mensaje("uno\ndos\r\ntres\rcuatro\r"),
                 QStringLiteral("uno\ndos\ntres\ncuatro"));
    }

    // The chosen path comes back whole; the process's folder stays where it was.
    void dialogo_de_archivo() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("DATOS"));
        const QString archivo = dir.filePath("DATOS/pozo.csv");
        QVERIFY(QFile(archivo).open(QIODevice::WriteOnly));
        const QString antes = QDir::current().canonicalPath();
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (d) d->selectFile(archivo), static_cast<QDialog*>(d)->accept();
        });
        Dialogos_Qt dialogos;
        QCOMPARE(
            QDir::fromNativeSeparators(dialogos.Abrir_Archivo("CSV (*.csv)|*.csv|", dir.path())),
            archivo);
        QCOMPARE(QDir::current().canonicalPath(), antes);
    }
};

QTEST_MAIN(Tst_Plataforma_Ui)
#include "tst_plataforma_ui.moc"
