#pragma once
#include <functional>

#include "platform/puerto.h"
#include "platform/reloj.h"

namespace aq {

// Longest sleep on the port between two passes of a bulk wait, so that window events (the
// progress bar) keep running while nothing arrives.
constexpr double Paso_Sondeo = 0.05;
// After characters arrive, how long a bulk wait lets more gather before its next pass.
constexpr double Junta_Sondeo = 0.02;

// The bulk waits of the dump and the erase: every pass runs window events and then `pasada`
// with the seconds elapsed since `t0` (read at the start of the pass); `pasada` returns true
// when it has what it waited for. The wait also ends on the first pass that starts more than
// `limite` seconds after `t0`, or once the line is gone. Sleeps on the port between passes.
void Sondear_Puerto(Puerto_Serie& puerto, Reloj& reloj, double t0, double limite,
                    const std::function<bool(double transcurrido)>& pasada);

// Closes the port, sets its receive buffer (0: leaves it) and the port number (0: leaves it),
// and opens it again. False when it could not be opened.
bool Reabrir_Puerto(Puerto_Serie& puerto, int buffer, int numero = 0);

}  // namespace aq
