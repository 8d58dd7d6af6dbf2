#include "hidrografia/ui/hidrograma.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QRubberBand>
#include <QVBoxLayout>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <algorithm>
#include <cmath>

#include "core/estado.h"
#include "core/fecha_equipo.h"

namespace aq {

namespace {

const QString Filtro_Png = QStringLiteral("Imagen PNG (*.png)|*.png|");
constexpr double Minimo_Tiempo = 1;           // one minute
constexpr double Maximo_Alejamiento = 100.0;  // times the whole series
constexpr int Puntos_Con_Circulos = 40;       // fewer than this in view: each reading marked
constexpr double Separacion_Etiquetas = 24;   // pixels between two time labels
const QColor Color_Rejilla(0xd8, 0xd8, 0xd8);

// Decimal comma, no thousands separator: "1250" and "12,5" as a Spanish reader writes them.
QLocale Local() {
    QLocale l(QLocale::Spanish, QLocale::Spain);
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
}

QString Numero(double valor, int decimales) {
    return Local().toString(valor, 'f', decimales);
}

}  // namespace

// The runs as lines, from what Redibujar kept of them for the view.
class Trazo_Hidrograma : public QGraphicsItem {
  public:
    explicit Trazo_Hidrograma(Grafico_Hidrografico* g) : QGraphicsItem(g), g_(g) {
        setZValue(3.9);  // over the grid and axes, under the manual readings' markers
    }
    QRectF boundingRect() const override { return g_->rect(); }
    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QRectF area = g_->plotArea();
        p->save();
        p->setClipRect(area);
        p->setRenderHint(QPainter::Antialiasing);
        int en_vista = 0;
        for (const auto& d : g_->dibujo_) en_vista += int(d.size());
        QPolygonF linea;
        for (size_t i = 0; i < g_->dibujo_.size(); ++i) {
            const std::vector<Punto_Grafico>& d = g_->dibujo_[i];
            if (d.empty()) continue;
            linea.resize(qsizetype(d.size()));
            for (size_t k = 0; k < d.size(); ++k)
                linea[qsizetype(k)] = g_->Posicion_De(QPointF(d[k].minuto, d[k].valor));
            const QColor color = g_->Color_Tramo(i);
            p->setPen(QPen(color, 2));
            p->drawPolyline(linea);
            if (d.size() == 1 || en_vista < Puntos_Con_Circulos) {
                p->setBrush(color);
                for (const QPointF& q : linea) p->drawEllipse(q, 2.5, 2.5);
                p->setBrush(Qt::NoBrush);
            }
        }
        p->restore();
    }

  private:
    Grafico_Hidrografico* g_;
};

// Ticks, labels and grid of the time axis; the axis itself only keeps room for them.
class Eje_Calendario : public QGraphicsItem {
  public:
    Eje_Calendario(Grafico_Hidrografico* g, const QFont& fuente, const QBrush& color)
        : QGraphicsItem(g), g_(g), fuente_(fuente), color_(color.color()) {
        setZValue(2.5);  // with the grid, under the lines
    }
    QRectF boundingRect() const override { return g_->rect(); }

    int Maximo() const {
        const QFontMetricsF fm(fuente_);
        const double ancho =
            fm.horizontalAdvance(QStringLiteral("00/00/0000")) + Separacion_Etiquetas;
        return std::max(2, int(g_->plotArea().width() / ancho));
    }

    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QRectF area = g_->plotArea();
        const double t0 = g_->Eje_Tiempo()->min(), t1 = g_->Eje_Tiempo()->max();
        if (area.width() <= 0 || !(t1 > t0)) return;
        const Marcas_Tiempo marcas = Calcular_Marcas_Tiempo(t0, t1, Maximo());
        auto x = [&](qint64 m) {
            return area.left() + (double(m) - t0) / (t1 - t0) * area.width();
        };
        p->save();
        p->setFont(fuente_);
        const QFontMetricsF fm(fuente_);
        const double abajo = area.bottom();
        p->setPen(QPen(Color_Rejilla, 1));
        for (const Marca_Tiempo& m : marcas.mayores)
            p->drawLine(QPointF(x(m.minuto), area.top()), QPointF(x(m.minuto), abajo));
        p->setPen(QPen(color_, 1));
        p->drawLine(area.bottomLeft(), area.bottomRight());
        for (qint64 m : marcas.menores) p->drawLine(QPointF(x(m), abajo), QPointF(x(m), abajo + 3));
        for (const Marca_Tiempo& m : marcas.mayores) {
            const double xm = x(m.minuto);
            p->drawLine(QPointF(xm, abajo), QPointF(xm, abajo + 6));
            const double ancho = fm.horizontalAdvance(m.texto);
            const double izquierda =
                std::clamp(xm - ancho / 2, g_->rect().left() + 2, g_->rect().right() - ancho - 2);
            p->drawText(QPointF(izquierda, abajo + 6 + fm.ascent()), m.texto);
        }
        p->restore();
    }

  private:
    Grafico_Hidrografico* g_;
    QFont fuente_;
    QColor color_;
};

Grafico_Hidrografico::Grafico_Hidrografico(Serie_Grafica serie) : serie_(std::move(serie)) {
    setAnimationOptions(QChart::NoAnimation);
    setMargins(QMargins(6, 6, 12, 6));
    setLocalizeNumbers(true);
    setLocale(Local());
    setTitle(serie_.Titulo_Completo());

    tiempo_ = new QValueAxis;
    tiempo_->setTitleText(QStringLiteral("Fecha y hora"));
    tiempo_->setGridLineVisible(false);
    tiempo_->setLineVisible(false);
    tiempo_->setTickCount(2);
    const QBrush color_rotulos = tiempo_->labelsBrush();
    // Qt's own labels keep the room; the calendar's labels are drawn there.
    tiempo_->setLabelsBrush(Qt::transparent);
    valor_ = new QValueAxis;
    valor_->setTitleText(serie_.magnitud.Titulo());
    valor_->setTickType(QValueAxis::TicksDynamic);
    valor_->setTickAnchor(0);
    valor_->setReverse(serie_.magnitud.invertida);
    addAxis(tiempo_, Qt::AlignBottom);
    addAxis(valor_, Qt::AlignLeft);

    // Empty series give the runs their colours and the legend its entries.
    const size_t con_nombre = serie_.leyenda ? std::min<size_t>(serie_.tramos.size(), 10) : 1;
    for (size_t i = 0; i < con_nombre; ++i) {
        auto* s = new QLineSeries;
        s->setName(serie_.leyenda ? serie_.tramos[i].nombre : serie_.magnitud.nombre);
        addSeries(s);
        s->attachAxis(tiempo_);
        s->attachAxis(valor_);
        colores_.push_back(s->color());
    }
    if (!serie_.marcas.empty()) {
        manuales_ = new QScatterSeries;
        manuales_->setName(QStringLiteral("Lecturas manuales"));
        manuales_->setMarkerSize(9);
        manuales_->setColor(QColor(0xd0, 0x30, 0x20));
        manuales_->setBorderColor(Qt::black);
        QList<QPointF> puntos;
        for (const Punto_Grafico& p : serie_.marcas) puntos.append(QPointF(p.minuto, p.valor));
        manuales_->replace(puntos);
        addSeries(manuales_);
        manuales_->attachAxis(tiempo_);
        manuales_->attachAxis(valor_);
    }
    legend()->setVisible(serie_.leyenda || manuales_);
    legend()->setAlignment(Qt::AlignTop);
    if (!serie_.leyenda)
        for (QLegendMarker* m : legend()->markers(series().first())) m->setVisible(manuales_);

    trazo_ = new Trazo_Hidrograma(this);
    calendario_ = new Eje_Calendario(this, tiempo_->labelsFont(), color_rotulos);

    double t0 = 0, t1 = 0, v0 = 0, v1 = 0;
    bool hay = false;
    auto tomar = [&](const Punto_Grafico& p) {
        if (!hay) {
            t0 = t1 = p.minuto;
            v0 = v1 = p.valor;
            hay = true;
        }
        t0 = std::min(t0, p.minuto);
        t1 = std::max(t1, p.minuto);
        v0 = std::min(v0, p.valor);
        v1 = std::max(v1, p.valor);
    };
    for (const Tramo_Grafico& t : serie_.tramos)
        for (const Punto_Grafico& p : t.puntos) tomar(p);
    for (const Punto_Grafico& p : serie_.marcas) tomar(p);
    if (!hay) {
        // Nothing to plot: a day around now.
        t0 = double(Minuto_De_Momento(QDateTime::currentDateTimeUtc())) - 720;
        t1 = t0 + 1440;
        v0 = 0;
        v1 = 100;
    }
    if (t1 - t0 < 60) {
        const double medio = (t0 + t1) / 2;
        t0 = medio - 30;
        t1 = medio + 30;
    }
    // A margin above and below; a water column never goes below the sensor.
    const double margen =
        std::max(std::pow(10.0, -serie_.magnitud.decimales) * 5, (v1 - v0) * 0.05);
    t0_ = t0;
    t1_ = t1;
    v0_ = v0 - margen;
    if (serie_.magnitud.unidad == QLatin1String("mm")) v0_ = std::max(0.0, v0_);
    v1_ = v1 + margen;

    connect(this, &QChart::plotAreaChanged, this, &Grafico_Hidrografico::Ajustar);
    connect(tiempo_, &QValueAxis::rangeChanged, this, [this] { Redibujar(); });
    connect(valor_, &QValueAxis::rangeChanged, this, [this] { Marcas_Valor(); });
    Restablecer();
}

QColor Grafico_Hidrografico::Color_Tramo(size_t tramo) const {
    return colores_[serie_.leyenda ? tramo % colores_.size() : 0];
}

void Grafico_Hidrografico::Rango(double t0, double t1, double v0, double v1) {
    if (t1 < t0) std::swap(t0, t1);
    if (v1 < v0) std::swap(v0, v1);
    const double minimo_valor = std::pow(10.0, -serie_.magnitud.decimales);
    auto limitar = [](double& a, double& b, double minimo, double maximo) {
        const double medio = (a + b) / 2;
        const double lapso = qBound(minimo, b - a, std::max(minimo, maximo));
        a = medio - lapso / 2;
        b = medio + lapso / 2;
    };
    limitar(t0, t1, Minimo_Tiempo, (t1_ - t0_) * Maximo_Alejamiento);
    limitar(v0, v1, minimo_valor, (v1_ - v0_) * Maximo_Alejamiento);
    valor_->setRange(v0, v1);
    tiempo_->setRange(t0, t1);
}

void Grafico_Hidrografico::Restablecer() {
    Rango(t0_, t1_, v0_, v1_);
}

bool Grafico_Hidrografico::Valor_En(const QPointF& p, QPointF* valor) const {
    const QRectF area = plotArea();
    if (area.width() <= 0 || area.height() <= 0) return false;
    const double fy = valor_->isReverse() ? (p.y() - area.top()) / area.height()
                                          : (area.bottom() - p.y()) / area.height();
    *valor = QPointF(
        tiempo_->min() + (p.x() - area.left()) / area.width() * (tiempo_->max() - tiempo_->min()),
        valor_->min() + fy * (valor_->max() - valor_->min()));
    return area.contains(p);
}

QPointF Grafico_Hidrografico::Posicion_De(const QPointF& v) const {
    const QRectF area = plotArea();
    const double fx = (v.x() - tiempo_->min()) / (tiempo_->max() - tiempo_->min());
    const double fy = (v.y() - valor_->min()) / (valor_->max() - valor_->min());
    return QPointF(area.left() + fx * area.width(), valor_->isReverse()
                                                        ? area.top() + fy * area.height()
                                                        : area.bottom() - fy * area.height());
}

Marcas_Tiempo Grafico_Hidrografico::Marcas() const {
    return Calcular_Marcas_Tiempo(tiempo_->min(), tiempo_->max(), calendario_->Maximo());
}

int Grafico_Hidrografico::Puntos_Dibujados() const {
    int n = 0;
    for (const auto& d : dibujo_) n += int(d.size());
    return n;
}

int Grafico_Hidrografico::Tramos_Dibujados() const {
    return int(
        std::count_if(dibujo_.begin(), dibujo_.end(), [](const auto& d) { return !d.empty(); }));
}

void Grafico_Hidrografico::Ajustar() {
    Marcas_Valor();
    Redibujar();
}

void Grafico_Hidrografico::Redibujar() {
    const int columnas = std::max(100, int(plotArea().width()));
    dibujo_.resize(serie_.tramos.size());
    for (size_t i = 0; i < serie_.tramos.size(); ++i)
        Diezmar_Tramo(serie_.tramos[i], tiempo_->min(), tiempo_->max(), columnas, &dibujo_[i]);
    trazo_->update();
    calendario_->update();
}

void Grafico_Hidrografico::Marcas_Valor() {
    const int partes = qBound(2, int(plotArea().height() / 60), 12);
    const double paso = Paso_Redondo(valor_->max() - valor_->min(), partes);
    const double minimo = std::pow(10.0, -serie_.magnitud.decimales);
    const double intervalo = std::max(paso, minimo);
    if (valor_->tickInterval() != intervalo) valor_->setTickInterval(intervalo);
    const QString formato =
        QStringLiteral("%.") + QString::number(Decimales_Paso(intervalo)) + QLatin1Char('f');
    if (valor_->labelFormat() != formato) valor_->setLabelFormat(formato);
}

// The chart view with the mouse and keys of the window.
class Vista_Hidrograma : public QChartView {
  public:
    Vista_Hidrograma(Grafico_Hidrografico* grafico, Hidrograma* dueno)
        : QChartView(grafico), dueno_(dueno) {
        setRenderHint(QPainter::Antialiasing);
        setRubberBand(QChartView::NoRubberBand);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
        banda_ = new QRubberBand(QRubberBand::Rectangle, this);
    }

    Grafico_Hidrografico* Grafico() const { return static_cast<Grafico_Hidrografico*>(chart()); }

    // Chart values at a point of the view; false outside the plot area.
    bool Valor_En(const QPoint& en_vista, QPointF* valor) const {
        return Grafico()->Valor_En(Grafico()->mapFromScene(mapToScene(en_vista)), valor);
    }

  protected:
    void wheelEvent(QWheelEvent* e) override {
        const double pasos = e->angleDelta().y() / 120.0;
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
            const double arriba = Grafico()->Eje_Valor()->isReverse() ? -1 : 1;
            if (area.width() > 0 && area.height() > 0)
                dueno_->Desplazar(-(p.x() - ultimo_.x()) / area.width(),
                                  arriba * (p.y() - ultimo_.y()) / area.height());
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
                Grafico()->Rango(a.x(), b.x(), b.y(), a.y());
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

  private:
    Hidrograma* dueno_;
    QRubberBand* banda_;
    QPoint origen_, ultimo_;
    bool ampliando_ = false;
    bool moviendo_ = false;
};

Hidrograma::Hidrograma(Serie_Grafica serie, Dialogos& dialogos, Guardar_Imagen guardar,
                       QWidget* parent)
    : QWidget(parent), dialogos_(dialogos), guardar_(std::move(guardar)) {
    Vista = new Vista_Hidrograma(new Grafico_Hidrografico(Serie_Grafica()), this);
    Cursor = new QLabel(QStringLiteral(" "), this);
    Aviso = new QLabel(this);
    auto* ayuda = new QLabel(
        QString::fromUtf8("Rueda: acercar en el tiempo (Ctrl: también los valores) · arrastrar: "
                          "zona a ampliar · botón derecho: desplazar · + − flechas · Inicio o 0: "
                          "toda la serie"),
        this);
    ayuda->setWordWrap(true);
    ayuda->setEnabled(false);
    Restablecer = new QPushButton(QStringLiteral("&Restablecer"), this);
    Exportar = new QPushButton(QStringLiteral("&Exportar PNG..."), this);
    Exportar->setEnabled(bool(guardar_));

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
    Mostrar(std::move(serie));
}

void Hidrograma::Mostrar(Serie_Grafica serie) {
    if (!serie.nombre_ventana.isEmpty()) setWindowTitle(serie.nombre_ventana);
    Aviso->setText(serie.resumen);
    Cursor->setText(QStringLiteral(" "));
    QChart* antes = Vista->chart();
    Vista->setChart(new Grafico_Hidrografico(std::move(serie)));
    delete antes;
}

Grafico_Hidrografico* Hidrograma::Grafico() const {
    return static_cast<Grafico_Hidrografico*>(Vista->chart());
}

void Hidrograma::Acercar_En(double factor, const QPointF& valor, bool ambos) {
    if (!(factor > 0)) return;
    const double t0 = Eje_Tiempo()->min(), t1 = Eje_Tiempo()->max();
    double v0 = Eje_Valor()->min(), v1 = Eje_Valor()->max();
    if (ambos) {
        v0 = valor.y() - (valor.y() - v0) / factor;
        v1 = valor.y() + (v1 - valor.y()) / factor;
    }
    Grafico()->Rango(valor.x() - (valor.x() - t0) / factor, valor.x() + (t1 - valor.x()) / factor,
                     v0, v1);
}

void Hidrograma::Acercar(double factor, bool ambos) {
    const QPointF centro((Eje_Tiempo()->min() + Eje_Tiempo()->max()) / 2,
                         (Eje_Valor()->min() + Eje_Valor()->max()) / 2);
    Acercar_En(factor, centro, ambos);
}

void Hidrograma::Desplazar(double fraccion_tiempo, double fraccion_valor) {
    const double t0 = Eje_Tiempo()->min(), t1 = Eje_Tiempo()->max();
    const double v0 = Eje_Valor()->min(), v1 = Eje_Valor()->max();
    // "Higher up" on a reversed axis is a smaller value.
    const double sentido = Eje_Valor()->isReverse() ? -1 : 1;
    const double dt = (t1 - t0) * fraccion_tiempo, dv = (v1 - v0) * fraccion_valor * sentido;
    Grafico()->Rango(t0 + dt, t1 + dt, v0 + dv, v1 + dv);
}

void Hidrograma::Restablecer_Click() {
    Grafico()->Restablecer();
}

void Hidrograma::Seguir_Cursor(const QPoint& en_vista) {
    QPointF valor;
    if (!static_cast<Vista_Hidrograma*>(Vista)->Valor_En(en_vista, &valor)) {
        Cursor->setText(QStringLiteral(" "));
        return;
    }
    const Serie_Grafica& s = Grafico()->Serie();
    const Punto_Grafico* cerca = nullptr;
    const Tramo_Grafico* de = nullptr;
    for (const Tramo_Grafico& t : s.tramos) {
        auto p = std::lower_bound(t.puntos.begin(), t.puntos.end(), valor.x(),
                                  [](const Punto_Grafico& x, double m) { return x.minuto < m; });
        for (auto q : {p, p - 1}) {
            if (q < t.puntos.begin() || q >= t.puntos.end()) continue;
            if (!cerca || std::abs(q->minuto - valor.x()) < std::abs(cerca->minuto - valor.x())) {
                cerca = &*q;
                de = &t;
            }
        }
    }
    const Magnitud_Grafica& m = s.magnitud;
    if (!cerca) {
        Cursor->setText(QStringLiteral("Cursor: ") +
                        Momento_De_Minuto(qint64(std::floor(valor.x())))
                            .toString(QStringLiteral("dd/MM/yy HH:mm")) +
                        QStringLiteral(", ") + Numero(valor.y(), m.decimales) + QLatin1Char(' ') +
                        m.unidad);
        return;
    }
    QString t =
        QStringLiteral("Lectura: ") +
        Momento_De_Minuto(qint64(cerca->minuto)).toString(QStringLiteral("dd/MM/yy HH:mm")) +
        QStringLiteral(", ") + Numero(cerca->valor, m.decimales) + QLatin1Char(' ') + m.unidad;
    if (!de->nombre.isEmpty()) t += QStringLiteral(" (") + de->nombre + QLatin1Char(')');
    Cursor->setText(t);
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
    if (!guardar_) return;
    QString ruta = dialogos_.Guardar_Archivo(Filtro_Png, Grafico()->Serie().carpeta);
    if (ruta.isEmpty()) return;
    if (!ruta.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) ruta += QStringLiteral(".png");
    if (!guardar_(ruta, Png_De(Vista->grab().toImage()))) return;
    Aviso->setText(QStringLiteral("Imagen guardada en ") + QDir::toNativeSeparators(ruta));
}

QByteArray Png_De(const QImage& imagen) {
    QByteArray png;
    QBuffer memoria(&png);
    memoria.open(QBuffer::WriteOnly);
    return imagen.save(&memoria, "PNG") ? png : QByteArray();
}

QImage Renderizar_Hidrograma(const Serie_Grafica& serie, int ancho, int alto) {
    ancho = qBound(100, ancho, 8000);
    alto = qBound(100, alto, 8000);
    QGraphicsScene escena;
    auto* g = new Grafico_Hidrografico(serie);
    escena.addItem(g);  // the scene owns it from here
    g->setGeometry(0, 0, ancho, alto);
    if (g->layout()) g->layout()->activate();
    g->Ajustar();
    QImage imagen(ancho, alto, QImage::Format_RGB32);
    imagen.fill(Qt::white);
    QPainter pintor(&imagen);
    pintor.setRenderHint(QPainter::Antialiasing);
    escena.render(&pintor, QRectF(0, 0, ancho, alto), QRectF(0, 0, ancho, alto));
    return imagen;
}

}  // namespace aq
