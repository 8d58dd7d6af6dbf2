#pragma once

namespace aq {

// Ctrl-C (SIGINT) and SIGTERM noted instead of ending the process, so that a command-line run
// can stop between two steps, close its port and leave the logger as it found it.
void Atender_Senales();
// The signal that arrived since Atender_Senales, 0 while none has.
int Senal_Recibida();
// Back to the system's action: a second signal then ends the process at once.
void Soltar_Senales();

}  // namespace aq
