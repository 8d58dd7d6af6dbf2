#pragma once
#include <QProcess>
#include <QStringList>

#include "dobles/dialogos_guionados.h"
#include "platform/puerto_qt.h"
#include "platform/reloj_real.h"

namespace aq {

// The simulated logger running on a real pseudo-terminal, for the end-to-end tests.
class Simulador_En_Marcha {
public:
    explicit Simulador_En_Marcha(const QStringList& opciones);
    ~Simulador_En_Marcha();
    bool Listo() const { return !esclavo_.isEmpty(); }
    const QString& Esclavo() const { return esclavo_; }
    QString Errores();

private:
    QProcess proceso_;
    QString esclavo_;
};

// The real serial code path pointed at the simulator as "Comm 1".
struct Linea_Real {
    Perfil_Memoria perfil;
    Reloj_Real reloj;
    Puerto_Qt puerto{perfil, reloj};
    explicit Linea_Real(const QString& dispositivo) {
        perfil.secciones["Puertos"]["COM1"] = dispositivo;
        puerto.setCommPort(1);
    }
};

}  // namespace aq
