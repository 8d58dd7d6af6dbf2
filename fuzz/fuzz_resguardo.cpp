// Files of any content read as a memory backup: a complete one fills exactly the image, the
// words as written; anything else leaves the image untouched and says why.
#include <QFile>
#include <cstddef>
#include <cstdint>

#include "apoyo_fuzz.h"
#include "memory/resguardo.h"

using namespace aq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    const QString ruta = Carpeta_Fuzz() + QStringLiteral("/r.bak");
    AQ_ESCRIBIR_ENTRADA(ruta, Bytes(datos, largo));
    std::vector<QByteArray> imagen(3, QByteArrayLiteral("sin tocar"));
    QString error;
    if (Leer_Resguardo(ruta, imagen, &error)) {
        AQ_AFIRMAR(imagen.size() == 4096 && error.isEmpty());
        // Every word is a line of the file without its end, at most 4096 characters.
        for (const QByteArray& palabra : imagen)
            AQ_AFIRMAR(palabra.size() <= 4096 && !palabra.contains('\n'));
    } else {
        AQ_AFIRMAR(imagen.size() == 3 && imagen[0] == "sin tocar" && !error.isEmpty());
    }
    return 0;
}
