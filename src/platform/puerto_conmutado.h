#pragma once
#include <QString>

#include "platform/bloqueo_puerto.h"
#include "platform/perfil.h"
#include "platform/puerto.h"
#include "platform/puerto_qt.h"
#include "platform/puerto_tcp.h"
#include "platform/reloj.h"

namespace aq {

// The program's port: at every opening it looks up the device of its port number (profile
// "[Puertos] COMn", or a device fixed by the caller) and talks through a serial device or,
// for "tcp://HOST:PUERTO", through a TCP connection. While open it holds the device's lock,
// so a second program on the same device is refused; the lock goes when the port closes or
// its device fails.
class Puerto_Conmutado : public Puerto_Serie {
  public:
    // `directorio_bloqueos` empty: the user's runtime folder.
    Puerto_Conmutado(Perfil& perfil, Reloj& reloj, const QString& directorio_bloqueos = {});

    // A device path or tcp:// address used instead of the profile's (see Resolver_Dispositivo);
    // empty gives the choice back to the port number. Takes effect at the next opening.
    void Fijar_Dispositivo(const QString& dispositivo) { fijo_ = dispositivo.trimmed(); }
    // The device of the current or next opening.
    QString Dispositivo() const;
    bool Es_Tcp() const { return activo_ == &tcp_; }

    void setCommPort(int n) override;
    int CommPort() const override { return puerto_; }
    bool setPortOpen(bool abrir) override;
    bool PortOpen() const override { return activo_->PortOpen(); }
    void setInputLen(int n) override;
    int InputLen() const override { return activo_->InputLen(); }
    int InBufferCount() override;
    QByteArray Input() override;
    void Output(const QByteArray& texto) override;
    void setInBufferSize(int n) override;
    int InBufferSize() const override { return activo_->InBufferSize(); }
    bool Esperar_Datos(double limite) override;
    QString Ultimo_Error() const override { return error_; }

  private:
    void Soltar_Si_Caido();

    Perfil& perfil_;
    Puerto_Qt serie_;
    Puerto_Tcp tcp_;
    Puerto_Serie* activo_ = &serie_;
    Bloqueo_Puerto bloqueo_;
    QString fijo_;
    int puerto_ = 1;
    QString error_;
};

}  // namespace aq
