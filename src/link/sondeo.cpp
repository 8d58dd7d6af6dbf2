#include "link/sondeo.h"

#include <algorithm>

namespace aq {

namespace {
// Past the limit, so that "more than N seconds" holds on a clock that jumps exactly.
constexpr double Margen = 0.001;
}  // namespace

void Sondear_Puerto(Puerto_Serie& puerto, Reloj& reloj, double t0, double limite,
                    const std::function<bool(double)>& pasada) {
    const double fin = t0 + limite + Margen;
    for (;;) {
        const double transcurrido = reloj.Segundos() - t0;
        reloj.Ceder(0);
        if (pasada(transcurrido)) return;
        // A line that has gone will not answer: no point in waiting it out.
        if (transcurrido > limite || !puerto.PortOpen()) return;
        if (puerto.Esperar_Datos(std::min(fin, reloj.Segundos() + Paso_Sondeo))) {
            // A line that delivers one character at a time would otherwise cost a whole pass
            // per character: let a few more gather first.
            reloj.Dormir(std::min(fin, reloj.Segundos() + Junta_Sondeo) - reloj.Segundos());
        }
    }
}

bool Reabrir_Puerto(Puerto_Serie& puerto, int buffer, int numero) {
    // Closed even when it reports itself closed: what a failed device left is dropped.
    puerto.setPortOpen(false);
    if (buffer > 0) puerto.setInBufferSize(buffer);
    if (numero > 0) puerto.setCommPort(numero);
    return puerto.setPortOpen(true);
}

}  // namespace aq
