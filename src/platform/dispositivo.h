#pragma once
#include <QString>

#include "platform/perfil.h"

namespace aq {

// The system's own name of port `n` (1 to 4).
QString Dispositivo_Predeterminado(int n);
// The device that port `n` stands for: the profile value "[Puertos] COMn", or the system's
// default name. A value "tcp://HOST:PUERTO" names a serial device server on the network.
QString Dispositivo_De_Puerto(Perfil& perfil, int n);

// "tcp://HOST:PUERTO", scheme in any letter case.
bool Es_Dispositivo_Tcp(const QString& dispositivo);
struct Destino_Tcp {
    QString host;  // a name or an address (IPv6 without brackets)
    quint16 puerto = 0;
    bool Valido() const { return !host.isEmpty() && puerto != 0; }
};
// An invalid destination when the text is no complete tcp:// address.
Destino_Tcp Analizar_Tcp(const QString& dispositivo);

struct Dispositivo_Elegido {
    QString dispositivo;  // a device path or a tcp:// address
    QString error;        // why the argument was refused, for the user; empty when valid
    explicit operator bool() const { return error.isEmpty(); }
};
// A port as the user gives it on a command line: "1" to "4" through the profile; a device path
// or a tcp:// address as they are.
Dispositivo_Elegido Resolver_Dispositivo(Perfil& perfil, const QString& argumento);

// The name under which two programs recognise the same device: the canonical path of a device
// file (links resolved), or the tcp:// address with its host in lower case.
QString Clave_Bloqueo(const QString& dispositivo);

}  // namespace aq
