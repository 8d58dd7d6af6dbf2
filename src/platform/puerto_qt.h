#pragma once
#include <QSerialPort>
#include <QString>

#include "platform/perfil.h"
#include "platform/puerto.h"
#include "platform/reloj.h"

namespace aq {

// The serial line over QSerialPort. The device of each port number comes from the profile
// section "Puertos" (keys "COM1" to "COM4"), read at every opening. A device that fails
// (adapter unplugged) is closed and from then on behaves like a silent line.
class Puerto_Qt : public Puerto_Serie {
  public:
    Puerto_Qt(Perfil& perfil, Reloj& reloj);
    ~Puerto_Qt() override;

    void setCommPort(int n) override;
    int CommPort() const override { return puerto_; }
    bool setPortOpen(bool abrir) override;
    bool PortOpen() const override { return serie_.isOpen(); }
    void setInputLen(int n) override { largo_lectura_ = n < 0 ? 0 : n; }
    int InputLen() const override { return largo_lectura_; }
    int InBufferCount() override;
    QByteArray Input() override;
    void Output(const QByteArray& texto) override;
    void setInBufferSize(int n) override;
    int InBufferSize() const override { return tamano_buffer_; }
    bool Esperar_Datos(double limite) override;
    QString Ultimo_Error() const override { return error_; }

    // A device used instead of the profile's; empty gives the choice back to the profile.
    void setDispositivo(const QString& dispositivo) { fijo_ = dispositivo; }
    // The device that port `n` stands for (fixed device, profile value or the system's
    // default name).
    QString Dispositivo(int n) const;
    static QString Dispositivo_Predeterminado(int n);

  private:
    void Traer_Pendientes();
    bool Revisar_Fallo();
    void Cerrar();

    Perfil& perfil_;
    Reloj& reloj_;
    QSerialPort serie_;
    int puerto_ = 1;
    int largo_lectura_ = 0;
    int tamano_buffer_ = 1024;
    QByteArray rescatados_;  // received before a device failure, still to be read
    bool fallo_ = false;
    QString fijo_;
    QString error_;
};

}  // namespace aq
