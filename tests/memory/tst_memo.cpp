#include <QtTest>

#include "dobles/fondo_falso.h"
#include "link/enlace.h"
#include "memory/descarga.h"
#include "memory/ui/grafico_datos.h"
#include "memory/ui/memo.h"
#include "platform/ui/ventanas.h"
#include "tst_descarga_volcado.h"

using namespace aq;

const QString Sobreescribir = "El archivo seleccionado ya existe\ndesea sobreescribirlo ?";

// A fresh program in a scratch folder, with a logger in mode `modo` that answers the link
// check and, to "DDD", `volcado` in pieces of `trozo` characters 1.5 s apart.
struct Escena {
    QTemporaryDir tmp;
    Banco b;
    QPointer<Memo> w;
    QString datos = tmp.filePath("DATOS"), bak = tmp.filePath("BAK");

    explicit Escena(const QByteArray& volcado = Volcado_De(Bloque_Ejemplo()), int trozo = 2561,
                    const QByteArray& modo = "AJ") {
        for (const QString& d : {datos, bak}) QDir().mkpath(d);
        b.estado.Directorio_Datos = datos;
        b.estado.Directorio_Bak = bak;
        b.estado.Directorio_Raiz = tmp.path();
        b.puerto.Responder_Enlace();
        b.puerto.Responder(
            "L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo));
        b.puerto.Responder(modo == "AJ" ? "AAA" : "RRR", Resp_OK);
        b.puerto.al_escribir = [this, volcado, trozo](const QByteArray& c) {
            for (int i = 0; c == "DDD" && i * trozo < volcado.size(); ++i)
                b.puerto.Entregar(volcado.mid(i * trozo, trozo), 1.5 * (i + 1));
        };
        b.fondo.Mostrar_Hija(w = new Memo(b.ctx));
    }
    void Leer_Memoria(const QStringList& rutas) {
        b.dialogos.rutas = rutas;
        w->Command1_Click();
    }
};

class Tst_Memo : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // The image is whole: the readings reach the chosen file even without a backup folder,
    // but the erase stays refused (the download's own test holds the files and the texts).
    void sin_carpeta_de_respaldo_los_datos_llegan_igual() {
        Escena e;
        QDir(e.bak).removeRecursively();
        const QString ruta = e.datos + "/POZO3.csv";
        QStringList etapas_en_caja;
        e.b.dialogos.al_mostrar = [&](const auto&) { etapas_en_caja << e.w->Label1->text(); };
        e.Leer_Memoria({ruta});
        // As soon as it failed; then the display file, which lives in the same folder.
        QCOMPARE(etapas_en_caja, QStringList({"Procesando ...", "Guardando ..."}));
        QCOMPARE(e.b.dialogos.cajas.size(), 2);
        QCOMPARE(e.b.dialogos.cajas[0].icono, Icono::Critico);
        QCOMPARE(e.b.dialogos.cajas[0].titulo, QStringLiteral("Error de archivo"));
        QCOMPARE(e.w->Text1->text(), "Datos en: " + ruta);
        QVERIFY(e.w->Command1->isEnabled() && e.w->Command2->isEnabled());
    }

    void descarga_buena_y_segunda_sobre_respaldo_protegido() {
        Escena e;
        const QString ruta = e.datos + "/POZO3.csv";
        int pasos = 0;
        connect(e.w->ProgressBar1, &QProgressBar::valueChanged, this, [&] { ++pasos; });
        auto* grafico = e.w->findChild<QPushButton*>("Grafico");
        QVERIFY(grafico && !grafico->isEnabled());
        e.b.dialogos.rutas = {ruta};
        e.w->Command1->click();
        QCOMPARE(e.w->Label1->text(), QStringLiteral("Guardado."));
        // Steps the eye can see on the backup's bar (4098 lines), not one repaint per line.
        QVERIFY2(pasos >= 40 && pasos <= 100, qPrintable(QString::number(pasos)));
        QCOMPARE(e.w->ProgressBar1->value(), 0);
        QCOMPARE(e.b.puerto.Comandos(), (QList<QByteArray>{U32, "DDD"}));
        QCOMPARE(e.w->Text1->text(), "Datos en: " + ruta);
        QVERIFY(e.b.estado.Memoria_Leida);
        e.w->Command3_Click();  // the display file, found in the backup folder
        QCOMPARE(e.w->List1->item(0)->text(), QString("Información resumida de los datos "));
        // The plot of the file just written is on offer.
        QVERIFY(grafico->isEnabled());
        grafico->click();
        Hidrograma* h = nullptr;
        for (QWidget* v : QApplication::topLevelWidgets())
            if (auto* x = qobject_cast<Hidrograma*>(v)) h = x;
        QVERIFY(h && h->windowTitle() == "Hidrograma - " + QFileInfo(ruta).fileName());
        QCOMPARE(h->Grafico()->Serie().Total_Puntos(), size_t(2));
        delete h;

        // Same file again: only the overwrite question, then the protected backup is replaced.
        e.Leer_Memoria({ruta});
        QCOMPARE(e.b.dialogos.Textos(), QStringList{Sobreescribir});
        QVERIFY(e.b.estado.Memoria_Leida);
    }

    // Each notice of the download is a box; the backup of a short reception is padded with "*"
    // (the download's own test holds the rest, and the bad checksum).
    void recepcion_corta_avisa_y_rellena_el_respaldo() {
        Escena e(Volcado_De(Bloque_Ejemplo()).left(10000), 2500);
        e.Leer_Memoria({e.datos + "/POZO.txt"});
        QCOMPARE(e.b.dialogos.Textos(),
                 (QStringList{"Error 005, el lazo de comunicación se ha interrumpido.\n",
                              "Error 006 hubo un error durante la recepción"}));
        QVERIFY(Leer(e.bak + "/POZO.$%t").endsWith("*****\r\n*****\r\n**\r\n"));
    }

    void eleccion_del_archivo_termina_sin_hablar_con_el_equipo() {
        Escena previa;  // for the folder names only
        const QString d = previa.datos, denegado = "Permiso denegado.";
        QFile(d + "/existe.csv").open(QIODevice::WriteOnly);
        QDir().mkpath(d + "/carpeta.csv");
        const QList<std::pair<QStringList, QStringList>> casos = {
            {{d + "/carpeta.csv"}, {denegado}},
            {{d + "/existe.csv"}, {Sobreescribir}},  // answered Cancel
            {{d + "/MIS.DATOS/POZO.csv", d + "/miAyuda.Txt"}, {"extención incorrecta", denegado}}};
        for (const auto& [rutas, textos] : casos) {
            Escena e;
            e.b.dialogos.respuestas = {Respuesta::Cancelar};
            e.Leer_Memoria(rutas);
            QVERIFY2(e.b.dialogos.Textos() == textos, qPrintable(rutas.join(',')));
            QVERIFY(e.b.puerto.Comandos().isEmpty());
            QCOMPARE(e.b.puerto.InBufferSize(), Buffer_Normal);
        }
    }

    void cierre_rechazado_en_descarga_y_enlace_fallido_devuelve_el_modo() {
        Escena e(Volcado_De(Bloque_Ejemplo()), 2561, "RE");
        e.w->Command2->setEnabled(false);  // as during a download
        QVERIFY(!Descargar(e.w));
        e.w->Command2->setEnabled(true);
        QFile(e.datos + "/AMORTI.TMP").open(QIODevice::WriteOnly);
        e.b.puerto.Responder(U32, QByteArray());  // silent logger
        e.Leer_Memoria({e.datos + "/POZO.csv"});
        QVERIFY(e.b.dialogos.Textos().value(0).startsWith("Error 016, El equipo no responde"));
        QVERIFY(!e.b.fondo.Ultima<Memo>());  // unloaded: it hands the logger back in its mode
        const auto c = e.b.puerto.Comandos();
        QCOMPARE(c.mid(c.lastIndexOf(U32) + 1), (QList<QByteArray>{"L", "RRR"}));
        QVERIFY(!QFile::exists(e.datos + "/AMORTI.TMP"));
        QCOMPARE(e.b.fondo.Veces("Devolver_Menu"), 1);
    }
};

QTEST_MAIN(Tst_Memo)
#include "tst_memo.moc"
