#include "platform/senales.h"

#include <QtGlobal>
#include <csignal>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace aq {

namespace {

volatile std::sig_atomic_t Recibida = 0;

extern "C" void Anotar(int senal) {
    Recibida = senal;
}

void Instalar(int senal, void (*accion)(int)) {
#ifdef Q_OS_UNIX
    // Without SA_RESTART a wait in progress returns at once instead of running out its time.
    struct sigaction sa {};
    sa.sa_handler = accion;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;
    sigaction(senal, &sa, nullptr);
#else
    std::signal(senal, accion);
#endif
}

}  // namespace

void Atender_Senales() {
    Recibida = 0;
    Instalar(SIGINT, Anotar);
    Instalar(SIGTERM, Anotar);
}

int Senal_Recibida() {
    return Recibida;
}

void Soltar_Senales() {
    Instalar(SIGINT, SIG_DFL);
    Instalar(SIGTERM, SIG_DFL);
}

}  // namespace aq
