#include <QProcess>
#include <QtTest>

#include "dobles/fondo_falso.h"
#include "dobles/tuberia.h"
#include "maintenance/datos_visor.h"
#include "maintenance/modelo_lineas.h"
#include "maintenance/ui/visor.h"
#include "memory/ui/hidrograma.h"

using namespace aq;

// "&Visualizar" as the main window does it.
static void Visualizar(Banco& b) {
    if (Visor* v = Abrir_Visor(b.ctx, nullptr)) {
        b.fondo.Mostrar_Hija(v);
        v->Mostrar_Pendiente();
    }
}

class Tst_Visor : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    // Lines as the decoder writes them, accents and ordinal sign in Latin-1.
    const QByteArray Exportado =
        "Informaci\xF3n resumida \r\nN\xBA:  1\r\n15/03/02  ;10:15;256\r\n";

    QString Escribir(const QString& nombre, const QByteArray& bytes) {
        QFile f(tmp_.filePath(nombre));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : "";
    }

  private Q_SLOTS:
    void caracteres_extension_y_disposicion() {
        // Letters and digits, plus these.
        const QByteArray otros = " /\xBA.:\xE1\xF3\xFA\xED\xE9\xF1\xD1\xC9\xC1;\t\r\n";
        for (int c = 0; c < 256; ++c)
            QCOMPARE(
                Verificar_Archivo(Escribir("c.txt", Exportado + char(c) + "\r\n")),
                QString((c < 128 && std::isalnum(c)) || otros.contains(char(c)) ? "ok" : "notOk"));
        for (const char* ruta : {"C:\\D\\M.CSV", "/d/m.Txt"}) QVERIFY(Extension_Valida(ruta));
        for (const char* ruta : {"/d/m.csv.bak", "/d/medidas"}) QVERIFY(!Extension_Valida(ruta));

        const Disposicion_Visor d = Calcular_Disposicion_Visor(10000, 5000, 972, 288);
        QCOMPARE(
            QString::asprintf("%g %g %.2f %g %.2f %g %.2f %g %g", d.ancho_lista, d.alto_lista,
                              d.izquierda_lista, d.arriba_lista, d.izquierda_boton, d.arriba_boton,
                              d.izquierda_texto, d.ancho_texto, d.arriba_texto),
            QString("6000 4000 1009.33 500 8018.67 500 1009.33 6000 106"));
    }

    void visualizar() {
        Banco b;
        // Cancelled, wrong extension, wrong content: no window, the menu stays enabled.
        b.dialogos.rutas << "" << Escribir("d.csv.bak", Exportado) << Escribir("malo.csv", "1,5");
        for (int i = 0; i < 3; ++i) Visualizar(b);
        QCOMPARE(b.dialogos.Textos(),
                 QStringList({"La extensión del archivo es incorrecta.",
                              "El archivo seleccionado, no es un archivo valido, parece no "
                              "contener datos del limnigrafo-freatigrafo."}));
        QVERIFY(!b.fondo.Ultima<Visor>());

        b.dialogos.rutas << Escribir("M.CSV", Exportado + ";;\r\n") << Escribir("v.txt", "");
        Visualizar(b);
        Visor* v = b.fondo.Ultima<Visor>();
        QVERIFY(v);
        QCOMPARE(v->Modelo()->Linea(0), QString("Información resumida "));
        QCOMPARE(v->Modelo()->Linea(3), QString("\t\t"));
        QCOMPARE(v->List1->width(), qRound(v->frameGeometry().width() * 3 / 5.0));
        v->Cerrar->click();
        QVERIFY(!b.fondo.Ultima<Visor>());
        QCOMPARE(b.fondo.Veces("Devolver_Menu"), 1);
        // An empty file opens empty; the close box gives the menu back as well.
        Visualizar(b);
        v = b.fondo.Ultima<Visor>();
        QVERIFY(v && v->List1->model()->rowCount() == 0 && v->close());
        QCOMPARE(b.fondo.Veces("Devolver_Menu"), 2);
    }

    // "&Gráfico", below "Cerrar", plots the file on show (a file that holds no blocks is
    // refused as the plot's own test shows).
    void grafico_del_archivo_mostrado() {
        Banco b;
        b.dialogos.rutas << Escribir(
            "P.CSV",
            "Informaci\xF3n resumida de los datos \r\nregistrados en la "
            "memoria.\r\nBloque de datos N\xBA:  1\r\n15/03/02  ;10:15;256\r\n"
            "15/03/02  ;10:30;257\r\n");
        Visualizar(b);
        Visor* v = b.fondo.Ultima<Visor>();
        QVERIFY(v && v->Grafico->isEnabled());
        QCOMPARE(v->Grafico->x(), v->Cerrar->x());
        QVERIFY(v->Grafico->y() > v->Cerrar->y() + v->Cerrar->height());
        v->Grafico->click();
        Hidrograma* h = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* x = qobject_cast<Hidrograma*>(w); x && x->isVisible()) h = x;
        QVERIFY(h && h->windowTitle() == QString("Hidrograma - P.CSV"));
        QCOMPARE(h->Datos().Total_Lecturas(), 2);
        delete h;
    }

    void cli_verificar() {
        // Exit code, then what the tool printed.
        auto correr = [](const QStringList& args) {
            QProcess p;
            p.start(AQ_BINARIOS "/cli/aqtide-cli", QStringList{"verificar"} + args);
            p.waitForFinished(10000);
            return QString::number(p.exitCode()) + ' ' + p.readAllStandardOutput();
        };
        QCOMPARE(correr({Escribir("d.CSV", Exportado)}), QString("0 ok\n"));
        QCOMPARE(correr({Escribir("d.csv.bak", Exportado)}).left(11), QString("1 extensión"));
        QCOMPARE(correr({Escribir("m.txt", "ab\r\n12;-3\r\n")}),
                 QString("1 carácter no admitido: línea 2, columna 4, byte 45 (0x2d)\n"));
        QCOMPARE(correr({"a.txt", "b.txt"}), QString("2 "));
        // A missing file is a file failure, said in Spanish on the error output.
        QProcess p;
        p.start(AQ_BINARIOS "/cli/aqtide-cli", {"verificar", tmp_.filePath("falta.csv")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 3);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                 tmp_.filePath("falta.csv") + ": El archivo no existe.\n");
    }

    // A named pipe with a data file's name, that nobody writes to: the viewer, the line model
    // and the command-line check each refuse it at once.
    void tuberia_no_bloquea() {
        const QString x = tmp_.filePath("x.csv");
        QVERIFY(Crear_Tuberia(x));
        Vigia_Tuberia vigia(x);
        Banco b;
        b.dialogos.rutas << x;
        Visualizar(b);
        QCOMPARE(b.dialogos.Textos(),
                 QStringList({"El archivo seleccionado, no es un archivo valido, parece no "
                              "contener datos del limnigrafo-freatigrafo."}));
        QVERIFY(!b.fondo.Ultima<Visor>());

        Modelo_Lineas modelo;
        QString error;
        QVERIFY(!modelo.Cargar(x, &error));
        QCOMPARE(error, QString("No es un archivo común (es una tubería, un dispositivo, un "
                                "socket o una carpeta)."));

        QProcess p;
        p.start(AQ_BINARIOS "/cli/aqtide-cli", {"verificar", x});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 3);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                 x + QString(": No es un archivo común (es una tubería, un dispositivo, un "
                             "socket o una carpeta).\n"));
        QVERIFY(!vigia.Disparado());
    }
};

QTEST_MAIN(Tst_Visor)
#include "tst_visor.moc"
