#include "archivo/ui/archivo_ventana.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineSeries>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>

#include "archivo/serie.h"
#include "archivo/ui/manuales_ventana.h"
#include "platform/ui/ventanas.h"

namespace aq {

namespace {

QString Fecha_Hora(const QDateTime& t) {
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QTableWidgetItem* Celda(const QString& texto, bool numero = false) {
    auto* c = new QTableWidgetItem(texto);
    c->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (numero) c->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return c;
}

// The chart's time axis works in local milliseconds; the logger's clock has no zone.
qreal Milisegundos(qint64 minuto) {
    return qreal(Momento_De_Minuto(minuto).toMSecsSinceEpoch());
}

}  // namespace

Archivo_Ventana::Archivo_Ventana(Contexto& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setWindowTitle(QStringLiteral("Archivo histórico"));
    resize(900, 640);

    Label_Base = new QLabel(this);
    Label_Base->setWordWrap(true);
    Label_Base->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Tabla_Estaciones = new QTableWidget(0, 7, this);
    Tabla_Estaciones->setHorizontalHeaderLabels(
        {QStringLiteral("Equipo"), QStringLiteral("Nombre"), QStringLiteral("Lecturas"),
         QStringLiteral("Primera"), QStringLiteral("Última"), QStringLiteral("Última descarga"),
         QStringLiteral("Conflictos")});
    Tabla_Descargas = new QTableWidget(0, 4, this);
    Tabla_Descargas->setHorizontalHeaderLabels(
        {QStringLiteral("Descarga"), QStringLiteral("Lecturas"), QStringLiteral("Nuevas"),
         QStringLiteral("Resguardo")});
    for (QTableWidget* t : {Tabla_Estaciones, Tabla_Descargas}) {
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->verticalHeader()->hide();
        // Whole columns, a scroll bar when they do not fit: a stretched last one cut paths.
        t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }

    Texto_Nombre = new QLineEdit(this);
    Texto_Nota = new QLineEdit(this);
    Boton_Nombre = new QPushButton(QStringLiteral("&Guardar nombre"), this);
    Fecha_Desde = new QDateEdit(this);
    Fecha_Hasta = new QDateEdit(this);
    for (QDateEdit* f : {Fecha_Desde, Fecha_Hasta}) {
        f->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        f->setCalendarPopup(true);
    }
    Check_Utf8 = new QCheckBox(QStringLiteral("UTF-8"), this);
    Boton_Exportar = new QPushButton(QStringLiteral("E&xportar ..."), this);
    Boton_Cerrar = new QPushButton(QStringLiteral("&Cerrar"), this);

    grafico_ = new QChart;
    grafico_->legend()->hide();
    linea_ = new QLineSeries;
    grafico_->addSeries(linea_);
    eje_x_ = new QDateTimeAxis;
    eje_x_->setFormat(QStringLiteral("yyyy-MM-dd"));
    eje_y_ = new QValueAxis;
    eje_y_->setTitleText(QStringLiteral("Columna de agua [mm]"));
    eje_y_->setLabelFormat(QStringLiteral("%d"));
    grafico_->addAxis(eje_x_, Qt::AlignBottom);
    grafico_->addAxis(eje_y_, Qt::AlignLeft);
    linea_->attachAxis(eje_x_);
    linea_->attachAxis(eje_y_);
    Vista_Serie = new QChartView(grafico_, this);
    Vista_Serie->setMinimumHeight(220);

    auto* datos = new QFormLayout;
    datos->addRow(QStringLiteral("&Nombre:"), Texto_Nombre);
    datos->addRow(QStringLiteral("N&ota:"), Texto_Nota);
    datos->addRow(QString(), Boton_Nombre);
    auto* derecha = new QVBoxLayout;
    derecha->addWidget(Tabla_Descargas, 1);
    derecha->addLayout(datos);
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(Tabla_Estaciones, 3);
    arriba->addLayout(derecha, 2);
    auto* rango = new QHBoxLayout;
    for (auto [texto, fecha] :
         {std::pair{"&Desde:", Fecha_Desde}, std::pair{"&Hasta:", Fecha_Hasta}}) {
        auto* etiqueta = new QLabel(QString::fromUtf8(texto), this);
        etiqueta->setBuddy(fecha);
        rango->addWidget(etiqueta);
        rango->addWidget(fecha);
    }
    rango->addWidget(Check_Utf8);
    rango->addWidget(Boton_Exportar);
    // Reference, manual readings and level exports of the chosen station: a dialog of its own.
    auto* niveles = new QPushButton(QStringLiteral("Ni&veles ..."), this);
    niveles->setObjectName(QStringLiteral("Boton_Niveles"));
    rango->addWidget(niveles);
    connect(niveles, &QPushButton::clicked, this, [this] {
        const int equipo = Equipo_Elegido();
        if (equipo < 0 || !archivo_.Abierto()) return;
        auto* d = new Manuales_Ventana(ctx_, archivo_, equipo, Fecha_Desde->date(),
                                       Fecha_Hasta->date(), Check_Utf8->isChecked(), this);
        d->setAttribute(Qt::WA_DeleteOnClose);
        connect(d, &QDialog::finished, this, &Archivo_Ventana::Actualizar_Estaciones);
        d->open();
    });
    rango->addStretch(1);
    rango->addWidget(Boton_Cerrar);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(Label_Base);
    todo->addLayout(arriba, 2);
    todo->addWidget(Vista_Serie, 3);
    todo->addLayout(rango);

    connect(Tabla_Estaciones, &QTableWidget::itemSelectionChanged, this,
            &Archivo_Ventana::Elegir_Estacion);
    connect(Boton_Nombre, &QPushButton::clicked, this, &Archivo_Ventana::Guardar_Nombre);
    connect(Boton_Exportar, &QPushButton::clicked, this, &Archivo_Ventana::Exportar);
    connect(Boton_Cerrar, &QPushButton::clicked, this, [this] { Descargar(this); });
    for (QDateEdit* f : {Fecha_Desde, Fecha_Hasta})
        connect(f, &QDateEdit::dateChanged, this, [this] {
            if (!cambiando_fechas_) Leer_Serie();
        });

    Destino_Archivo destino;
    const Resultado_Archivo r = Abrir_Archivo_Configurado(
        archivo_, ctx_.perfil, ctx_.estado.Directorio_Raiz, QString(), &destino);
    const QString donde =
        destino.Descripcion().isEmpty() ? QString() : destino.Descripcion() + QStringLiteral(": ");
    Label_Base->setText(r ? QStringLiteral("Base: ") + destino.Descripcion()
                          : donde + Mensaje_Archivo(r));
    Actualizar_Estaciones();
}

int Archivo_Ventana::Puntos_Dibujados() const {
    int n = int(linea_->count());
    for (const QLineSeries* s : tramos_) n += int(s->count());
    return n;
}

int Archivo_Ventana::Tramos_Dibujados() const {
    return linea_->count() ? 1 + int(tramos_.size()) : 0;
}

int Archivo_Ventana::Equipo_Elegido() const {
    const int fila = Tabla_Estaciones->currentRow();
    return fila >= 0 && fila < int(estaciones_.size()) ? estaciones_[size_t(fila)].equipo : -1;
}

void Archivo_Ventana::Informar(const Resultado_Archivo& r) {
    if (!r)
        ctx_.dialogos.MsgBox(Mensaje_Archivo(r), Icono::Exclamacion, Botones::Aceptar,
                             QStringLiteral("Archivo histórico"));
}

void Archivo_Ventana::Actualizar_Estaciones() {
    const int antes = Equipo_Elegido();
    const bool abierto = archivo_.Abierto();
    for (QWidget* w : std::initializer_list<QWidget*>{Boton_Nombre, Boton_Exportar, Texto_Nombre,
                                                      Texto_Nota, Fecha_Desde, Fecha_Hasta})
        w->setEnabled(abierto);
    if (!abierto) return;
    Resultado_Archivo r;
    estaciones_ = archivo_.Estaciones(&r);
    Informar(r);
    const QSignalBlocker bloqueo(Tabla_Estaciones);
    Tabla_Estaciones->setRowCount(int(estaciones_.size()));
    int elegir = estaciones_.empty() ? -1 : 0;
    for (int f = 0; f < int(estaciones_.size()); ++f) {
        const Resumen_Estacion& e = estaciones_[size_t(f)];
        if (e.equipo == antes) elegir = f;
        Tabla_Estaciones->setItem(f, 0, Celda(QString::number(e.equipo), true));
        Tabla_Estaciones->setItem(f, 1, Celda(e.nombre));
        Tabla_Estaciones->setItem(f, 2, Celda(QString::number(e.lecturas), true));
        Tabla_Estaciones->setItem(f, 3, Celda(Fecha_Hora(e.primera)));
        Tabla_Estaciones->setItem(f, 4, Celda(Fecha_Hora(e.ultima)));
        Tabla_Estaciones->setItem(f, 5, Celda(Fecha_Hora(e.ultima_descarga)));
        QTableWidgetItem* c = Celda(QString::number(e.conflictos), true);
        if (e.conflictos) c->setForeground(Qt::red);
        Tabla_Estaciones->setItem(f, 6, c);
    }
    Tabla_Estaciones->resizeColumnsToContents();
    if (elegir >= 0) Tabla_Estaciones->selectRow(elegir);
    Elegir_Estacion();
}

void Archivo_Ventana::Elegir_Estacion() {
    const int equipo = Equipo_Elegido();
    Tabla_Descargas->setRowCount(0);
    if (equipo < 0) {
        serie_.clear();
        Dibujar();
        return;
    }
    const Resumen_Estacion& e = estaciones_[size_t(Tabla_Estaciones->currentRow())];
    Texto_Nombre->setText(e.nombre);
    Texto_Nota->setText(e.nota);
    Resultado_Archivo r;
    const std::vector<Descarga_Archivada> descargas = archivo_.Descargas(equipo, &r);
    Informar(r);
    Tabla_Descargas->setRowCount(int(descargas.size()));
    for (int f = 0; f < int(descargas.size()); ++f) {
        const Descarga_Archivada& d = descargas[size_t(f)];
        Tabla_Descargas->setItem(f, 0, Celda(Fecha_Hora(d.momento)));
        Tabla_Descargas->setItem(f, 1, Celda(QString::number(d.lecturas), true));
        Tabla_Descargas->setItem(f, 2, Celda(QString::number(d.nuevas), true));
        Tabla_Descargas->setItem(f, 3, Celda(d.ruta));
    }
    Tabla_Descargas->resizeColumnsToContents();
    {
        cambiando_fechas_ = true;
        Fecha_Desde->setDate(e.primera.isValid() ? e.primera.date() : QDate::currentDate());
        Fecha_Hasta->setDate(e.ultima.isValid() ? e.ultima.date() : QDate::currentDate());
        cambiando_fechas_ = false;
    }
    Leer_Serie();
}

void Archivo_Ventana::Leer_Serie() {
    const int equipo = Equipo_Elegido();
    serie_.clear();
    if (equipo >= 0) {
        Resultado_Archivo r;
        serie_ = archivo_.Serie(equipo, Fecha_Desde->date(), Fecha_Hasta->date(), &r);
        Informar(r);
    }
    Dibujar();
}

void Archivo_Ventana::Dibujar() {
    const int columnas = std::max(100, int(grafico_->plotArea().width()));
    const std::vector<QPointF> puntos = Diezmar_Serie(serie_, columnas);
    // Time without readings (between blocks, or between downloads) stays blank: a step longer
    // than the longest interval the logger knows (4 hours) starts a new run of the line.
    constexpr double Paso_Maximo_Min = 4 * 60 + 1;
    constexpr size_t Tramos_Maximos = 400;  // beyond that, one line: too many to tell apart
    std::vector<QList<QPointF>> tramos(1);
    int menor = 0, mayor = 1;
    for (size_t i = 0; i < puntos.size(); ++i) {
        const QPointF& p = puntos[i];
        if (i > 0 && p.x() - puntos[i - 1].x() > Paso_Maximo_Min) tramos.emplace_back();
        tramos.back().append(QPointF(Milisegundos(qint64(p.x())), p.y()));
        if (i == 0) menor = mayor = int(p.y());
        menor = std::min(menor, int(p.y()));
        mayor = std::max(mayor, int(p.y()));
    }
    if (tramos.size() > Tramos_Maximos) {
        for (size_t t = 1; t < tramos.size(); ++t) tramos[0] += tramos[t];
        tramos.resize(1);
    }
    for (QLineSeries* s : tramos_) {
        grafico_->removeSeries(s);
        delete s;
    }
    tramos_.clear();
    linea_->replace(tramos[0]);  // one update for the whole run
    for (size_t t = 1; t < tramos.size(); ++t) {
        auto* s = new QLineSeries;
        s->setPen(linea_->pen());
        s->replace(tramos[t]);
        grafico_->addSeries(s);
        s->attachAxis(eje_x_);
        s->attachAxis(eje_y_);
        tramos_.push_back(s);
    }
    if (!serie_.empty()) {
        eje_x_->setRange(Momento_De_Minuto(serie_.front().minuto),
                         Momento_De_Minuto(serie_.back().minuto + 1));
        eje_y_->setRange(menor, std::max(mayor, menor + 1));
    }
}

void Archivo_Ventana::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (!serie_.empty()) Dibujar();
}

void Archivo_Ventana::Guardar_Nombre() {
    const int equipo = Equipo_Elegido();
    if (equipo < 0) return;
    const Resultado_Archivo r =
        archivo_.Nombrar(equipo, Texto_Nombre->text().trimmed(), Texto_Nota->text().trimmed());
    Informar(r);
    Actualizar_Estaciones();
}

void Archivo_Ventana::Exportar() {
    const int equipo = Equipo_Elegido();
    if (equipo < 0) return;
    const QString ruta = ctx_.dialogos.Guardar_Archivo(
        QStringLiteral("CSV (delimitado por punto y coma) (*.csv)|*.csv|"),
        ctx_.estado.Directorio_Datos);
    if (ruta.isEmpty()) return;
    const Resultado_Archivo r = archivo_.Exportar(equipo, Fecha_Desde->date(), Fecha_Hasta->date(),
                                                  ruta, Check_Utf8->isChecked());
    if (!r) {
        Informar(r);
        return;
    }
    ctx_.dialogos.MsgBox(
        QStringLiteral("%1 lecturas en %2").arg(r.lecturas).arg(QDir::toNativeSeparators(ruta)),
        Icono::Informacion, Botones::Aceptar, QStringLiteral("Archivo histórico"));
}

}  // namespace aq
