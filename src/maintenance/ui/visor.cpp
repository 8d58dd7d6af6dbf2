#include "maintenance/ui/visor.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>

#include "maintenance/datos_visor.h"
#include "maintenance/ui/delegado_tabulado.h"
#include "memory/ui/grafico_datos.h"
#include "platform/ui/ventanas.h"

namespace aq {

namespace {
constexpr double Ancho_Boton = 972, Alto_Boton = 372, Alto_Texto = 288;
}

Visor::Visor(Contexto_Ventanas& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setWindowTitle(QStringLiteral("Visor"));
    setAutoFillBackground(true);
    QPalette fondo = palette();
    fondo.setColor(QPalette::Window, QColor(192, 192, 255));
    setPalette(fondo);

    List1 = new QListView(this);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Preparar_Lista_Tabulada(List1);
    modelo_ = new Modelo_Lineas(this);
    List1->setModel(modelo_);
    Cerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    Cerrar->setFixedSize(Twips_A_Pixeles(Ancho_Boton), Twips_A_Pixeles(Alto_Boton));
    Text1 = new QLineEdit(this);
    Text1->setReadOnly(true);
    Text1->setFixedHeight(Twips_A_Pixeles(Alto_Texto));
    Grafico = new QPushButton(QString::fromUtf8("&Gráfico"), this);
    Grafico->setFixedSize(Cerrar->size());
    Grafico->setEnabled(false);
    setTabOrder(List1, Cerrar);
    setTabOrder(Cerrar, Grafico);
    setTabOrder(Grafico, Text1);
    connect(Cerrar, &QPushButton::clicked, this, &Visor::Cerrar_Click);
    connect(Grafico, &QPushButton::clicked, this, &Visor::Grafico_Click);
    resize(Twips_A_Pixeles(10000), Twips_A_Pixeles(5000));
}

void Visor::Mostrar_Archivo(Modelo_Lineas* modelo, const QString& ruta) {
    modelo->setParent(this);
    List1->setModel(modelo);
    delete modelo_;
    modelo_ = modelo;
    Text1->setText(ruta);
    Grafico->setEnabled(!ruta.isEmpty());
}

void Visor::Form_Resize() {
    // The layout works from the window's outer size, frame and caption included.
    QSize exterior = frameGeometry().size();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) exterior = sub->size();
    const Disposicion_Visor d =
        Calcular_Disposicion_Visor(Pixeles_A_Twips(exterior.width()),
                                   Pixeles_A_Twips(exterior.height()), Ancho_Boton, Alto_Texto);
    List1->setGeometry(Twips_A_Pixeles(d.izquierda_lista), Twips_A_Pixeles(d.arriba_lista),
                       Twips_A_Pixeles(d.ancho_lista), Twips_A_Pixeles(d.alto_lista));
    Cerrar->move(Twips_A_Pixeles(d.izquierda_boton), Twips_A_Pixeles(d.arriba_boton));
    Grafico->move(Cerrar->x(), Cerrar->y() + Cerrar->height() + Twips_A_Pixeles(Alto_Boton) / 2);
    Text1->setGeometry(Twips_A_Pixeles(d.izquierda_texto), Twips_A_Pixeles(d.arriba_texto),
                       Twips_A_Pixeles(d.ancho_texto), Text1->height());
}

void Visor::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

void Visor::Cerrar_Click() {
    Descargar(this);
}

void Visor::Grafico_Click() {
    Abrir_Hidrograma(Text1->text(), this, ctx_.dialogos);
}

void Visor::closeEvent(QCloseEvent* e) {
    Q_EMIT Devolver_Menu();
    e->accept();
}

QString Seleccionar_Archivo(Contexto_Ventanas& ctx) {
    return ctx.dialogos.Abrir_Archivo(Filtro_Visor, ctx.estado.Directorio_Datos);
}

Visor* Abrir_Visor(Contexto_Ventanas& ctx, QWidget* ventana_principal) {
    const QString ruta = Seleccionar_Archivo(ctx);
    if (ruta.isEmpty()) return nullptr;
    if (!Extension_Valida(ruta)) {
        ctx.dialogos.MsgBox(QStringLiteral("La extensión del archivo es incorrecta."),
                            Icono::Informacion, Botones::Aceptar, Titulo_Aplicacion);
        return nullptr;
    }

    // The file is read whole while the pointer is busy; the window opens only when the lines
    // are at hand, so a file that vanished after the check never leaves the menu greyed.
    Reloj_Arena(ventana_principal, true);
    const bool valido = Verificar_Archivo(ruta) == Texto_Ok;
    auto* modelo = new Modelo_Lineas;
    QString error;
    const bool leido = valido && modelo->Cargar(ruta, &error);
    Reloj_Arena(ventana_principal, false);

    if (!valido) {
        delete modelo;
        ctx.dialogos.MsgBox(QStringLiteral("El archivo seleccionado, no es un archivo valido, "
                                           "parece no contener datos del limnigrafo-freatigrafo."),
                            Icono::Informacion, Botones::Aceptar, Titulo_Aplicacion);
        return nullptr;
    }
    if (!leido) {
        delete modelo;
        ctx.dialogos.MsgBox(QStringLiteral("No se pudo leer el archivo seleccionado.\n") + error,
                            Icono::Exclamacion, Botones::Aceptar, Titulo_Aplicacion);
        return nullptr;
    }

    auto* visor = new Visor(ctx);
    visor->Pendiente = {modelo, ruta};
    return visor;
}

void Visor::Mostrar_Pendiente() {
    if (!Pendiente.modelo) return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->showMaximized();
    else
        showMaximized();
    ctx_.reloj.Ceder(0);
    auto p = Pendiente;
    Pendiente = {};
    Mostrar_Archivo(p.modelo, p.ruta);
}

}  // namespace aq
