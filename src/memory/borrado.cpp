#include "memory/borrado.h"

#include <algorithm>

#include "link/enlace.h"

namespace aq {

namespace {

// Longest sleep on the port between two passes, so that the progress bar keeps moving.
constexpr double Paso_Espera = 0.05;
// Past the limit, so that "more than T" holds on a clock that jumps exactly.
constexpr double Margen = 0.001;

const QString Reintente =
    QStringLiteral("\nReintente el borrado.\nSi el problema persiste contacte al fabricante");

bool Es_Respuesta_Final(const QByteArray& r) {
    return r == Resp_OK || r == Resp_KO || r == Resp_DESCONOCIDO;
}

}  // namespace

double Tiempo_Borrado(int lugares_vacios) {
    return (4096.0 - lugares_vacios) * 30.0 + 2000.0;
}

QByteArray Esperar_Respuesta_Borrado(Puerto_Serie& puerto, Reloj& reloj, double t0,
                                     double tiempo_ms, const std::function<void(double)>& avance) {
    QByteArray respuesta;
    const double fin = t0 + tiempo_ms / 1000.0 + Margen;
    for (;;) {
        const double transcurrido = (reloj.Segundos() - t0) * 1000.0;
        if (avance) avance(transcurrido);
        reloj.Ceder(0);
        if (puerto.InBufferCount() > 0) respuesta += puerto.Input();
        if (Es_Respuesta_Final(respuesta)) break;
        // A line that has gone will not answer: no point in waiting it out.
        if (transcurrido - tiempo_ms > 0 || !puerto.PortOpen()) break;
        puerto.Esperar_Datos(std::min(fin, reloj.Segundos() + Paso_Espera));
    }
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
