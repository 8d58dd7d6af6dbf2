#pragma once
#include <QList>
#include <QString>

namespace aq {

// A serial port found on the system, as the user recognises it.
struct Puerto_Encontrado {
    QString dispositivo;  // the name to store: the stable /dev/serial/by-id one when there is one
    QString sistema;      // the system's own name (/dev/ttyUSB0), may equal `dispositivo`
    QString descripcion;
    QString fabricante;
    QString numero_serie;
};

// The serial ports present now: asked afresh each time, so an adapter plugged in later shows.
class Lista_Puertos {
  public:
    virtual ~Lista_Puertos() = default;
    virtual QList<Puerto_Encontrado> Buscar() = 0;
};

// The system's ports (Qt's serial port enumeration) plus every entry of the folder of stable
// names, which also holds devices the enumeration does not know.
class Lista_Puertos_Sistema : public Lista_Puertos {
  public:
    explicit Lista_Puertos_Sistema(
        const QString& carpeta_estable = QStringLiteral("/dev/serial/by-id"))
        : carpeta_estable_(carpeta_estable) {}
    QList<Puerto_Encontrado> Buscar() override;

  private:
    QString carpeta_estable_;
};

}  // namespace aq
