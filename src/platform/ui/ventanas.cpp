#include "platform/ui/ventanas.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QStyle>
#include <QTranslator>
#include <QVariant>

// The resources live in a static library: they are registered by name, outside any namespace.
static void Registrar_Recursos() {
    Q_INIT_RESOURCE(recursos);
}

namespace aq {

namespace {
constexpr const char* Propiedad = "aq_descarga_programada";
constexpr const char* Maximizada_Fija = "aq_maximizada_fija";

// Room for the title text, the icon and the title bar's buttons.
int Ancho_Para_Titulo(const QMdiSubWindow* sub) {
    QFont f = QApplication::font("QMdiSubWindowTitleBar");
    f.setBold(true);
    const int barra = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    return QFontMetrics(f).horizontalAdvance(sub->windowTitle()) + 5 * barra;
}

// Beside the neighbour, on the first side where the whole window is visible; else on its
// right, pushed back inside the visible part.
QPoint Junto_A(const QRect& vecina, const QSize& tam, const QRect& dentro) {
    const QPoint lados[] = {
        {vecina.right() + 1, vecina.top()},
        {vecina.left() - tam.width(), vecina.top()},
        {vecina.left(), vecina.bottom() + 1},
        {vecina.left(), vecina.top() - tam.height()},
    };
    for (const QPoint& p : lados)
        if (dentro.contains(QRect(p, tam))) return p;
    return lados[0];
}

void Dentro_Del_Area(QMdiSubWindow* sub, const QRect& dentro) {
    if (dentro.isEmpty() || dentro.contains(sub->geometry())) return;
    QPoint p = sub->pos();
    p.setX(qBound(dentro.left(), p.x(), qMax(dentro.left(), dentro.right() + 1 - sub->width())));
    p.setY(qBound(dentro.top(), p.y(), qMax(dentro.top(), dentro.bottom() + 1 - sub->height())));
    sub->move(p);
}

QMdiSubWindow* Sub_De(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) return sub;
    return nullptr;
}
}  // namespace

void Pedir_Maximizada_Fija(QWidget* ventana) {
    ventana->setProperty(Maximizada_Fija, true);
}

namespace {
void Mostrar(QMdiArea* area, QWidget* ventana, const QMdiSubWindow* vecina) {
    const bool con_tamano = ventana->testAttribute(Qt::WA_Resized);
    const QSize deseado = ventana->size();
    QMdiSubWindow* sub = area->addSubWindow(ventana);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(ventana->windowTitle());
    sub->adjustSize();
    if (con_tamano)
        sub->resize(deseado.expandedTo(ventana->minimumSizeHint()) + sub->size() - ventana->size());
    if (sub->width() < Ancho_Para_Titulo(sub)) sub->resize(Ancho_Para_Titulo(sub), sub->height());
    // Never larger than the area, nor partly out of it.
    const QRect dentro = area->viewport()->rect();
    if (!dentro.isEmpty())
        sub->resize(sub->size().boundedTo(dentro.size().expandedTo(sub->minimumSizeHint())));
    if (ventana->property(Maximizada_Fija).toBool()) {
        sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint);
        sub->setSystemMenu(nullptr);  // no "Restore" or "Size" to leave the fixed frame
        sub->showMaximized();
    } else {
        sub->show();
        if (vecina && vecina->isVisible() && !vecina->isMaximized())
            sub->move(Junto_A(vecina->geometry(), sub->size(), dentro));
        Dentro_Del_Area(sub, dentro);
    }
    ventana->show();
    area->setActiveSubWindow(sub);
}
}  // namespace

void Mostrar_En_Area(QMdiArea* area, QWidget* ventana) {
    Mostrar(area, ventana, nullptr);
}

void Mostrar_Junto_A(QWidget* vecina, QWidget* ventana) {
    QMdiSubWindow* sub = Sub_De(vecina);
    if (sub && sub->mdiArea()) {
        Mostrar(sub->mdiArea(), ventana, sub);
    } else {
        ventana->setAttribute(Qt::WA_DeleteOnClose);
        ventana->show();
    }
}

void Cerrar_Con_Escape(QWidget* ventana) {
    // On the frame when there is one: the focus may rest on the frame itself.
    QWidget* marco = Sub_De(ventana);
    if (!marco) marco = ventana;
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), marco);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated, marco, &QWidget::close);
}

void Vestir_Aplicacion() {
    auto* qt = new QTranslator(qApp);
    if (qt->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    Registrar_Recursos();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/aqtide.svg")));
}

void Reloj_Arena(QWidget* w, bool ocupado) {
    if (!w) return;
    if (ocupado)
        w->window()->setCursor(Qt::WaitCursor);
    else
        w->window()->unsetCursor();
}

bool Descargar(QWidget* ventana) {
    if (!ventana) return true;
    ventana->setProperty(Propiedad, true);
    bool cerrada;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(ventana->parentWidget()))
        cerrada = sub->close();
    else
        cerrada = ventana->close();
    if (!cerrada) ventana->setProperty(Propiedad, false);
    return cerrada;
}

bool Es_Descarga_Programada(const QWidget* ventana) {
    return ventana->property(Propiedad).toBool();
}

void Repintar(QWidget* w) {
    if (w && w->isVisible()) w->repaint();
}

}  // namespace aq
