#include "dobles/tuberia.h"

#include <QFile>
#include <QProcess>
#include <chrono>

namespace aq {

bool Crear_Tuberia(const QString& ruta) {
    QFile::remove(ruta);
    return QProcess::execute(QStringLiteral("mkfifo"), {ruta}) == 0;
}

Vigia_Tuberia::Vigia_Tuberia(const QString& tuberia, double segundos) : tuberia_(tuberia) {
    hilo_ = std::thread([this, segundos] {
        std::unique_lock<std::mutex> bloqueo(m_);
        if (cv_.wait_for(bloqueo, std::chrono::duration<double>(segundos), [this] { return fin_; }))
            return;
        disparado_ = true;
        // Detached and time-limited: it must not hang either when nobody reads.
        QProcess::startDetached(QStringLiteral("timeout"),
                                {QStringLiteral("10"), QStringLiteral("sh"), QStringLiteral("-c"),
                                 QStringLiteral("printf x > \"$0\""), tuberia_});
    });
}

bool Vigia_Tuberia::Disparado() {
    {
        std::lock_guard<std::mutex> bloqueo(m_);
        fin_ = true;
    }
    cv_.notify_all();
    if (hilo_.joinable()) hilo_.join();
    return disparado_;
}

Vigia_Tuberia::~Vigia_Tuberia() {
    Disparado();
}

}  // namespace aq
