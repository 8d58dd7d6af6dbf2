// Replies of any shape and timing to one command: the exchange must end with the reply as
// received or one of its own verdicts, and a status reply must decode without harm.
#include <cstddef>
#include <cstdint>

#include "apoyo_fuzz.h"
#include "core/estado.h"
#include "dobles/puerto_guionado.h"
#include "dobles/reloj_virtual.h"
#include "link/enlace.h"
#include "monitor/registro_estado.h"

using namespace aq;

namespace {

struct Orden {
    const char* comando;
    int largo;
};
const Orden Ordenes[] = {{"L", Largo_Estado}, {"AAA", 4}, {"RRR", 4}, {"V", 13}, {"B", 4}};

void Revisar_Estado(const QByteArray& respuesta) {
    Registro_Estado r;
    if (!Decodificar_Estado(respuesta, &r)) return;
    Lectura_Milimetros(r.Alcance, r.Lectura);
    const int intervalo = Codigo_Intervalo(r.Intervalo);
    AQ_AFIRMAR(intervalo >= -1 && intervalo <= 6);
    AQ_AFIRMAR(!Texto_Registros_Disponibles(r.Registros).isEmpty());
    Estado estado;
    Guardar_Estado(estado, r);
}

}  // namespace

// Input: one byte choosing the command, then pieces [length][delay in 1/50 s][bytes], one
// delivered after each write of the program; a length byte of 255 pulls the cable instead.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    if (largo < 1) return 0;
    const QByteArray entrada = Bytes(datos, largo);
    Revisar_Estado(entrada.mid(1));

    const Orden& orden = Ordenes[datos[0] % (sizeof Ordenes / sizeof Ordenes[0])];
    Reloj_Virtual reloj;
    Puerto_Guionado puerto(reloj);
    puerto.setPortOpen(true);
    puerto.setInputLen(7);
    qsizetype pos = 1;
    bool desconectado = false;
    int escrituras = 0;
    puerto.al_escribir = [&](const QByteArray&) {
        ++escrituras;
        if (pos + 2 > entrada.size()) return;
        const int n = static_cast<unsigned char>(entrada[pos]);
        const double retardo = static_cast<unsigned char>(entrada[pos + 1]) / 50.0;
        pos += 2;
        if (n == 255) {
            puerto.Desconectar();
            desconectado = true;
            return;
        }
        puerto.Entregar(entrada.mid(pos, n), retardo);
        pos += n;
    };

    QByteArray version;
    const double t0 = reloj.Segundos();
    const QByteArray r = Enviar_Comando(puerto, reloj, orden.comando, orden.largo, &version);

    AQ_AFIRMAR(puerto.InputLen() == 7);
    AQ_AFIRMAR(escrituras <= 6);                // three tries, each with a link check at most
    AQ_AFIRMAR(reloj.Segundos() - t0 < 3 * 6);  // bounded even when nothing comes
    if (desconectado) AQ_AFIRMAR(r == Resp_NC);
    if (r == Resp_INCOMPATIBLE) {
        AQ_AFIRMAR(version.size() == 13 && version.startsWith("AQ-TIDE "));
    } else if (r != Resp_NC && r != Resp_KO) {
        AQ_AFIRMAR(r.size() == orden.largo);
        AQ_AFIRMAR(r == Resp_OK || r == Resp_DESCONOCIDO || r == Resp_MI || r == Resp_PE ||
                   r == Resp_VERSION || (orden.largo == Largo_Estado && orden.comando[0] == 'L'));
    }
    if (orden.comando[0] == 'L') {
        Revisar_Estado(r);
        Modo_De_Estado(r);
    }
    return 0;
}
