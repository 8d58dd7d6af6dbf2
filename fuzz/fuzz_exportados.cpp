// Data files of any content through the reader the hydrograph uses.
#include <cstddef>
#include <cstdint>

#include "apoyo_fuzz.h"
#include "memory/datos_exportados.h"

using namespace aq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    const Datos_Exportados d = Interpretar_Datos_Exportados(Bytes(datos, largo));
    // Either a reason in words, or blocks whose readings all stand on a real time.
    AQ_AFIRMAR(d.Valido() || !d.error.isEmpty());
    int total = 0;
    for (const Bloque_Exportado& b : d.bloques) {
        for (const Lectura_Exportada& l : b.lecturas) AQ_AFIRMAR(l.momento.isValid());
        total += static_cast<int>(b.lecturas.size());
    }
    AQ_AFIRMAR(total == d.Total_Lecturas());
    AQ_AFIRMAR(d.lecturas_sin_fecha >= 0);
    return 0;
}
