#include "memory/borrado.h"

#include <algorithm>

#include "core/estado.h"
#include "link/enlace.h"
#include "link/sondeo.h"

namespace aq {

namespace {

const QString Reintente =
    QStringLiteral("\nReintente el borrado.\nSi el problema persiste contacte al fabricante");

bool Es_Respuesta_Final(const QByteArray& r) {
    return r == Resp_OK || r == Resp_KO || r == Resp_DESCONOCIDO;
}

}  // namespace

double Tiempo_Borrado(int lugares_vacios) {
    return (static_cast<double>(Palabras_Memoria) - lugares_vacios) * 30.0 + 2000.0;
}

QByteArray Esperar_Respuesta_Borrado(Puerto_Serie& puerto, Reloj& reloj, double t0,
                                     double tiempo_ms, const std::function<void(double)>& avance) {
    QByteArray respuesta;
    Sondear_Puerto(puerto, reloj, t0, tiempo_ms / 1000.0, [&](double transcurrido) {
        if (avance) avance(transcurrido * 1000.0);
        if (puerto.InBufferCount() > 0) respuesta += puerto.Input();
        return Es_Respuesta_Final(respuesta);
    });
    return respuesta;
}

Fin_Borrado Clasificar_Respuesta_Borrado(const QByteArray& respuesta) {
    if (respuesta == Resp_OK) return Fin_Borrado::Borrada;
    if (respuesta == Resp_KO) return Fin_Borrado::Fallida;
    if (respuesta == Resp_DESCONOCIDO) return Fin_Borrado::No_Reconocido;
    if (respuesta.isEmpty()) return Fin_Borrado::Sin_Respuesta;
    return Fin_Borrado::Anormal;
}

QString Mensaje_Borrado(Fin_Borrado fin) {
    switch (fin) {
        case Fin_Borrado::Fallida:
            return QStringLiteral("Error 019 (KO), La memoria no pudo ser borrada correctamente.") +
                   Reintente;
        case Fin_Borrado::No_Reconocido:
            return QStringLiteral(
                       "Error 020 (?"
                       "?), Comando no reconocido !!!") +
                   Reintente;
        case Fin_Borrado::Anormal:
            return QStringLiteral("Error 021 , Respuesta anormal!") + Reintente;
        case Fin_Borrado::Sin_Respuesta:
            return QStringLiteral(
                "Error 022, El equipo no responde, verifique el enlace y reintente el borrado");
        case Fin_Borrado::Borrada:
            break;
    }
    return Texto_Borrado_Exitoso;
}

}  // namespace aq
