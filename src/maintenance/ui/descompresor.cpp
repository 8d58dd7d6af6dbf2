#include "maintenance/ui/descompresor.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QShortcut>

#include "maintenance/datos_visor.h"
#include "maintenance/expansion.h"
#include "maintenance/paginado.h"
#include "maintenance/ui/delegado_tabulado.h"
#include "memory/archivos.h"
#include "platform/ui/ventanas.h"

namespace aq {

namespace {

QRect Twips(int izquierda, int arriba, int ancho, int alto) {
    return QRect(Twips_A_Pixeles(izquierda), Twips_A_Pixeles(arriba), Twips_A_Pixeles(ancho),
                 Twips_A_Pixeles(alto));
}

const QString Texto_Disco_Lleno = QStringLiteral(
    "El disco está lleno y por esta razón \n"
    "NO PODRÁ VISUALIZAR LOS DATOS RECOGIDOS.\n"
    "Sin embargo los mismos AÚN ESTÁN GUARDADOS\n"
    "en el archivo que Usted ha solicitado.\n");

void Maximizar(QWidget* w) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        sub->showMaximized();
    else
        w->showMaximized();
}

}  // namespace

Descompresor::Descompresor(Contexto_Ventanas& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setWindowTitle(QStringLiteral("Utilidad de Descompresión de Archivos"));
    setAutoFillBackground(true);
    QPalette fondo = palette();
    fondo.setColor(QPalette::Window, QColor(192, 192, 255));
    setPalette(fondo);
    resize(Twips_A_Pixeles(8808), Twips_A_Pixeles(5724));
    Pedir_Maximizada_Fija(this);

    Command1 = new QPushButton(QStringLiteral("&Elegir Archivo Compactado"), this);
    Command1->setGeometry(Twips(660, 120, 2715, 555));
    Command2 = new QPushButton(QStringLiteral("&Cerrar"), this);
    Command2->setGeometry(Twips(4920, 120, 2715, 555));
    Label2 = new QLabel(this);
    Label2->setGeometry(Twips(2160, 780, 3615, 195));
    Label2->hide();
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(Twips(2160, 1080, 3615, 255));
    ProgressBar1->setRange(0, 4095);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    Label1 = new QLabel(this);
    Label1->setGeometry(Twips(180, 1440, 8172, 252));
    Label1->hide();
    List1 = new QListWidget(this);
    List1->setGeometry(Twips(180, 1800, 8175, 3672));
    List1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setUniformItemSizes(true);
    Preparar_Lista_Tabulada(List1);
    List1->installEventFilter(this);
    Scroll = new QScrollBar(Qt::Vertical, this);
    Scroll->setRange(1, 1);
    Scroll->setValue(1);
    Scroll->setSingleStep(1);
    Scroll->setPageStep(10);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, List1);

    connect(Command1, &QPushButton::clicked, this, &Descompresor::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Descompresor::Command2_Click);
    connect(Scroll, &QScrollBar::valueChanged, this, &Descompresor::Scroll_Change);
    // Escape presses "&Cerrar", the window's cancel button.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, Command2, &QPushButton::click);

    // The 19 rows must all be in view whatever the font gives.
    List1->addItem(QStringLiteral("0"));
    const int alto_lista = Filas_Pagina * List1->sizeHintForRow(0) + 2 * List1->frameWidth();
    List1->clear();
    if (alto_lista > List1->height()) {
        const int extra = alto_lista - List1->height();
        List1->resize(List1->width(), alto_lista);
        resize(width(), height() + extra);
    }

    // Form_Load
    Scroll->setGeometry(Twips_A_Pixeles(8340), List1->y(), Twips_A_Pixeles(255), List1->height());
    carpeta_trabajo_ = ctx_.estado.Directorio_Bak;
}

void Descompresor::Command1_Click() {
    const QString elegido = ctx_.dialogos.Abrir_Archivo(QString(), carpeta_trabajo_);
    if (elegido.isEmpty()) return;
    const QFileInfo info(elegido);
    if (!info.isFile()) {
        ctx_.dialogos.MsgBox(QStringLiteral("El archivo seleccionado no existe"), Icono::Ninguno,
                             Botones::Aceptar, Titulo_Aplicacion);
        return;
    }
    // The work files go next to the chosen file, where the next dialog starts too.
    carpeta_trabajo_ = info.absolutePath();
    const QString carpeta = carpeta_trabajo_;
    const QString expandido = QDir(carpeta).filePath(Nombre_Expandido);

    Seguimiento_Expansion s;
    s.leido = [&] {
        ProgressBar1->setMinimum(0);
        ProgressBar1->setValue(0);
        ProgressBar1->show();
        // Never the backup being expanded, whatever it is called.
        if (QFileInfo(expandido).isFile() && !Mismo_Archivo(expandido, elegido))
            QFile::remove(expandido);
        Label1->setText(QStringLiteral("Archivo: ") + QDir::toNativeSeparators(expandido));
        Label1->show();
        Label2->setText(QStringLiteral("Leyendo ..."));
        Label2->show();
        ProgressBar1->setMaximum(Palabras_Memoria - 1);
    };
    s.avance = [this](int i) { ProgressBar1->setValue(i); };
    s.expandiendo = [this] {
        Label2->setText(QStringLiteral("Expandiendo ..."));
        Repintar(Label2);
    };
    const Resultado_Expansion r =
        Expandir_Resguardo(ctx_.estado, elegido, expandido, QByteArrayLiteral("\t"), s);
    // An unreadable or short backup leaves the window, the shown data and the image as they were.
    if (r.fin == Fin_Expansion::Resguardo_Ilegible) {
        ctx_.dialogos.MsgBox(Mensaje_Expansion(r), Icono::Exclamacion, Botones::Aceptar,
                             Titulo_Aplicacion);
        return;
    }
    if (r.fin == Fin_Expansion::Falla_Salida)
        ctx_.dialogos.MsgBox(Mensaje_Expansion(r), Icono::Ninguno, Botones::Aceptar,
                             Titulo_Aplicacion);

    Label2->setText(QStringLiteral("Convirtiendo ..."));
    Repintar(Label2);
    // A failed expansion leaves no file to page through.
    const bool convertido = r.fin == Fin_Expansion::Expandida && Convertir(carpeta);

    Label2->setText(QStringLiteral("Listo."));
    Repintar(Label2);
    if (convertido) Maximizar(this);
}

// Writes the paging file next to the expanded text and shows its first page. False when the
// conversion failed; its message has been shown.
bool Descompresor::Convertir(const QString& carpeta) {
    Scroll->setMaximum(1);
    const QString expandido = QDir(carpeta).filePath(Nombre_Expandido);
    const QString paginado = QDir(carpeta).filePath(Nombre_Paginado);
    // A paging file left by an expansion in another folder is not needed any more.
    if (!ruta_paginado_.isEmpty() && QFileInfo(ruta_paginado_) != QFileInfo(paginado))
        QFile::remove(ruta_paginado_);
    ruta_paginado_ = paginado;

    auto fallar = [this](const QString& texto, const QString& titulo, Icono icono) {
        List1->clear();
        ctx_.dialogos.MsgBox(texto, icono, Botones::Aceptar, titulo);
        return false;
    };
    QFile origen(expandido);
    if (!origen.open(QIODevice::ReadOnly))
        return fallar(Mensaje_Error_Archivo(origen, Operacion_Archivo::Abrir_Lectura),
                      Titulo_Aplicacion, Icono::Ninguno);
    QFile destino;
    if (const Falla_Archivo f = Abrir_Trabajo(destino, paginado); f != Falla_Archivo::Ninguna)
        return fallar(Mensaje_Error_Archivo(f), Titulo_Aplicacion, Icono::Ninguno);
    int lineas = 0;
    switch (Escribir_Paginado(origen, destino, &lineas)) {
        case Resultado_Paginado::Correcto:
            break;
        case Resultado_Paginado::Origen_Ilegible:
            return fallar(Mensaje_Error_Archivo(origen, Operacion_Archivo::Leer), Titulo_Aplicacion,
                          Icono::Ninguno);
        case Resultado_Paginado::Destino_Fallido:
            return fallar(Texto_Disco_Lleno, QStringLiteral("Advertencia !!!"), Icono::Exclamacion);
    }
    destino.close();
    if (destino.error() != QFileDevice::NoError)
        return fallar(Texto_Disco_Lleno, QStringLiteral("Advertencia !!!"), Icono::Exclamacion);

    Scroll->setMaximum(Maxima_Primera_Linea(lineas));
    const QSignalBlocker sin_refresco(Scroll);
    Scroll->setValue(1);
    List1->clear();
    Mostrar_Pagina();
    return true;
}

void Descompresor::Mostrar_Pagina() {
    for (const QByteArray& registro : Leer_Pagina(ruta_paginado_, Scroll->value()))
        List1->addItem(QString::fromLatin1(registro));
}

void Descompresor::Scroll_Change() {
    const int fila = List1->currentRow();
    List1->clear();
    Mostrar_Pagina();
    if (fila >= 0) List1->setCurrentRow(fila);
}

bool Descompresor::List1_KeyDown(int tecla) {
    const Movimiento m =
        Tecla_Paginado(tecla, List1->currentRow(), Scroll->value(), Scroll->maximum());
    if (!m.atendida) return false;
    Scroll->setValue(m.primera);  // refreshes the page when F changes
    List1->setCurrentRow(m.fila);
    return true;
}

bool Descompresor::eventFilter(QObject* objeto, QEvent* e) {
    if (objeto == List1 && e->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(e);
        if (tecla->modifiers() == Qt::NoModifier || tecla->modifiers() == Qt::KeypadModifier)
            return List1_KeyDown(tecla->key());
    }
    return QWidget::eventFilter(objeto, e);
}

void Descompresor::Command2_Click() {
    Descargar(this);
}

void Descompresor::closeEvent(QCloseEvent* e) {
    // The user's close box is refused: the window closes through "&Cerrar".
    if (!Es_Descarga_Programada(this)) {
        e->ignore();
        return;
    }
    Form_Unload();
    e->accept();
}

void Descompresor::Form_Unload() {
    const QString datos = ctx_.estado.Directorio_Datos;
    if (!datos.isEmpty()) {
        const QString paginado = QDir(datos).filePath(Nombre_Paginado);
        if (QFileInfo(paginado).isFile()) QFile::remove(paginado);
    }
    // The paging file is removed from where it was made, not only from the data directory.
    if (!ruta_paginado_.isEmpty()) QFile::remove(ruta_paginado_);
    Q_EMIT Devolver_Menu();
}

void Descompresor::resizeEvent(QResizeEvent* e) {
    // In the normal state the window sits at the top left corner of the main window.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
        sub && !(sub->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        sub->move(0, 0);
    QWidget::resizeEvent(e);
}

}  // namespace aq
