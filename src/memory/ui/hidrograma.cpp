#include "memory/ui/hidrograma.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QRubberBand>
#include <QVBoxLayout>
#include <QtCharts/QLineSeries>
#include <algorithm>
#include <climits>
#include <cmath>

#include "core/estado.h"
#include "memory/archivos.h"
#include "memory/operacion_descarga.h"
#include "platform/ui/ventanas.h"

namespace aq {

namespace {

const QString Filtro_Png = QStringLiteral("Imagen PNG (*.png)|*.png|");
constexpr qreal Minimo_Tiempo = 60 * 1000.0;  // one minute
constexpr qreal Minimo_Columna = 1.0;         // one millimetre
constexpr qreal Maximo_Alejamiento = 100.0;   // times the whole file

// Axis values are milliseconds of the PC's local time, which the time axis labels in. The
// logger's wall-clock time is placed there unchanged; a time that the local daylight rule skips
// goes one hour on.
qreal Ms_Eje(const QDateTime& momento) {
    QDateTime local(momento.date(), momento.time());
    if (!local.isValid()) local = QDateTime(momento.date(), momento.time().addSecs(3600));
    return qreal(local.toMSecsSinceEpoch());
}

// The same, with one time-zone lookup per day instead of one per reading (the lookup is what
// costs); days on which the offset changes go reading by reading.
class Eje_Local {
  public:
    qreal Ms(const QDateTime& momento) {
        const qint64 dia = momento.date().toJulianDay();
        auto p = desvios_.constFind(dia);
        if (p == desvios_.cend()) {
            const QDate d = momento.date();
            const int a = QDateTime(d, QTime(0, 0)).offsetFromUtc();
            const int b = QDateTime(d, QTime(23, 59)).offsetFromUtc();
            p = desvios_.insert(dia, a == b ? a : Cambiante);
        }
        if (*p == Cambiante) return Ms_Eje(momento);
        const QDateTime pared(momento.date(), momento.time(), Qt::UTC);
        return qreal(pared.toMSecsSinceEpoch() - qint64(*p) * 1000);
    }

  private:
    static constexpr int Cambiante = INT_MIN;
    QHash<qint64, int> desvios_;
};

QString Nombre_Bloque(const Bloque_Exportado& b) {
    QString n = QStringLiteral("Bloque ") + QString::number(b.numero);
    if (b.equipo >= 0) n += QString::fromUtf8(" - Equipo Nº ") + QString::number(b.equipo);
    return n;
}

QString Titulo(const Datos_Exportados& datos) {
    QString t = QStringLiteral("Hidrograma - ") + QFileInfo(datos.ruta).fileName();
    if (datos.memoria_inconsistente) t += QStringLiteral(" (memoria con inconsistencias)");
    return t;
}

QString Texto_Resumen(const Datos_Exportados& datos) {
    const int bloques = static_cast<int>(datos.bloques.size());
    const int lecturas = datos.Total_Lecturas();
    if (lecturas == 0 && datos.lecturas_sin_fecha == 0)
        return QStringLiteral("El archivo no tiene lecturas.");
    QString t = QString::number(bloques) +
                (bloques == 1 ? QStringLiteral(" bloque, ") : QStringLiteral(" bloques, ")) +
                QString::number(lecturas) +
                (lecturas == 1 ? QStringLiteral(" lectura") : QStringLiteral(" lecturas"));
    if (datos.lecturas_sin_fecha)
        t += QStringLiteral("; ") + QString::number(datos.lecturas_sin_fecha) +
             QString::fromUtf8(" sin fecha válida, no graficadas");
    return t + QLatin1Char('.');
}

struct Armado {
    QChart* grafico = nullptr;
    std::vector<qreal> ms;  // every reading's axis value, block after block
    QDateTimeAxis* tiempo = nullptr;
    QValueAxis* columna = nullptr;
    qreal t0 = 0, t1 = 0, c0 = 0, c1 = 0;  // the whole file
};

void Formato_Tiempo(QDateTimeAxis* eje) {
    const qreal lapso = qreal(eje->min().msecsTo(eje->max()));
    eje->setFormat(lapso > 4 * 24 * 3600 * 1000.0 ? QStringLiteral("dd/MM/yy")
                                                  : QStringLiteral("dd/MM/yy hh:mm"));
}

// A round step (1, 2 or 5 times a power of ten) that cuts `lapso` in about `partes`.
qreal Paso_Redondo(qreal lapso, int partes) {
    const qreal bruto = lapso / std::max(1, partes);
    if (!(bruto > 0)) return 1;
    const qreal potencia = std::pow(10.0, std::floor(std::log10(bruto)));
    const qreal r = bruto / potencia;
    return (r <= 1 ? 1 : r <= 2 ? 2 : r <= 5 ? 5 : 10) * potencia;
}

void Marcas_Columna(QValueAxis* eje, int partes) {
    eje->setTickAnchor(0);
    eje->setTickInterval(std::max(1.0, Paso_Redondo(eje->max() - eje->min(), partes)));
}

// Tick counts that keep the labels apart at the chart's size; the water column gets round
// values at any zoom.
void Ajustar_Marcas(const Armado& a, qreal ancho, qreal alto) {
    a.tiempo->setTickCount(qBound(2, int(ancho / 130), 12));
    const int partes = qBound(2, int(alto / 70), 12);
    a.columna->setProperty("partes", partes);
    Marcas_Columna(a.columna, partes);
}

// The chart shared by the window and the picture.
Armado Armar_Grafico(const Datos_Exportados& datos) {
    Armado a;
    a.grafico = new QChart;
    a.grafico->setTitle(Titulo(datos));
    a.grafico->setAnimationOptions(QChart::NoAnimation);
    a.grafico->setMargins(QMargins(6, 6, 6, 6));
    a.tiempo = new QDateTimeAxis;
    a.tiempo->setTitleText(QStringLiteral("Fecha y hora"));
    a.columna = new QValueAxis;
    a.columna->setTitleText(QStringLiteral("Columna de agua [mm]"));
    a.columna->setLabelFormat(QStringLiteral("%.0f"));
    a.columna->setTickType(QValueAxis::TicksDynamic);
    a.grafico->addAxis(a.tiempo, Qt::AlignBottom);
    a.grafico->addAxis(a.columna, Qt::AlignLeft);

    qreal t0 = 0, t1 = 0;
    int c0 = 0, c1 = 0;
    bool hay = false;
    int con_lecturas = 0;
    Eje_Local eje_local;
    a.ms.reserve(static_cast<size_t>(datos.Total_Lecturas()));
    for (const Bloque_Exportado& b : datos.bloques) {
        if (b.lecturas.empty()) continue;
        ++con_lecturas;
        QList<QPointF> puntos;
        puntos.reserve(static_cast<qsizetype>(b.lecturas.size()));
        for (const Lectura_Exportada& l : b.lecturas) {
            const qreal ms = eje_local.Ms(l.momento);
            a.ms.push_back(ms);
            puntos.append(QPointF(ms, l.milimetros));
            if (!hay) {
                t0 = t1 = ms;
                c0 = c1 = l.milimetros;
                hay = true;
            }
            t0 = std::min(t0, ms);
            t1 = std::max(t1, ms);
            c0 = std::min(c0, l.milimetros);
            c1 = std::max(c1, l.milimetros);
        }
        // Each block is a line of its own, so the time between blocks is left blank.
        auto* serie = new QLineSeries;
        serie->setName(Nombre_Bloque(b));
        serie->replace(puntos);
        serie->setPointsVisible(puntos.size() < 40);
        a.grafico->addSeries(serie);
        serie->attachAxis(a.tiempo);
        serie->attachAxis(a.columna);
    }
    a.grafico->legend()->setVisible(con_lecturas > 1 && con_lecturas <= 10);
    a.grafico->legend()->setAlignment(Qt::AlignBottom);

    if (!hay) {
        // Nothing to plot: a day around the first block start, or around now.
        QDateTime centro = QDateTime::currentDateTime();
        for (const Bloque_Exportado& b : datos.bloques)
            if (b.inicio.isValid()) {
                centro = QDateTime::fromMSecsSinceEpoch(qint64(Ms_Eje(b.inicio)));
                break;
            }
        t0 = qreal(centro.toMSecsSinceEpoch()) - 12 * 3600 * 1000.0;
        t1 = t0 + 24 * 3600 * 1000.0;
        c0 = 0;
        c1 = 100;
    }
    if (t1 - t0 < 3600 * 1000.0) {
        const qreal medio = (t0 + t1) / 2;
        t0 = medio - 1800 * 1000.0;
        t1 = medio + 1800 * 1000.0;
    }
    // A margin above and below; no water column is below the sensor.
    const qreal margen = std::max(5.0, (c1 - c0) * 0.05);
    a.t0 = t0;
    a.t1 = t1;
    a.c0 = std::max(0.0, c0 - margen);
    a.c1 = c1 + margen;
    a.tiempo->setRange(QDateTime::fromMSecsSinceEpoch(qint64(a.t0)),
                       QDateTime::fromMSecsSinceEpoch(qint64(a.t1)));
    a.columna->setRange(a.c0, a.c1);
    Formato_Tiempo(a.tiempo);
    QObject::connect(a.tiempo, &QDateTimeAxis::rangeChanged, a.tiempo,
                     [eje = a.tiempo] { Formato_Tiempo(eje); });
    QObject::connect(a.columna, &QValueAxis::rangeChanged, a.columna,
                     [eje = a.columna] { Marcas_Columna(eje, eje->property("partes").toInt()); });
    return a;
}

}  // namespace

// The chart view with the mouse and keys of the window.
class Vista_Hidrograma : public QChartView {
  public:
    Vista_Hidrograma(QChart* grafico, Hidrograma* dueno) : QChartView(grafico), dueno_(dueno) {
        setRenderHint(QPainter::Antialiasing);
        setRubberBand(QChartView::NoRubberBand);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
        banda_ = new QRubberBand(QRubberBand::Rectangle, this);
    }

    // Chart values at a point of the view; false outside the plot area.
    bool Valor_En(const QPoint& en_vista, QPointF* valor) const {
        QChart* g = chart();
        const QPointF p = g->mapFromScene(mapToScene(en_vista));
        const QRectF area = g->plotArea();
        if (area.width() <= 0 || area.height() <= 0) return false;
        auto* t = dueno_->Eje_Tiempo();
        auto* c = dueno_->Eje_Columna();
        const qreal t0 = qreal(t->min().toMSecsSinceEpoch()),
                    t1 = qreal(t->max().toMSecsSinceEpoch());
        *valor =
            QPointF(t0 + (p.x() - area.left()) / area.width() * (t1 - t0),
                    c->min() + (area.bottom() - p.y()) / area.height() * (c->max() - c->min()));
        return area.contains(p);
    }

  protected:
    void wheelEvent(QWheelEvent* e) override {
        const qreal pasos = e->angleDelta().y() / 120.0;
        QPointF valor;
        if (pasos == 0 || !Valor_En(e->position().toPoint(), &valor)) {
            e->ignore();
            return;
        }
        dueno_->Acercar_En(std::pow(1.25, pasos), valor, e->modifiers() & Qt::ControlModifier);
        e->accept();
    }

    void mousePressEvent(QMouseEvent* e) override {
        setFocus(Qt::MouseFocusReason);
        origen_ = ultimo_ = e->position().toPoint();
        if (e->button() == Qt::LeftButton) {
            banda_->setGeometry(QRect(origen_, QSize()));
            banda_->show();
            ampliando_ = true;
        } else if (e->button() == Qt::RightButton || e->button() == Qt::MiddleButton) {
            moviendo_ = true;
            setCursor(Qt::ClosedHandCursor);
        }
        e->accept();
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint p = e->position().toPoint();
        if (ampliando_) banda_->setGeometry(QRect(origen_, p).normalized());
        if (moviendo_) {
            const QRectF area = chart()->plotArea();
            if (area.width() > 0 && area.height() > 0)
                dueno_->Desplazar(-(p.x() - ultimo_.x()) / area.width(),
                                  (p.y() - ultimo_.y()) / area.height());
            ultimo_ = p;
        }
        dueno_->Seguir_Cursor(p);
        e->accept();
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        if (ampliando_ && e->button() == Qt::LeftButton) {
            ampliando_ = false;
            banda_->hide();
            const QRect r = QRect(origen_, e->position().toPoint()).normalized();
            QPointF a, b;
            // A click or a sliver is no area: nothing changes.
            if (r.width() > 4 && r.height() > 4) {
                Valor_En(r.topLeft(), &a);
                Valor_En(r.bottomRight(), &b);
                dueno_->Rango(a.x(), b.x(), b.y(), a.y());
            }
        }
        if (moviendo_ && e->button() != Qt::LeftButton) {
            moviendo_ = false;
            unsetCursor();
        }
        e->accept();
    }

    void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }

    void keyPressEvent(QKeyEvent* e) override {
        if (!dueno_->Tecla(e)) QChartView::keyPressEvent(e);
    }

    void resizeEvent(QResizeEvent* e) override {
        QChartView::resizeEvent(e);
        Armado a;
        a.tiempo = dueno_->Eje_Tiempo();
        a.columna = dueno_->Eje_Columna();
        Ajustar_Marcas(a, width(), height());
    }

  private:
    Hidrograma* dueno_;
    QRubberBand* banda_;
    QPoint origen_, ultimo_;
    bool ampliando_ = false;
    bool moviendo_ = false;
};

Hidrograma::Hidrograma(Datos_Exportados datos, Dialogos& dialogos, QWidget* parent)
    : QWidget(parent), datos_(std::move(datos)), dialogos_(dialogos) {
    setWindowTitle(QStringLiteral("Hidrograma - ") + QFileInfo(datos_.ruta).fileName());

    const Armado a = Armar_Grafico(datos_);
    Vista = new Vista_Hidrograma(a.grafico, this);
    t0_ = a.t0;
    t1_ = a.t1;
    c0_ = a.c0;
    c1_ = a.c1;

    size_t k = 0;
    for (const Bloque_Exportado& b : datos_.bloques)
        for (const Lectura_Exportada& l : b.lecturas)
            puntos_.push_back(Punto{a.ms[k++], l.milimetros, b.numero, l.momento});
    std::stable_sort(puntos_.begin(), puntos_.end(),
                     [](const Punto& x, const Punto& y) { return x.ms < y.ms; });

    Cursor = new QLabel(QStringLiteral(" "), this);
    Aviso = new QLabel(Texto_Resumen(datos_), this);
    auto* ayuda = new QLabel(
        QString::fromUtf8("Rueda: acercar en el tiempo (Ctrl: también la columna) · arrastrar: "
                          "zona a ampliar · botón derecho: desplazar · + − flechas · Inicio o 0: "
                          "todo el archivo"),
        this);
    ayuda->setWordWrap(true);
    ayuda->setEnabled(false);
    Restablecer = new QPushButton(QStringLiteral("&Restablecer"), this);
    Exportar = new QPushButton(QStringLiteral("&Exportar PNG..."), this);

    auto* caja = new QVBoxLayout(this);
    caja->addWidget(Vista, 1);
    auto* abajo = new QHBoxLayout;
    auto* textos = new QVBoxLayout;
    textos->addWidget(Cursor);
    textos->addWidget(Aviso);
    textos->addWidget(ayuda);
    abajo->addLayout(textos, 1);
    abajo->addWidget(Restablecer);
    abajo->addWidget(Exportar);
    caja->addLayout(abajo);

    connect(Restablecer, &QPushButton::clicked, this, &Hidrograma::Restablecer_Click);
    connect(Exportar, &QPushButton::clicked, this, &Hidrograma::Exportar_Click);
    setFocusProxy(Vista);
    resize(900, 560);
}

QChart* Hidrograma::Grafico() const {
    return Vista->chart();
}

QDateTimeAxis* Hidrograma::Eje_Tiempo() const {
    return static_cast<QDateTimeAxis*>(Grafico()->axes(Qt::Horizontal).value(0));
}

QValueAxis* Hidrograma::Eje_Columna() const {
    return static_cast<QValueAxis*>(Grafico()->axes(Qt::Vertical).value(0));
}

void Hidrograma::Rango(qreal t0, qreal t1, qreal c0, qreal c1) {
    if (t1 < t0) std::swap(t0, t1);
    if (c1 < c0) std::swap(c0, c1);
    const qreal max_t = (t1_ - t0_) * Maximo_Alejamiento;
    const qreal max_c = (c1_ - c0_) * Maximo_Alejamiento;
    auto limitar = [](qreal& a, qreal& b, qreal minimo, qreal maximo) {
        const qreal medio = (a + b) / 2;
        const qreal lapso = qBound(minimo, b - a, std::max(minimo, maximo));
        a = medio - lapso / 2;
        b = medio + lapso / 2;
    };
    limitar(t0, t1, Minimo_Tiempo, max_t);
    limitar(c0, c1, Minimo_Columna, max_c);
    Eje_Tiempo()->setRange(QDateTime::fromMSecsSinceEpoch(qint64(std::llround(t0))),
                           QDateTime::fromMSecsSinceEpoch(qint64(std::llround(t1))));
    Eje_Columna()->setRange(c0, c1);
}

void Hidrograma::Acercar_En(double factor, const QPointF& valor, bool ambos) {
    if (!(factor > 0)) return;
    const qreal t0 = qreal(Eje_Tiempo()->min().toMSecsSinceEpoch());
    const qreal t1 = qreal(Eje_Tiempo()->max().toMSecsSinceEpoch());
    qreal c0 = Eje_Columna()->min(), c1 = Eje_Columna()->max();
    if (ambos) {
        c0 = valor.y() - (valor.y() - c0) / factor;
        c1 = valor.y() + (c1 - valor.y()) / factor;
    }
    Rango(valor.x() - (valor.x() - t0) / factor, valor.x() + (t1 - valor.x()) / factor, c0, c1);
}

void Hidrograma::Acercar(double factor, bool ambos) {
    const qreal t0 = qreal(Eje_Tiempo()->min().toMSecsSinceEpoch());
    const qreal t1 = qreal(Eje_Tiempo()->max().toMSecsSinceEpoch());
    const QPointF centro((t0 + t1) / 2, (Eje_Columna()->min() + Eje_Columna()->max()) / 2);
    Acercar_En(factor, centro, ambos);
}

void Hidrograma::Desplazar(double fraccion_tiempo, double fraccion_columna) {
    const qreal t0 = qreal(Eje_Tiempo()->min().toMSecsSinceEpoch());
    const qreal t1 = qreal(Eje_Tiempo()->max().toMSecsSinceEpoch());
    const qreal c0 = Eje_Columna()->min(), c1 = Eje_Columna()->max();
    const qreal dt = (t1 - t0) * fraccion_tiempo, dc = (c1 - c0) * fraccion_columna;
    Rango(t0 + dt, t1 + dt, c0 + dc, c1 + dc);
}

void Hidrograma::Restablecer_Click() {
    Rango(t0_, t1_, c0_, c1_);
}

void Hidrograma::Seguir_Cursor(const QPoint& en_vista) {
    QPointF valor;
    if (!static_cast<Vista_Hidrograma*>(Vista)->Valor_En(en_vista, &valor)) {
        Cursor->setText(QStringLiteral(" "));
        return;
    }
    if (puntos_.empty()) {
        Cursor->setText(
            QStringLiteral("Cursor: ") +
            QDateTime::fromMSecsSinceEpoch(qint64(valor.x())).toString("dd/MM/yy hh:mm") +
            QStringLiteral(", ") + QString::number(qRound(valor.y())) + QStringLiteral(" mm"));
        return;
    }
    auto p = std::lower_bound(puntos_.begin(), puntos_.end(), valor.x(),
                              [](const Punto& x, qreal ms) { return x.ms < ms; });
    if (p == puntos_.end() || (p != puntos_.begin() && valor.x() - (p - 1)->ms < p->ms - valor.x()))
        --p;
    Cursor->setText(QStringLiteral("Lectura: ") +
                    p->momento.toString(QStringLiteral("dd/MM/yy hh:mm")) + QStringLiteral(", ") +
                    QString::number(p->milimetros) + QStringLiteral(" mm, bloque ") +
                    QString::number(p->bloque));
}

bool Hidrograma::Tecla(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            Acercar(1.25);
            return true;
        case Qt::Key_Minus:
            Acercar(0.8);
            return true;
        case Qt::Key_Left:
            Desplazar(-0.1, 0);
            return true;
        case Qt::Key_Right:
            Desplazar(0.1, 0);
            return true;
        case Qt::Key_Up:
            Desplazar(0, 0.1);
            return true;
        case Qt::Key_Down:
            Desplazar(0, -0.1);
            return true;
        case Qt::Key_Home:
        case Qt::Key_0:
            Restablecer_Click();
            return true;
        default:
            return false;
    }
}

void Hidrograma::keyPressEvent(QKeyEvent* e) {
    if (!Tecla(e)) QWidget::keyPressEvent(e);
}

void Hidrograma::Exportar_Click() {
    // The save dialog leaves the current directory at the chosen folder; the program names its
    // work files relative to the current directory, so it is put back.
    const QString actual = QDir::currentPath();
    QString ruta = dialogos_.Guardar_Archivo(Filtro_Png, QFileInfo(datos_.ruta).absolutePath());
    QDir::setCurrent(actual);
    if (ruta.isEmpty()) return;
    if (!ruta.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) ruta += QStringLiteral(".png");
    if (QFileInfo::exists(ruta) &&
        dialogos_.MsgBox(Texto_Sobrescribir, Icono::Pregunta, Botones::Aceptar_Cancelar,
                         Titulo_Advertencia_Archivo) == Respuesta::Cancelar)
        return;

    QByteArray png;
    QBuffer memoria(&png);
    memoria.open(QIODevice::WriteOnly);
    const bool codificada = Vista->grab().toImage().save(&memoria, "PNG");
    const Falla_Archivo falla =
        codificada ? Reemplazar_Archivo(ruta, png).tipo : Falla_Archivo::Otra;
    if (falla != Falla_Archivo::Ninguna) {
        dialogos_.MsgBox(Mensaje_Error_Archivo(falla), Icono::Critico, Botones::Aceptar,
                         Titulo_Error_Archivo);
        return;
    }
    Aviso->setText(QStringLiteral("Imagen guardada en ") + QDir::toNativeSeparators(ruta));
}

QImage Renderizar_Hidrograma(const Datos_Exportados& datos, int ancho, int alto) {
    ancho = qBound(100, ancho, 8000);
    alto = qBound(100, alto, 8000);
    QGraphicsScene escena;
    const Armado a = Armar_Grafico(datos);
    escena.addItem(a.grafico);  // the scene owns it from here
    Ajustar_Marcas(a, ancho, alto);
    a.grafico->setGeometry(0, 0, ancho, alto);
    QImage imagen(ancho, alto, QImage::Format_RGB32);
    imagen.fill(Qt::white);
    QPainter pintor(&imagen);
    pintor.setRenderHint(QPainter::Antialiasing);
    escena.render(&pintor, QRectF(0, 0, ancho, alto), QRectF(0, 0, ancho, alto));
    return imagen;
}

Hidrograma* Abrir_Hidrograma(const QString& ruta, QWidget* junto_a, Dialogos& dialogos) {
    Datos_Exportados datos = Leer_Datos_Exportados(ruta);
    if (!datos.Valido()) {
        dialogos.MsgBox(QFileInfo(ruta).fileName() + QStringLiteral(":\n") + datos.error,
                        Icono::Informacion, Botones::Aceptar, Titulo_Aplicacion);
        return nullptr;
    }
    auto* ventana = new Hidrograma(std::move(datos), dialogos);
    Mostrar_Junto_A(junto_a, ventana);
    Cerrar_Con_Escape(ventana);
    return ventana;
}

}  // namespace aq
