#include "archivo/ui/archivo_ventana.h"

#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>

#include <QStandardItemModel>

#include "archivo/serie.h"
#include "archivo/ui/manuales_ventana.h"
#include "memory/ui/grafico_datos.h"
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

}  // namespace

Archivo_Ventana::Archivo_Ventana(Contexto_Ventanas& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx) {
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

    Combo_Magnitud = new QComboBox(this);
    for (const Magnitud_Grafica& m : {Magnitud_Columna(), Magnitud_Profundidad(), Magnitud_Cota()})
        Combo_Magnitud->addItem(m.Titulo());
    Grafico_Serie =
        new Hidrograma(Serie_Grafica(), ctx_.dialogos, Guardar_Imagen_Con(ctx_.dialogos), this);
    Grafico_Serie->setMinimumHeight(260);

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
    auto* magnitud = new QLabel(QStringLiteral("&Magnitud:"), this);
    magnitud->setBuddy(Combo_Magnitud);
    rango->addWidget(magnitud);
    rango->addWidget(Combo_Magnitud);
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
    todo->addWidget(Grafico_Serie, 3);
    todo->addLayout(rango);

    connect(Tabla_Estaciones, &QTableWidget::itemSelectionChanged, this,
            &Archivo_Ventana::Elegir_Estacion);
    connect(Boton_Nombre, &QPushButton::clicked, this, &Archivo_Ventana::Guardar_Nombre);
    connect(Boton_Exportar, &QPushButton::clicked, this, &Archivo_Ventana::Exportar);
    connect(Boton_Cerrar, &QPushButton::clicked, this, [this] { Descargar(this); });
    connect(Combo_Magnitud, &QComboBox::currentIndexChanged, this, &Archivo_Ventana::Dibujar);
    for (QDateEdit* f : {Fecha_Desde, Fecha_Hasta})
        connect(f, &QDateEdit::dateChanged, this, [this] {
            if (!cambiando_fechas_) Dibujar();
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
    manuales_.clear();
    referencia_m_.reset();
    if (equipo >= 0) {
        Resultado_Archivo r;
        // The whole series: levels drift between visits outside the days shown.
        serie_ = archivo_.Serie(equipo, QDate(), QDate(), &r);
        if (r) manuales_ = archivo_.Manuales(equipo, &r);
        referencia_m_ = estaciones_[size_t(Tabla_Estaciones->currentRow())].referencia;
        Informar(r);
    }
    Dibujar();
}

void Archivo_Ventana::Dibujar() {
    const int equipo = Equipo_Elegido();
    QString estacion;
    if (equipo >= 0) {
        const Resumen_Estacion& e = estaciones_[size_t(Tabla_Estaciones->currentRow())];
        estacion = Nombre_Estacion(e.equipo, e.nombre);
    }
    // Depth and elevation need manual readings (and, for the elevation, the reference point).
    const bool niveles = !manuales_.empty();
    auto* modelo = qobject_cast<QStandardItemModel*>(Combo_Magnitud->model());
    for (int k = 1; k < 3 && modelo; ++k)
        modelo->item(k)->setEnabled(niveles && (k == 1 || referencia_m_.has_value()));
    if (!modelo->item(Combo_Magnitud->currentIndex())->isEnabled()) {
        const QSignalBlocker bloqueo(Combo_Magnitud);
        Combo_Magnitud->setCurrentIndex(0);
    }
    const Magnitud magnitud = Magnitud(Combo_Magnitud->currentIndex());
    Serie_Grafica s = Serie_De_Archivo(serie_, magnitud, manuales_, referencia_m_, estacion,
                                       Fecha_Desde->date(), Fecha_Hasta->date());
    s.carpeta = ctx_.estado.Directorio_Datos;
    if (equipo < 0) s.resumen.clear();
    Grafico_Serie->Mostrar(std::move(s));
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
