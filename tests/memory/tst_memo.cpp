#include <QtTest>

#include "dobles/fondo_falso.h"
#include "link/enlace.h"
#include "link/ui/espere.h"
#include "memory/descarga.h"
#include "memory/ui/memo.h"
#include "platform/ui/ventanas.h"
#include "tst_descarga_volcado.h"

using namespace aq;

namespace {

const QByteArray U32(32, 'U');
const QString Advertencia = "Advertencia !!!!";

QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A fresh program in a scratch folder, with a logger in mode `modo` that answers the link
// check and, to "DDD", `volcado` in `trozos` pieces 1.5 s apart.
struct Escena {
    QTemporaryDir tmp;
    Banco b;
    QPointer<Memo> w;
    QString datos = tmp.filePath("DATOS"), bak = tmp.filePath("BAK"), raiz = tmp.path();
    QList<int> avance;
    bool espere_visto = false;

    explicit Escena(const QByteArray& volcado = Volcado_De(Bloque_Ejemplo()), int trozos = 8,
                    const QByteArray& modo = "AJ") {
        QDir().mkpath(datos);
        QDir().mkpath(bak);
        b.estado.Directorio_Datos = datos;
        b.estado.Directorio_Bak = bak;
        b.estado.Directorio_Raiz = raiz;
        QDir::setCurrent(datos);
        b.puerto.Responder_Enlace();
        b.puerto.Responder(
            "L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo));
        b.puerto.Responder("AAA", Resp_OK);
        b.puerto.Responder("RRR", Resp_OK);
        b.puerto.al_escribir = [this, volcado, trozos](const QByteArray& c) {
            if (c == U32) espere_visto = b.fondo.Ultima<Espere>() != nullptr;
            if (c != "DDD") return;
            const int n = (volcado.size() + trozos - 1) / trozos;
            for (int i = 0; i < trozos; ++i)
                b.puerto.Entregar(volcado.mid(i * n, n), 1.5 * (i + 1));
        };
        w = new Memo(b.ctx);
        b.fondo.Mostrar_Hija(w);
        QObject::connect(w->ProgressBar1, &QProgressBar::valueChanged,
                         [this](int v) { avance << v; });
    }
    void Leer_Memoria(const QStringList& rutas) {
        b.dialogos.rutas = rutas;
        w->Command1_Click();
    }
    QString Ruta(const QString& nombre) const { return datos + "/" + nombre; }
    QList<QByteArray> Comandos_Tras(const QByteArray& c) const {
        const auto todos = b.puerto.Comandos();
        return todos.mid(todos.lastIndexOf(c) + 1);
    }
};

}  // namespace

class Tst_Memo : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void descarga_buena_y_segunda_sobre_respaldo_protegido() {
        Escena e;
        QVERIFY(!e.b.fondo.Habilitado(Item_Menu::IDC_MENU));
        QCOMPARE(e.w->windowTitle(), QString("Lector de memoria del limnígrafo - freatígrafo"));
        const QString ruta = e.Ruta("POZO3.csv");
        e.Leer_Memoria({ruta});

        QCOMPARE(e.b.dialogos.Textos(), QStringList());
        QCOMPARE(e.b.dialogos.archivos.size(), 1);
        QCOMPARE(e.b.dialogos.archivos[0].filtro, Filtro_Datos);
        QCOMPARE(e.b.dialogos.archivos[0].directorio, e.datos);
        QCOMPARE(e.b.puerto.Comandos(), (QList<QByteArray>{U32, "DDD"}));
        QVERIFY(e.espere_visto);
        QVERIFY(!e.b.fondo.Ultima<Espere>());

        // backup: 4098 records as received, protected, copied
        const QString respaldo = e.bak + "/POZO3.$%c";
        const QByteArray crudo = Leer(respaldo);
        QByteArray registros;
        for (int k = 0; k < 4098; ++k)
            registros += Volcado_De(Bloque_Ejemplo()).mid(5 * k, 5) + "\r\n";
        QCOMPARE(crudo, registros);
        QVERIFY(crudo.startsWith("AA55 \r\n0007 \r\n020A \r\n"));
        QVERIFY(!(QFileInfo(respaldo).permissions() & QFileDevice::WriteOwner));
        QCOMPARE(Leer(e.raiz + "/DUMP.$$$"), crudo);

        // decoded files: the chosen one with ";", the display file with tabs in BAK
        const QByteArray datos = Leer(ruta);
        QVERIFY(datos.startsWith(QString("Información resumida de los datos \r\n").toLatin1()));
        QVERIFY(datos.contains("15/03/02  ;10:15;256\r\n15/03/02  ;10:30;257\r\n"));
        QVERIFY(Leer(e.bak + "/temp.tmp").contains("15/03/02  \t10:15\t256\r\n"));
        QCOMPARE(QDir::current().absolutePath(), QDir(e.bak).absolutePath());

        QVERIFY(e.w->Text1->isVisible());
        QCOMPARE(e.w->Text1->text(), "Datos en: " + ruta);
        QCOMPARE(e.w->Label1->text(), QString("Guardado."));
        QVERIFY(e.b.estado.Memoria_Leida);
        QCOMPARE(e.b.puerto.InBufferSize(), Buffer_Normal);
        QVERIFY(e.b.puerto.PortOpen());
        QVERIFY(e.w->Command1->isEnabled() && e.w->Command2->isEnabled());
        QVERIFY(e.w->Command3->isEnabled());
        QVERIFY(e.avance.contains(Largo_Volcado));
        QVERIFY(std::count_if(e.avance.begin(), e.avance.end(),
                              [](int v) { return v > 0 && v < Largo_Volcado; }) >= 5);

        e.w->Command3_Click();
        QVERIFY(!e.w->Command3->isEnabled());
        QVERIFY(e.w->List1->count() > 20);
        QCOMPARE(e.w->List1->item(0)->text(), QString("Información resumida de los datos "));

        // Same file again: the overwrite question, then the protected backup is replaced.
        e.Leer_Memoria({ruta});
        QCOMPARE(e.b.dialogos.Textos(),
                 QStringList{"El archivo seleccionado ya existe\ndesea sobreescribirlo ?"});
        QCOMPARE(e.b.dialogos.cajas[0].titulo, Advertencia);
        QCOMPARE(e.b.dialogos.cajas[0].botones, Botones::Aceptar_Cancelar);
        QVERIFY(e.b.estado.Memoria_Leida);
        QCOMPARE(Leer(respaldo), crudo);
    }

    void recepcion_corta_o_checksum_malo_guardan_pero_no_dan_memoria_leida() {
        const QByteArray bueno = Volcado_De(Bloque_Ejemplo());
        {
            Escena e(bueno.left(10000), 4);
            const double t0 = e.b.reloj.Segundos();
            e.Leer_Memoria({e.Ruta("POZO.txt")});
            QCOMPARE(e.b.dialogos.Textos(),
                     (QStringList{"Error 005, el lazo de comunicación se ha interrumpido.\n",
                                  "Error 006 hubo un error durante la recepción"}));
            QCOMPARE(e.b.dialogos.cajas[0].titulo, QString("Error en el link"));
            QCOMPARE(e.b.dialogos.cajas[0].icono, Icono::Critico);
            QVERIFY(e.b.reloj.Segundos() - t0 > 45);
            const QByteArray crudo = Leer(e.bak + "/POZO.$%t");
            QCOMPARE(crudo.size(), 4096 * 7 + 7 + 4);
            QVERIFY(crudo.endsWith("*****\r\n*****\r\n**\r\n"));
            QVERIFY(Leer(e.Ruta("POZO.txt")).contains("Memoria con inconsistencias"));
            QVERIFY(!e.b.estado.Memoria_Leida);
            QCOMPARE(e.b.puerto.InBufferSize(), Buffer_Normal);
            QVERIFY(e.w->Command1->isEnabled() && e.w->Command2->isEnabled());
        }
        {
            Escena e(Volcado_De(Bloque_Ejemplo(), 1));
            e.Leer_Memoria({e.Ruta("POZO.CSV")});
            QCOMPARE(e.b.dialogos.Textos(),
                     QStringList{"Error 006 hubo un error durante la recepción"});
            QCOMPARE(e.b.dialogos.cajas[0].titulo, QString("Checksum wrong"));
            QVERIFY(QFile::exists(e.bak + "/POZO.CSV.$%&"));
            // upper-case extension: still a ";" file
            QVERIFY(Leer(e.Ruta("POZO.CSV")).contains("15/03/02  ;10:15;256"));
            QVERIFY(!e.b.estado.Memoria_Leida);
        }
    }

    void eleccion_del_archivo_termina_sin_hablar_con_el_equipo() {
        struct Caso {
            QStringList rutas;
            QStringList textos;
            QList<Respuesta> respuestas;
        };
        const QString denegado = "Permiso denegado.";
        Escena previa;  // for the folder names only
        const QString d = previa.datos;
        QFile(d + "/existe.csv").open(QIODevice::WriteOnly);
        QFile(d + "/protegido.csv").open(QIODevice::WriteOnly);
        QFile::setPermissions(d + "/protegido.csv", QFileDevice::ReadOwner);
        QDir().mkpath(d + "/carpeta.csv");
        const QList<Caso> casos = {
            {{}, {}, {}},  // dialog cancelled
            {{d + "/PROGRAMA.exe"}, {denegado}, {}},
            {{d + "/miAyuda.Txt"}, {denegado}, {}},
            {{d + "/a.ZIP"}, {denegado}, {}},
            {{d + "/protegido.csv"}, {denegado}, {}},
            {{d + "/carpeta.csv"}, {denegado}, {}},
            {{d + "/existe.csv"},
             {"El archivo seleccionado ya existe\ndesea sobreescribirlo ?"},
             {Respuesta::Cancelar}},
            {{d + "/MIS.DATOS/POZO.csv", d + "/x.exe"}, {"extención incorrecta", denegado}, {}},
            {{d + "/NO/POZO.csv"},
             {"No existe el directorio solicitado.\nCréelo y vuelva a intentar"},
             {}},
        };
        for (const Caso& c : casos) {
            Escena e;
            e.b.estado.Directorio_Datos = d;
            e.b.dialogos.respuestas = c.respuestas;
            e.Leer_Memoria(c.rutas);
            const QString caso = c.rutas.join(',');
            QVERIFY2(e.b.dialogos.Textos() == c.textos, qPrintable(caso));
            QVERIFY2(e.b.puerto.Comandos().isEmpty(), qPrintable(caso));
            QCOMPARE(e.b.puerto.InBufferSize(), Buffer_Normal);
            QVERIFY(e.b.puerto.PortOpen());
            QVERIFY(e.w->Command1->isEnabled() && e.w->Command2->isEnabled());
            QVERIFY(!e.b.estado.Memoria_Leida);
            QCOMPARE(e.b.dialogos.archivos.size(), qMax(1, int(c.rutas.size())));
            for (const auto& caja : e.b.dialogos.cajas) {
                if (caja.texto == denegado) QCOMPARE(caja.titulo, Advertencia);
                if (caja.texto.startsWith("ext")) QCOMPARE(caja.titulo, Titulo_Aplicacion);
                if (caja.texto.startsWith("No existe"))
                    QCOMPARE(caja.titulo, QString("Error de archivo"));
            }
        }
        QCOMPARE(Leer(d + "/existe.csv"), QByteArray());
        QVERIFY(!QFile::exists(d + "/PROGRAMA.exe"));
    }

    void enlace_fallido_y_respaldo_imposible() {
        {
            Escena e;
            e.b.puerto.Responder(U32, QByteArray());  // silent logger
            e.Leer_Memoria({e.Ruta("POZO.csv")});
            QCOMPARE(e.b.dialogos.Textos(),
                     QStringList{"Error 016, El equipo no responde de manera adecuada.\n"
                                 "posiblemente a causa de INTERFERENCIAS.\n"
                                 "Vuelva a intentar el procedimiento."});
            QCOMPARE(e.b.dialogos.cajas[0].icono, Icono::Ninguno);
            QCOMPARE(e.b.dialogos.cajas[0].titulo, QString("Error en el link"));
            QVERIFY(!e.b.puerto.Comandos().contains("DDD"));
            QVERIFY(!e.b.fondo.Ultima<Memo>());  // unloaded, closing steps run
            QVERIFY(e.b.puerto.Comandos().contains("L"));
            QCOMPARE(e.b.puerto.InBufferSize(), Buffer_Normal);
            QVERIFY(e.b.fondo.Habilitado(Item_Menu::IDC_MENU));
        }
        {
            Escena e;
            e.b.estado.Directorio_Bak = e.tmp.filePath("NO");
            e.Leer_Memoria({e.Ruta("POZO.csv")});
            QCOMPARE(
                e.b.dialogos.Textos(),
                QStringList{"No existe el directorio solicitado.\nCréelo y vuelva a intentar"});
            QCOMPARE(e.b.dialogos.cajas[0].titulo, QString("Error de archivo"));
            QCOMPARE(e.b.puerto.InBufferSize(), Buffer_Normal);
            QVERIFY(e.w->Command1->isEnabled() && e.w->Command2->isEnabled());
            QVERIFY(!e.b.estado.Memoria_Leida);
        }
    }

    void cierre_devuelve_el_modo_y_el_menu() {
        for (const QByteArray modo : {"AJ", "RE"}) {
            Escena e(Volcado_De(Bloque_Ejemplo()), 8, modo);
            QFile(e.datos + "/AMORTI.TMP").open(QIODevice::WriteOnly);
            e.w->Command2->setEnabled(false);  // as during a download
            QVERIFY(!Descargar(e.w));
            QVERIFY(e.b.puerto.Comandos().isEmpty());
            e.w->Command2->setEnabled(true);
            e.w->Command2_Click();
            QVERIFY(!e.w || !e.w->isVisible());
            QCOMPARE(e.b.puerto.Comandos(), (QList<QByteArray>{"L", modo == "AJ" ? "AAA" : "RRR"}));
            QVERIFY(!QFile::exists(e.datos + "/AMORTI.TMP"));
            for (Item_Menu i :
                 {Item_Menu::IDC_MEMO, Item_Menu::IDC_SETUP, Item_Menu::IDC_PROGRAMADOR,
                  Item_Menu::IDC_ACERCA, Item_Menu::IDC_MENU})
                QVERIFY(e.b.fondo.Habilitado(i));
            QVERIFY(!e.b.fondo.arena);
        }
    }
};

QTEST_MAIN(Tst_Memo)
#include "tst_memo.moc"
