#pragma once
#include <QString>
#include <QTcpSocket>

#include "platform/puerto.h"
#include "platform/reloj.h"

namespace aq {

// The serial line through a device server or radio modem in raw TCP mode: the bytes of the
// connection are the bytes of the line. Line settings belong to the server. A connection that
// cannot be made, or drops, behaves like a silent line; what arrived before a drop stays
// readable until the program closes or reopens the port.
class Puerto_Tcp : public Puerto_Serie {
  public:
    // Longest wait for the name lookup and the connection together.
    static constexpr double Espera_Conexion = 3.0;

    explicit Puerto_Tcp(Reloj& reloj);
    ~Puerto_Tcp() override;

    // Only while closed.
    void setDestino(const QString& host, quint16 puerto);
    QString Destino() const { return QStringLiteral("tcp://%1:%2").arg(host_).arg(puerto_tcp_); }

    void setCommPort(int n) override;
    int CommPort() const override { return puerto_; }
    bool setPortOpen(bool abrir) override;
    bool PortOpen() const override;
    void setInputLen(int n) override { largo_lectura_ = n < 0 ? 0 : n; }
    int InputLen() const override { return largo_lectura_; }
    int InBufferCount() override;
    QByteArray Input() override;
    void Output(const QByteArray& texto) override;
    void setInBufferSize(int n) override;
    int InBufferSize() const override { return tamano_buffer_; }
    bool Esperar_Datos(double limite) override;
    QString Ultimo_Error() const override { return error_; }

  private:
    bool Conectar();
    void Traer_Pendientes();
    bool Revisar_Caida();
    int Esperando() const;
    void Cerrar();

    Reloj& reloj_;
    QTcpSocket socket_;
    QString host_;
    quint16 puerto_tcp_ = 0;
    int puerto_ = 1;
    int largo_lectura_ = 0;
    int tamano_buffer_ = 1024;
    QByteArray rescatados_;  // received before the connection dropped, still to be read
    QString error_;
};

}  // namespace aq
