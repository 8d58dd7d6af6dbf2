#include "platform/ui/ayuda_visor.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace aq {

Ayuda_Visor::Ayuda_Visor(std::function<void(QWidget*)> mostrar) : mostrar_(std::move(mostrar)) {}

Ayuda_Visor::~Ayuda_Visor() {
    // A viewer placed elsewhere belongs to its new parent.
    if (visor_ && !visor_->parentWidget()) delete visor_;
}

bool Ayuda_Visor::Mostrar(const QString& archivo, QString* error) {
    const QFileInfo info(archivo);
    if (!info.isFile()) {
        if (error) {
            *error = QStringLiteral("No se encontró el manual de ayuda: ") +
                     QDir::toNativeSeparators(info.absoluteFilePath());
        }
        return false;
    }
    const bool nuevo = !visor_;
    if (nuevo) {
        visor_ = new QTextBrowser;
        visor_->setAttribute(Qt::WA_DeleteOnClose);
        visor_->setOpenExternalLinks(true);
        visor_->setWindowTitle(QStringLiteral("Manual de ayuda"));
        visor_->resize(760, 560);
    }
    visor_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    if (nuevo && mostrar_) {
        mostrar_(visor_);
    } else {
        QWidget* ventana = visor_->window();
        ventana->show();
        ventana->raise();
        ventana->activateWindow();
        if (ventana != visor_) visor_->show();
    }
    return true;
}

}  // namespace aq
