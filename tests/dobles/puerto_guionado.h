#pragma once
#include <QList>
#include <QMap>
#include <QSet>
#include <functional>

#include "dobles/reloj_virtual.h"
#include "platform/puerto.h"

namespace aq {

// A serial port whose far end is a script. Characters arrive at virtual times; waiting on the
// port moves the virtual clock to the next arrival or to the deadline.
class Puerto_Guionado : public Puerto_Serie {
  public:
    struct Escritura {
        double t;
        QByteArray texto;
    };

    explicit Puerto_Guionado(Reloj_Virtual& reloj) : reloj_(reloj) {}

    // Each write of `comando` is answered with the next of `respuestas` (the last one repeats),
    // `retardo` seconds later. An empty reply means silence.
    void Responder(const QByteArray& comando, const QList<QByteArray>& respuestas,
                   double retardo = 0.02);
    void Responder(const QByteArray& comando, const QByteArray& respuesta, double retardo = 0.02) {
        Responder(comando, QList<QByteArray>{respuesta}, retardo);
    }
    // Answers the link check string with "OK" CR LF.
    void Responder_Enlace() { Responder(QByteArray(32, 'U'), QByteArrayLiteral("OK\r\n")); }
    // Free hook for anything the fixed replies cannot express; runs after the fixed replies.
    std::function<void(const QByteArray&)> al_escribir;

    // Characters that reach the port `retardo` seconds from now.
    void Entregar(const QByteArray& datos, double retardo = 0);

    // Ports that fail to open (numbers 1 to 4).
    QSet<int> puertos_ocupados;
    // Simulates a device error: the port closes by itself.
    void Desconectar() { abierto_ = false; }

    const QList<Escritura>& Escrituras() const { return escrituras_; }
    QList<QByteArray> Comandos() const;
    void Olvidar_Escrituras() { escrituras_.clear(); }
    int Aperturas() const { return aperturas_; }

    void setCommPort(int n) override { puerto_ = n; }
    int CommPort() const override { return puerto_; }
    bool setPortOpen(bool abrir) override;
    bool PortOpen() const override { return abierto_; }
    void setInputLen(int n) override { largo_lectura_ = n; }
    int InputLen() const override { return largo_lectura_; }
    int InBufferCount() override;
    QByteArray Input() override;
    void Output(const QByteArray& texto) override;
    void setInBufferSize(int n) override { tamano_buffer_ = n; }
    int InBufferSize() const override { return tamano_buffer_; }
    bool Esperar_Datos(double limite) override;

  private:
    struct Pendiente {
        double t;
        QByteArray datos;
    };
    void Llegar_Hasta(double t);

    Reloj_Virtual& reloj_;
    QMap<QByteArray, QList<QByteArray>> respuestas_;
    QMap<QByteArray, double> retardos_;
    QList<Pendiente> pendientes_;  // in order of arrival
    QByteArray buffer_;
    QList<Escritura> escrituras_;
    int puerto_ = 1;
    bool abierto_ = false;
    int largo_lectura_ = 0;
    int tamano_buffer_ = 1024;
    int aperturas_ = 0;
};

// A valid 49-character status reply with its checksum.
QByteArray Bloque_Estado(const QByteArray& equipo = "007", const QByteArray& alcance = "04",
                         const QByteArray& lectura = "0123", const QByteArray& fecha = "15/03/02",
                         const QByteArray& hora = "10:07", const QByteArray& intervalo = "15 min  ",
                         const QByteArray& modo = "AJ", const QByteArray& registros = "0096");

}  // namespace aq
