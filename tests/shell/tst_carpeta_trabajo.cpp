#include <QtTest>

#include <QMdiArea>
#include <QMdiSubWindow>

#include "dobles/fondo_falso.h"
#include "memory/tst_descarga_volcado.h"
#include "memory/ui/memo.h"
#include "shell/ui/fondo.h"

using namespace aq;

// The program names every file by its full path: what one window does to folders never
// changes which file another one reads.
class Tst_Carpeta_Trabajo : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // A download, then the manual from the help menu (which lives in the program folder), and
    // a stray "temp.tmp" lying both there and in the process's folder: "Mostrar datos recibidos"
    // still lists the download's own display file.
    void ayuda_no_cambia_el_archivo_mostrado() {
        QTemporaryDir tmp;
        for (const char* d : {"RAIZ", "DATOS", "BAK", "proceso"}) QDir(tmp.path()).mkdir(d);
        QVERIFY(QDir::setCurrent(tmp.filePath("proceso")));
        Banco b;
        b.estado.Directorio_Raiz = tmp.filePath("RAIZ");
        b.estado.Directorio_Datos = tmp.filePath("DATOS");
        b.estado.Directorio_Bak = tmp.filePath("BAK");
        b.estado.Puerto_Com = 1;
        b.puerto.Responder_Enlace();
        b.puerto.al_escribir = [&](const QByteArray& c) {
            if (c == "DDD") b.puerto.Entregar(Volcado_De(Bloque_Ejemplo()), 0.2);
        };
        for (const QString& ajeno :
             {tmp.filePath("RAIZ/temp.tmp"), tmp.filePath("proceso/temp.tmp")}) {
            QFile f(ajeno);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("ajeno\r\n") == 7);
        }
        Fondo f(b.ctx);
        f.show();
        f.IDC_DUMP_Click();
        Memo* memo = nullptr;
        for (QMdiSubWindow* s : f.Area()->subWindowList())
            if (auto* m = qobject_cast<Memo*>(s->widget())) memo = m;
        QVERIFY(memo);
        b.dialogos.rutas = {tmp.filePath("DATOS/POZO.csv")};
        memo->Command1->click();
        QCOMPARE(memo->Label1->text(), QStringLiteral("Guardado."));

        f.mnuManual_Click();
        memo->Command3->click();

        QCOMPARE(QDir::currentPath(), tmp.filePath("proceso"));
        QVERIFY(memo->List1->count() > 10);
        QCOMPARE(memo->List1->item(0)->text(), QString("Información resumida de los datos "));
        QVERIFY(b.dialogos.cajas.isEmpty());
        QVERIFY(QFileInfo(tmp.filePath("BAK/temp.tmp")).isFile());
        QDir::setCurrent(QDir::tempPath());
    }
};

QTEST_MAIN(Tst_Carpeta_Trabajo)
#include "tst_carpeta_trabajo.moc"
