#include "platform/puerto_conmutado.h"

#include "platform/dispositivo.h"

namespace aq {

Puerto_Conmutado::Puerto_Conmutado(Perfil& perfil, Reloj& reloj, const QString& directorio_bloqueos)
    : perfil_(perfil), serie_(perfil, reloj), tcp_(reloj), bloqueo_(directorio_bloqueos) {}

QString Puerto_Conmutado::Dispositivo() const {
    return fijo_.isEmpty() ? Dispositivo_De_Puerto(perfil_, puerto_) : fijo_;
}

void Puerto_Conmutado::setCommPort(int n) {
    if (PortOpen()) return;
    puerto_ = n;
    serie_.setCommPort(n);
    tcp_.setCommPort(n);
}

void Puerto_Conmutado::setInputLen(int n) {
    serie_.setInputLen(n);
    tcp_.setInputLen(n);
}

void Puerto_Conmutado::setInBufferSize(int n) {
    if (PortOpen()) return;
    serie_.setInBufferSize(n);
    tcp_.setInBufferSize(n);
}

bool Puerto_Conmutado::setPortOpen(bool abrir) {
    if (abrir && PortOpen()) return true;
    // Closing also drops what a failed device left to read and its lock.
    serie_.setPortOpen(false);
    tcp_.setPortOpen(false);
    bloqueo_.Soltar();
    error_.clear();
    if (!abrir) return true;
    if (fijo_.isEmpty() && puerto_ < 1) return false;

    const QString dispositivo = Dispositivo();
    if (Es_Dispositivo_Tcp(dispositivo)) {
        const Destino_Tcp destino = Analizar_Tcp(dispositivo);
        if (!destino.Valido()) {
            error_ = QStringLiteral("Dirección no válida: \"%1\". Se espera tcp://HOST:PUERTO.")
                         .arg(dispositivo);
            return false;
        }
        tcp_.setDestino(destino.host, destino.puerto);
        activo_ = &tcp_;
    } else {
        serie_.setDispositivo(dispositivo);
        activo_ = &serie_;
    }
    // Locked before opening: opening a line already in use would disturb the other program.
    if (!bloqueo_.Tomar(Clave_Bloqueo(dispositivo))) {
        error_ = QStringLiteral("El puerto %1 está en uso por otro programa.").arg(dispositivo);
        return false;
    }
    if (activo_->setPortOpen(true)) return true;
    error_ = activo_->Ultimo_Error();
    bloqueo_.Soltar();
    return false;
}

void Puerto_Conmutado::Soltar_Si_Caido() {
    if (bloqueo_.Tomado() && !activo_->PortOpen()) bloqueo_.Soltar();
}

int Puerto_Conmutado::InBufferCount() {
    const int n = activo_->InBufferCount();
    Soltar_Si_Caido();
    return n;
}

QByteArray Puerto_Conmutado::Input() {
    QByteArray r = activo_->Input();
    Soltar_Si_Caido();
    return r;
}

void Puerto_Conmutado::Output(const QByteArray& texto) {
    activo_->Output(texto);
    Soltar_Si_Caido();
}

bool Puerto_Conmutado::Esperar_Datos(double limite) {
    const bool llegaron = activo_->Esperar_Datos(limite);
    Soltar_Si_Caido();
    return llegaron;
}

}  // namespace aq
