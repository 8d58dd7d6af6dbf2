#pragma once
#include <QByteArray>
#include <QString>

namespace aq {

// The serial line, with the operations of the communications control the program was
// designed around. 9600 baud, 8N1, no flow control; polling only.
class Puerto_Serie {
  public:
    virtual ~Puerto_Serie() = default;

    virtual void setCommPort(int n) = 0;  // only while closed
    virtual int CommPort() const = 0;
    // Returns false when the device cannot be opened; never throws. After a device failure
    // the port reports itself closed, but what had arrived stays countable and readable
    // until the program closes or reopens it.
    virtual bool setPortOpen(bool abrir) = 0;
    virtual bool PortOpen() const = 0;
    virtual void setInputLen(int n) = 0;  // 0: Input returns every waiting character
    virtual int InputLen() const = 0;
    virtual int InBufferCount() = 0;
    virtual QByteArray Input() = 0;
    virtual void Output(const QByteArray& texto) = 0;
    virtual void setInBufferSize(int n) = 0;  // only while closed
    virtual int InBufferSize() const = 0;

    // Blocks until more characters are waiting or the monotonic clock reaches `limite`
    // (seconds, same scale as Reloj::Segundos). Runs no window events. Returns true when
    // new characters arrived.
    virtual bool Esperar_Datos(double limite) = 0;

    // Why the last opening failed, for the user (the device in use by another program, a
    // connection refused); empty after a good opening.
    virtual QString Ultimo_Error() const { return {}; }
};

}  // namespace aq
