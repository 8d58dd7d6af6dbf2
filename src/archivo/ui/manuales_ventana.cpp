#include "archivo/ui/manuales_ventana.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "archivo/niveles.h"
#include "core/fecha_equipo.h"

namespace aq {

namespace {

const QString Titulo = QStringLiteral("Archivo histórico");

QString Decimal_Texto(double x) {
    return QString::number(x, 'f', 3).replace(QLatin1Char('.'), QLatin1Char(','));
}

}  // namespace

Manuales_Ventana::Manuales_Ventana(Contexto_Ventanas& ctx, Archivo_Historico& archivo, int equipo,
                                   const QDate& desde, const QDate& hasta, bool utf8,
                                   QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      archivo_(archivo),
      equipo_(equipo),
      desde_(desde),
      hasta_(hasta),
      utf8_(utf8) {
    setWindowTitle(QStringLiteral("Niveles del equipo %1").arg(equipo));
    Texto_Referencia = new QLineEdit(this);
    Boton_Referencia = new QPushButton(QStringLiteral("Guardar &referencia"), this);
    Tabla_Manuales = new QTableWidget(0, 4, this);
    Tabla_Manuales->setHorizontalHeaderLabels({QStringLiteral("Fecha y hora"),
                                               QStringLiteral("Profundidad [m]"),
                                               QStringLiteral("Usada"), QStringLiteral("Nota")});
    Tabla_Manuales->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tabla_Manuales->setSelectionBehavior(QAbstractItemView::SelectRows);
    Tabla_Manuales->setSelectionMode(QAbstractItemView::SingleSelection);
    Tabla_Manuales->verticalHeader()->hide();
    Tabla_Manuales->horizontalHeader()->setStretchLastSection(true);
    // The logger's clock has no zone and no summer time.
    Fecha_Manual = new QDateTimeEdit(this);
    Fecha_Manual->setTimeSpec(Qt::UTC);
    Fecha_Manual->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    Fecha_Manual->setCalendarPopup(true);
    Fecha_Manual->setDateTime(QDateTime(QDate::currentDate(), QTime(12, 0), Qt::UTC));
    Texto_Profundidad = new QLineEdit(this);
    Texto_Nota = new QLineEdit(this);
    Boton_Guardar = new QPushButton(QStringLiteral("&Guardar lectura"), this);
    Boton_Borrar = new QPushButton(QStringLiteral("&Borrar lectura"), this);
    Boton_Niveles = new QPushButton(QStringLiteral("Exportar con &niveles ..."), this);
    Boton_Diario = new QPushButton(QStringLiteral("Exportar &diario ..."), this);
    Boton_Cerrar = new QPushButton(QStringLiteral("&Cerrar"), this);

    auto* formulario = new QFormLayout;
    auto* referencia = new QHBoxLayout;
    referencia->addWidget(Texto_Referencia);
    referencia->addWidget(Boton_Referencia);
    formulario->addRow(QStringLiteral("Cota de referencia [m]:"), referencia);
    formulario->addRow(QStringLiteral("Fecha y hora:"), Fecha_Manual);
    formulario->addRow(QStringLiteral("Profundidad al agua [m]:"), Texto_Profundidad);
    formulario->addRow(QStringLiteral("Nota:"), Texto_Nota);
    auto* lectura = new QHBoxLayout;
    lectura->addWidget(Boton_Guardar);
    lectura->addWidget(Boton_Borrar);
    lectura->addStretch();
    auto* abajo = new QHBoxLayout;
    abajo->addWidget(Boton_Niveles);
    abajo->addWidget(Boton_Diario);
    abajo->addStretch();
    abajo->addWidget(Boton_Cerrar);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(Tabla_Manuales, 1);
    todo->addLayout(formulario);
    todo->addLayout(lectura);
    todo->addLayout(abajo);

    connect(Boton_Referencia, &QPushButton::clicked, this, &Manuales_Ventana::Guardar_Referencia);
    connect(Boton_Guardar, &QPushButton::clicked, this, &Manuales_Ventana::Guardar_Manual);
    connect(Boton_Borrar, &QPushButton::clicked, this, &Manuales_Ventana::Borrar_Manual);
    connect(Boton_Niveles, &QPushButton::clicked, this,
            [this] { Exportar(Forma_Exportacion::Niveles); });
    connect(Boton_Diario, &QPushButton::clicked, this,
            [this] { Exportar(Forma_Exportacion::Diario); });
    connect(Boton_Cerrar, &QPushButton::clicked, this, &QDialog::accept);
    connect(Tabla_Manuales, &QTableWidget::itemSelectionChanged, this,
            &Manuales_Ventana::Elegir_Fila);
    resize(640, 480);
    Actualizar();
}

bool Manuales_Ventana::Informar(const Resultado_Archivo& r) {
    if (r) return true;
    ctx_.dialogos.MsgBox(Mensaje_Archivo(r), Icono::Critico, Botones::Aceptar, Titulo);
    return false;
}

void Manuales_Ventana::Actualizar() {
    Resultado_Archivo r;
    for (const Resumen_Estacion& e : archivo_.Estaciones(&r))
        if (e.equipo == equipo_)
            Texto_Referencia->setText(e.referencia ? Decimal_Texto(*e.referencia) : QString());
    manuales_ = r ? archivo_.Manuales(equipo_, &r) : std::vector<Lectura_Manual>();
    const std::vector<Punto_Serie> serie =
        r ? archivo_.Serie(equipo_, {}, {}, &r) : std::vector<Punto_Serie>();
    if (!Informar(r)) return;
    const Niveles n = Calcular_Niveles(serie, manuales_, std::nullopt);
    Tabla_Manuales->setRowCount(int(manuales_.size()));
    for (size_t k = 0; k < manuales_.size(); ++k) {
        const QString celdas[] = {Texto_Iso(manuales_[k].minuto),
                                  Decimal_Texto(manuales_[k].profundidad_m),
                                  Texto_Uso_Manual(n.manual_usada[k]), manuales_[k].nota};
        for (int c = 0; c < 4; ++c)
            Tabla_Manuales->setItem(int(k), c, new QTableWidgetItem(celdas[c]));
    }
}

void Manuales_Ventana::Elegir_Fila() {
    const int fila = Tabla_Manuales->currentRow();
    if (fila < 0 || fila >= int(manuales_.size())) return;
    const Lectura_Manual& m = manuales_[size_t(fila)];
    Fecha_Manual->setDateTime(Momento_De_Minuto(m.minuto));
    Texto_Profundidad->setText(Decimal_Texto(m.profundidad_m));
    Texto_Nota->setText(m.nota);
}

void Manuales_Ventana::Guardar_Referencia() {
    const QString texto = Texto_Referencia->text().trimmed();
    const std::optional<double> cota = Leer_Decimal(texto);
    if (!texto.isEmpty() && !cota) {
        ctx_.dialogos.MsgBox(QStringLiteral("Cota incorrecta: %1").arg(texto), Icono::Exclamacion,
                             Botones::Aceptar, Titulo);
        return;
    }
    if (Informar(archivo_.Fijar_Referencia(equipo_, cota))) Actualizar();
}

void Manuales_Ventana::Guardar_Manual() {
    const std::optional<double> profundidad = Leer_Decimal(Texto_Profundidad->text());
    if (!profundidad) {
        ctx_.dialogos.MsgBox(
            QStringLiteral("Profundidad incorrecta: %1").arg(Texto_Profundidad->text()),
            Icono::Exclamacion, Botones::Aceptar, Titulo);
        return;
    }
    const qint64 minuto = Minuto_De_Momento(Fecha_Manual->dateTime());
    if (Informar(
            archivo_.Guardar_Manual(equipo_, {minuto, *profundidad, Texto_Nota->text().trimmed()})))
        Actualizar();
}

void Manuales_Ventana::Borrar_Manual() {
    if (Informar(archivo_.Borrar_Manual(equipo_, Minuto_De_Momento(Fecha_Manual->dateTime()))))
        Actualizar();
}

void Manuales_Ventana::Exportar(Forma_Exportacion forma) {
    const QString elegida = ctx_.dialogos.Guardar_Archivo(
        QStringLiteral("CSV (delimitado por punto y coma) (*.csv)|*.csv|"),
        ctx_.estado.Directorio_Datos);
    if (elegida.isEmpty()) return;
    const QString ruta = Ruta_Exportacion(elegida);
    const Resultado_Archivo r = archivo_.Exportar(equipo_, desde_, hasta_, ruta, utf8_, forma);
    if (!Informar(r)) return;
    ctx_.dialogos.MsgBox(
        QStringLiteral("%1 en %2")
            .arg(Texto_Exportadas(r.lecturas, forma), QDir::toNativeSeparators(ruta)),
        Icono::Informacion, Botones::Aceptar, Titulo);
}

}  // namespace aq
