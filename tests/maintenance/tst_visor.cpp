#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "dobles/fondo_falso.h"
#include "maintenance/datos_visor.h"
#include "maintenance/ui/visor.h"

using namespace aq;

namespace {

const QString Texto_Invalido = QStringLiteral(
    "El archivo seleccionado, no es un archivo valido, parece no contener datos del "
    "limnigrafo-freatigrafo.");

QString Escribir(const QTemporaryDir& tmp, const QString& nombre, const QByteArray& bytes) {
    QFile f(tmp.filePath(nombre));
    if (!f.open(QIODevice::WriteOnly)) return QString();
    f.write(bytes);
    return f.fileName();
}

// Lines as the decoder writes them, accents and ordinal sign in Latin-1.
const QByteArray Exportado = QStringLiteral(
                                 "Información resumida de los datos \r\n \r\n"
                                 "Cantidad de lugares vacíos:  4089\r\n"
                                 "Bloque de datos Nº:  1\r\nDatos Del Bloque:  2\r\n"
                                 "Alcance:  4  Metros \r\n\r\n"
                                 "15/03/02  ;10:15;256\r\n15/03/02  ;10:30;257\r\n")
                                 .toLatin1();

}  // namespace

class Tst_Visor : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void contenido_permitido() {
        const auto& t = Caracteres_Permitidos();
        QCOMPARE(int(std::count(t.begin(), t.end(), true)), 80);
        QTemporaryDir tmp;
        QCOMPARE(Verificar_Archivo(Escribir(tmp, "e.csv", Exportado)), QString("ok"));
        QCOMPARE(Verificar_Archivo(Escribir(tmp, "v.txt", "")), QString("ok"));
        for (const QByteArray& malo :
             {QByteArray(","), QByteArray("-"), QByteArray("\""), QByteArray("?"), QByteArray("*"),
              QByteArray("\xCD"), QByteArray("\xD3"), QByteArray(1, '\0')}) {
            const QString ruta = Escribir(tmp, "m.csv", Exportado + "12;3" + malo + "4\r\n");
            QCOMPARE(Verificar_Archivo(ruta), QString("notOk"));
        }
        QCOMPARE(Verificar_Archivo(tmp.filePath("no_existe.csv")), QString("notOk"));

        // The first offending byte, beyond the first read block.
        const QString grande = Escribir(tmp, "g.txt", QByteArray(70000, 'a') + "\r\nab\tc,d\r\n");
        const Revision_Contenido r = Revisar_Contenido(grande);
        QVERIFY(r.legible && !r.valido);
        QCOMPARE(r.linea, 2);
        QCOMPARE(r.columna, 5);
        QCOMPARE(int(r.byte), int(','));

        QVERIFY(Extension_Valida("C:\\DATOS\\MEDIDAS.CSV"));
        QVERIFY(Extension_Valida("/d/medidas.Txt"));
        QVERIFY(!Extension_Valida("/d/medidas.csv.bak"));
        QVERIFY(!Extension_Valida("/d/medidas"));
    }

    void disposicion_y_tabulaciones() {
        const Disposicion_Visor d = Calcular_Disposicion_Visor(10000, 5000, 972, 288);
        QCOMPARE(d.ancho_lista, 6000.0);
        QCOMPARE(d.alto_lista, 4000.0);
        QCOMPARE(qRound(d.izquierda_lista * 100), 100933);
        QCOMPARE(d.arriba_lista, 500.0);
        QCOMPARE(qRound(d.izquierda_boton * 100), 801867);
        QCOMPARE(d.arriba_boton, 500.0);
        QCOMPARE(d.izquierda_texto, d.izquierda_lista);
        QCOMPARE(d.ancho_texto, 6000.0);
        QCOMPARE(d.arriba_texto, 106.0);

        QCOMPARE(Expandir_Tabulaciones("15/03/02  \t10:15\t256"),
                 QString("15/03/02        10:15   256"));
        QCOMPARE(Expandir_Tabulaciones("\t\t"), QString(16, ' '));
        QCOMPARE(Expandir_Tabulaciones("sin"), QString("sin"));
    }

    void modelo_de_lineas() {
        Modelo_Lineas m;
        m.Asignar("12;05/03/02;10:15;1234\r\n;;\nsin punto y coma\rfin");
        QCOMPARE(m.rowCount(), 4);
        QCOMPARE(m.Linea(0), QString("12\t05/03/02\t10:15\t1234"));
        QCOMPARE(m.Linea(1), QString("\t\t"));
        QCOMPARE(m.Linea(2), QString("sin punto y coma"));
        QCOMPARE(m.data(m.index(3)).toString(), QString("fin"));
        m.Asignar("\r\n\r\n");
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.Linea(1), QString());
        m.Asignar(QStringLiteral("Nº\r\n").toLatin1());
        QCOMPARE(m.Linea(0), QString("Nº"));
        QString error;
        QVERIFY(!m.Cargar("/no/existe.txt", &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(m.rowCount(), 0);
    }

    void visualizar() {
        QTemporaryDir tmp;
        Banco b;
        b.estado.Directorio_Datos = tmp.path();
        const QString bueno = Escribir(tmp, "MEDIDAS.CSV", Exportado + ";;\r\n");
        const QString malo = Escribir(tmp, "malo.csv", "1,5\r\n");
        const QString ajeno = Escribir(tmp, "medidas.csv.bak", Exportado);
        QDir().mkpath(tmp.filePath("sub"));
        const QString vacio = Escribir(tmp, "sub/vacio.txt", "");

        // Cancelled, wrong extension, wrong content: no window, the menu stays enabled.
        b.dialogos.rutas << "" << ajeno << malo;
        for (int i = 0; i < 3; ++i) Fondo_visualizar_Click(b.ctx);
        QCOMPARE(b.dialogos.archivos.size(), 3);
        QCOMPARE(b.dialogos.archivos[0].filtro, Filtro_Visor);
        QCOMPARE(b.dialogos.archivos[0].directorio, tmp.path());
        QCOMPARE(b.dialogos.Textos(),
                 QStringList({"La extensión del archivo es incorrecta.", Texto_Invalido}));
        for (const auto& c : b.dialogos.cajas) {
            QCOMPARE(c.icono, Icono::Informacion);
            QCOMPARE(c.titulo, Titulo_Aplicacion);
        }
        QVERIFY(!b.fondo.Ultima<Visor>());
        QVERIFY(b.fondo.Habilitado(Item_Menu::IDC_MENU));
        QVERIFY(!b.fondo.arena);

        b.dialogos.rutas << bueno;
        Fondo_visualizar_Click(b.ctx);
        Visor* v = b.fondo.Ultima<Visor>();
        QVERIFY(v);
        QCOMPARE(v->windowTitle(), QString("Visor"));
        QVERIFY(v->isMaximized());
        QVERIFY(!b.fondo.Habilitado(Item_Menu::IDC_MENU));
        QVERIFY(!b.fondo.arena);
        QCOMPARE(v->Text1->text(), bueno);
        QCOMPARE(v->List1->model()->rowCount(), 10);
        QCOMPARE(v->Modelo()->Linea(7), QString("15/03/02  \t10:15\t256"));
        QCOMPARE(v->Modelo()->Linea(9), QString("\t\t"));
        // The layout follows the window's size.
        QCOMPARE(v->List1->width(), qRound(v->frameGeometry().width() * 3 / 5.0));
        QVERIFY(v->Cerrar->x() > v->List1->geometry().right());
        v->Cerrar->click();
        QVERIFY(!b.fondo.Ultima<Visor>());
        QVERIFY(b.fondo.Habilitado(Item_Menu::IDC_MENU));

        // An empty text file opens with an empty list; the close box also enables the menu.
        b.dialogos.rutas << vacio;
        Fondo_visualizar_Click(b.ctx);
        v = b.fondo.Ultima<Visor>();
        QVERIFY(v);
        QCOMPARE(QDir::currentPath(), QFileInfo(tmp.filePath("sub")).canonicalFilePath());
        QCOMPARE(v->List1->model()->rowCount(), 0);
        QCOMPARE(v->Text1->text(), vacio);
        QVERIFY(!b.fondo.Habilitado(Item_Menu::IDC_MENU));
        QVERIFY(v->close());
        QVERIFY(b.fondo.Habilitado(Item_Menu::IDC_MENU));
        QCOMPARE(b.dialogos.cajas.size(), 2);
    }

    void cli_verificar() {
        const QString exe = QStringLiteral(AQ_BINARIOS "/cli/aqtide-cli");
        QVERIFY2(QFile::exists(exe), "aqtide-cli not built");
        QTemporaryDir tmp;
        auto correr = [&](const QStringList& args, QString* salida) {
            QProcess p;
            p.start(exe, QStringList{"verificar"} + args);
            p.waitForFinished(10000);
            *salida = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
            return p.exitCode();
        };
        QString s;
        QCOMPARE(correr({Escribir(tmp, "d.CSV", Exportado)}, &s), 0);
        QCOMPARE(s, QString("ok"));
        QCOMPARE(correr({Escribir(tmp, "d.csv.bak", Exportado)}, &s), 1);
        QVERIFY(s.startsWith("extensión"));
        QCOMPARE(correr({Escribir(tmp, "m.txt", "ab\r\n12;-3\r\n")}, &s), 1);
        QCOMPARE(s, QString("carácter no admitido: línea 2, columna 4, byte 45 (0x2d)"));
        QCOMPARE(correr({tmp.filePath("no.txt")}, &s), 1);
        QVERIFY(s.startsWith("ilegible"));
        QCOMPARE(correr({}, &s), 2);
        QCOMPARE(correr({"a.txt", "b.txt"}, &s), 2);
    }
};

QTEST_MAIN(Tst_Visor)
#include "tst_visor.moc"
