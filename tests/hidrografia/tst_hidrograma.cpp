#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include "core/fecha_equipo.h"
#include "dobles/dialogos_guionados.h"
#include "memory/serie_datos.h"
#include "memory/ui/grafico_datos.h"

using namespace aq;

namespace {

// Three blocks as the decoder writes them; the third has no readings.
const QByteArray Archivo_Datos = QString::fromUtf8(
                                     "Información resumida de los datos \r\n"
                                     "registrados en la memoria.\r\n \r\n \r\n"
                                     "Cantidad de bloques de datos:  3\r\n \r\n \r\n"
                                     " \r\n \r\nBloque de datos Nº:  1\r\n \r\n"
                                     "Datos Del Bloque:  3\r\nEquipo Nº:  7\r\n\r\n\r\n"
                                     "15/03/02  ;10:15;256\r\n15/03/02  ;10:30;300\r\n"
                                     "15/03/02  ;10:45;280\r\n"
                                     " \r\n \r\nBloque de datos Nº:  2\r\n \r\n"
                                     "Datos Del Bloque:  2\r\nEquipo Nº:  7\r\n\r\n\r\n"
                                     "17/03/02  \t08:00\t400\r\n17/03/02  \t09:00\t350\r\n"
                                     " \r\n \r\nBloque de datos Nº:  3\r\n \r\n"
                                     "Datos Del Bloque:  0\r\n")
                                     .toLatin1();
const QString Ajeno = QString::fromUtf8(
    "El archivo no contiene datos del limnígrafo-freatígrafo: no comienza con el resumen de la "
    "memoria que escribe el programa.");

QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Minutes of the time line, the chart's time axis.
double Min(const char* texto) {
    return double(Minuto_De_Momento(
        QDateTime::fromString(QString::fromLatin1(texto), "dd/MM/yy hh:mm").addYears(100)));
}

}  // namespace

class Tst_Hidrograma : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    QString ruta_, ajeno_;
    Dialogos_Guionados dialogos_;
    std::unique_ptr<Hidrograma> h_;

    QString Escribir(const QString& nombre, const QByteArray& bytes) {
        QFile f(tmp_.filePath(nombre));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : "";
    }

    // Time span in ms, then column span, then where both begin.
    QList<qint64> Vista() const {
        const QValueAxis* t = h_->Eje_Tiempo();
        const QValueAxis* c = h_->Eje_Valor();
        return {qRound64((t->max() - t->min()) * 60000), qRound64((c->max() - c->min()) * 1000),
                qRound64(t->min() * 60000), qRound64(c->min() * 1000)};
    }
    // A point of the view for chart values.
    QPoint En_Vista(qreal minuto, qreal mm) const {
        Grafico_Hidrografico* g = h_->Grafico();
        return h_->Vista->mapFromScene(g->mapToScene(g->Posicion_De(QPointF(minuto, mm))));
    }
    QPointF Valor(const QPoint& p) const {
        QPointF v;
        h_->Grafico()->Valor_En(h_->Grafico()->mapFromScene(h_->Vista->mapToScene(p)), &v);
        return v;
    }
    QPoint Centro() const {
        return h_->Vista->mapFromScene(
            h_->Grafico()->mapToScene(h_->Grafico()->plotArea().center()));
    }
    void Rueda(const QPoint& p, int angulo, Qt::KeyboardModifiers teclas = Qt::NoModifier) {
        QWheelEvent e(p, h_->Vista->viewport()->mapToGlobal(p), QPoint(), QPoint(0, angulo),
                      Qt::NoButton, teclas, Qt::NoScrollPhase, false);
        QApplication::sendEvent(h_->Vista->viewport(), &e);
    }

  private Q_SLOTS:
    void initTestCase() {
        ruta_ = Escribir("POZO3.CSV", Archivo_Datos);
        ajeno_ = Escribir("ajeno.csv", "12;05/03/02;10:15;1234\r\n");
    }
    void init() {
        dialogos_ = Dialogos_Guionados();
        h_ = std::make_unique<Hidrograma>(Serie_De_Datos(Leer_Datos_Exportados(ruta_)), dialogos_,
                                          Guardar_Imagen_Con(dialogos_));
        h_->resize(900, 560);
        h_->show();
        QVERIFY(QTest::qWaitForWindowExposed(h_.get()));
    }
    void cleanup() { h_.reset(); }

    void una_linea_por_bloque() {
        QCOMPARE(h_->windowTitle(), QString("Hidrograma - POZO3.CSV"));
        QCOMPARE(h_->Grafico()->title(),
                 QString::fromUtf8("Equipo Nº 7 - POZO3.CSV, del 15/03/2002 al 17/03/2002"));
        const std::vector<Tramo_Grafico>& t = h_->Grafico()->Serie().tramos;
        QCOMPARE(t.size(), size_t(2));  // the block without readings draws nothing
        QCOMPARE(t[0].nombre, QString::fromUtf8("Bloque 1 - Equipo Nº 7"));
        QCOMPARE(t[1].puntos.size(), size_t(2));
        QCOMPARE(t[1].puntos[0].minuto, Min("17/03/02 08:00"));
        QCOMPARE(t[1].puntos[1].valor, 350.0);
        QCOMPARE(h_->Grafico()->Tramos_Dibujados(), 2);
        QCOMPARE(h_->Eje_Tiempo()->min(), Min("15/03/02 10:15"));
        QCOMPARE(h_->Eje_Tiempo()->max(), Min("17/03/02 09:00"));
        QVERIFY(h_->Eje_Valor()->min() < 256 && h_->Eje_Valor()->max() > 400);
        QCOMPARE(h_->Eje_Valor()->titleText(), QString("Columna de agua [mm]"));
        QCOMPARE(h_->Eje_Tiempo()->titleText(), QString("Fecha y hora"));
        QCOMPARE(h_->Aviso->text(), QString("3 bloques, 5 lecturas."));
        // The time axis reads in dates on midnights, as drawn at this width.
        QStringList rotulos;
        for (const Marca_Tiempo& m : h_->Grafico()->Marcas().mayores) rotulos << m.texto;
        QVERIFY2(rotulos.contains("16/03/2002") && rotulos.contains("17/03/2002"),
                 qPrintable(rotulos.join(", ")));
    }

    void teclado() {
        const QList<qint64> completo = Vista();
        auto cerca = [](qint64 a, double b) { return std::abs(a - b) <= 2; };
        QTest::keyClick(h_->Vista, Qt::Key_Plus);
        QVERIFY(cerca(Vista()[0], completo[0] / 1.25) && cerca(Vista()[1], completo[1] / 1.25));
        const QList<qint64> cerca_del_centro = Vista();
        QTest::keyClick(h_->Vista, Qt::Key_Right);
        QVERIFY(cerca(Vista()[2], cerca_del_centro[2] + cerca_del_centro[0] * 0.1));
        QTest::keyClick(h_->Vista, Qt::Key_Up);
        QVERIFY(cerca(Vista()[3], cerca_del_centro[3] + cerca_del_centro[1] * 0.1));
        QCOMPARE(Vista().mid(0, 2), cerca_del_centro.mid(0, 2));  // moving keeps the size
        QTest::keyClick(h_->Vista, Qt::Key_Minus);
        QVERIFY(cerca(Vista()[0], completo[0]));
        for (Qt::Key tecla : {Qt::Key_Home, Qt::Key_0}) {
            QTest::keyClick(h_->Vista, Qt::Key_Left);
            QVERIFY(Vista() != completo);
            QTest::keyClick(h_->Vista, tecla);
            QCOMPARE(Vista(), completo);
        }
        QTest::keyClick(h_->Vista, Qt::Key_Minus);
        h_->Restablecer->click();
        QCOMPARE(Vista(), completo);
        // No zoom goes below a minute of time.
        for (int i = 0; i < 60; ++i) QTest::keyClick(h_->Vista, Qt::Key_Plus);
        QCOMPARE(Vista()[0], qint64(60000));  // one minute
    }

    void raton() {
        const QList<qint64> completo = Vista();
        // The wheel zooms time around the pointer; with Ctrl the column as well.
        const QPoint c = Centro();
        const QPointF antes = Valor(c);
        Rueda(c, 120);
        QVERIFY(std::abs(Vista()[0] - completo[0] / 1.25) <= 2);
        QCOMPARE(Vista()[1], completo[1]);
        QVERIFY(std::abs(Valor(c).x() - antes.x()) < 1);  // the time under the pointer stays
        Rueda(c, -120, Qt::ControlModifier);
        QVERIFY(std::abs(Vista()[0] - completo[0]) <= 2);
        QVERIFY(std::abs(Vista()[1] - completo[1] * 1.25) <= 2);
        h_->Restablecer->click();

        // Left drag: the area becomes the view; a mere click changes nothing.
        QWidget* v = h_->Vista->viewport();
        QTest::mouseClick(v, Qt::LeftButton, {}, c);
        QCOMPARE(Vista(), completo);
        const QPoint a = c - QPoint(100, 60), b = c + QPoint(50, 40);
        const QPointF va = Valor(a), vb = Valor(b);
        QTest::mousePress(v, Qt::LeftButton, {}, a);
        QTest::mouseMove(v, b);
        QTest::mouseRelease(v, Qt::LeftButton, {}, b);
        QVERIFY(std::abs(h_->Eje_Tiempo()->min() - va.x()) < 1);
        QVERIFY(std::abs(h_->Eje_Tiempo()->max() - vb.x()) < 1);
        QVERIFY(std::abs(h_->Eje_Valor()->max() - va.y()) < 1);
        QVERIFY(std::abs(h_->Eje_Valor()->min() - vb.y()) < 1);

        // Right drag moves the view: what was under the pointer follows it.
        const QList<qint64> ampliada = Vista();
        const QPointF bajo = Valor(c);
        QTest::mousePress(v, Qt::RightButton, {}, c);
        QTest::mouseMove(v, c + QPoint(-80, 30));
        QTest::mouseRelease(v, Qt::RightButton, {}, c + QPoint(-80, 30));
        QCOMPARE(Vista().mid(0, 2), ampliada.mid(0, 2));
        const QPointF ahora = Valor(c + QPoint(-80, 30));
        QVERIFY(std::abs(ahora.x() - bajo.x()) < 1 && std::abs(ahora.y() - bajo.y()) < 1);
    }

    void lectura_bajo_el_cursor() {
        QWidget* v = h_->Vista->viewport();
        QTest::mouseMove(v, En_Vista(Min("15/03/02 10:30"), 300));
        QCOMPARE(h_->Cursor->text(),
                 QString::fromUtf8("Lectura: 15/03/02 10:30, 300 mm (Bloque 1 - Equipo Nº 7)"));
        QTest::mouseMove(v, En_Vista(Min("17/03/02 08:50"), 260));  // nearest in time, any height
        QCOMPARE(h_->Cursor->text(),
                 QString::fromUtf8("Lectura: 17/03/02 09:00, 350 mm (Bloque 2 - Equipo Nº 7)"));
        QTest::mouseMove(v, QPoint(2, 2));
        QCOMPARE(h_->Cursor->text(), QString(" "));
    }

    void exportar_png() {
        dialogos_.rutas << "" << tmp_.filePath("grafico") << tmp_.filePath("grafico.png")
                        << tmp_.filePath("falta/x.png");
        h_->Exportar->click();  // cancelled
        QCOMPARE(dialogos_.archivos.size(), 1);
        QCOMPARE(dialogos_.archivos[0].filtro, QString("Imagen PNG (*.png)|*.png|"));
        QCOMPARE(dialogos_.archivos[0].directorio, tmp_.path());
        QVERIFY(dialogos_.cajas.isEmpty());

        h_->Exportar->click();  // the extension is added
        const QString png = tmp_.filePath("grafico.png");
        QCOMPARE(QImage(png).size(), h_->Vista->size());
        QCOMPARE(h_->Aviso->text(), "Imagen guardada en " + QDir::toNativeSeparators(png));

        const QByteArray antes = Leer(png);
        dialogos_.respuestas << Respuesta::Cancelar;
        h_->Exportar->click();
        QCOMPARE(Leer(png), antes);
        h_->Exportar->click();
        QCOMPARE(dialogos_.Textos(),
                 (QStringList{"El archivo seleccionado ya existe\ndesea sobreescribirlo ?",
                              "No existe el directorio solicitado.\nCréelo y vuelva a intentar"}));
        QVERIFY(dialogos_.cajas[1].icono == Icono::Critico);
        QCOMPARE(dialogos_.cajas[1].titulo, QString("Error de archivo"));
    }

    void imagen_sin_ventana() {
        const Serie_Grafica& serie = h_->Grafico()->Serie();
        const QImage con = Renderizar_Hidrograma(serie, 640, 320);
        const QImage sin =
            Renderizar_Hidrograma(Serie_De_Datos(Interpretar_Datos_Exportados(
                                      Archivo_Datos.left(Archivo_Datos.indexOf("Cantidad")))),
                                  640, 320);
        QCOMPARE(con.size(), QSize(640, 320));
        QCOMPARE(Renderizar_Hidrograma(serie, 10, 90000).size(), QSize(100, 8000));
        // The lines are drawn in the colours of their series.
        auto pixeles = [](const QImage& img, QColor color) {
            int n = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const QColor p = img.pixelColor(x, y);
                    n += std::abs(p.red() - color.red()) + std::abs(p.green() - color.green()) +
                             std::abs(p.blue() - color.blue()) <
                         30;
                }
            return n;
        };
        for (size_t t = 0; t < serie.tramos.size(); ++t) {
            const QColor color = h_->Grafico()->Color_Tramo(t);
            QVERIFY(pixeles(con, color) > 20);
            QCOMPARE(pixeles(sin, color), 0);
        }
    }

    void abrir_junto_a_otra_ventana() {
        QMdiArea area;
        area.resize(1000, 700);
        area.show();
        auto* junto = new QWidget;
        area.addSubWindow(junto)->show();
        QPointer<Hidrograma> h = Abrir_Hidrograma(ruta_, junto, dialogos_);
        QVERIFY(h && area.subWindowList().size() == 2);
        QCOMPARE(area.activeSubWindow()->widget(), h.data());
        QVERIFY(!Abrir_Hidrograma(ajeno_, junto, dialogos_));
        QCOMPARE(dialogos_.Textos(), QStringList{"ajeno.csv:\n" + Ajeno});
        QCOMPARE(area.subWindowList().size(), 2);

        h = Abrir_Hidrograma(ruta_, nullptr, dialogos_);  // no MDI area: a window of its own
        QVERIFY(h && h->isWindow() && h->isVisible());
        h->close();
        QTRY_VERIFY(!h);
    }

    // Without a display; exit status and message on stderr.
    void linea_de_comandos() {
        auto correr = [](const QStringList& args) {
            QProcess p;
            QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
            for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                entorno.remove(v);
            p.setProcessEnvironment(entorno);
            p.start(AQ_BINARIOS "/cli/aqtide-cli", QStringList{"grafico"} + args);
            p.waitForFinished(20000);
            return QString::number(p.exitCode()) + ' ' +
                   QString::fromUtf8(p.readAllStandardError());
        };
        const QString png = tmp_.filePath("cli.png");
        QCOMPARE(correr({ruta_, png, "--ancho", "500", "--alto", "300"}), QString("0 "));
        QCOMPARE(QImage(png).size(), QSize(500, 300));
        QCOMPARE(correr({ruta_}),
                 QString("2 Uso: aqtide-cli grafico DATOS.csv|DATOS.txt SALIDA.png [--ancho W] "
                         "[--alto H]\n"));
        QCOMPARE(correr({ruta_, png, "--alto", "50"}),
                 QString::fromUtf8("2 --alto: debe ser un número entre 100 y 8000.\n"));
        QCOMPARE(correr({ajeno_, png}), "3 " + ajeno_ + ": " + Ajeno + "\n");
        QCOMPARE(correr({ruta_, tmp_.filePath("falta/x.png")}),
                 "3 " + tmp_.filePath("falta/x.png") +
                     ": No existe el directorio solicitado. Créelo y vuelva a intentar\n");
    }
};

QTEST_MAIN(Tst_Hidrograma)
#include "tst_hidrograma.moc"
