// Memory images of any content through the decoder: it must finish, count sensibly and write
// its file.
#include <QFile>
#include <cstddef>
#include <cstdint>

#include "apoyo_fuzz.h"
#include "core/estado.h"
#include "memory/decodificador.h"

using namespace aq;

namespace {

// Words the logger writes, so that short inputs reach deep into the decoding: block marks,
// headers with values at and past their limits, readings, empty cells and junk.
const char* const Vocabulario[] = {"AA55 ", "FFFF ", "0000 ", "0FFF ", "0123 ", "0100 ", "0101 ",
                                   "0007 ", "020A ", "070F ", "0302 ", "0217 ", "0617 ", "3B1F ",
                                   "0C63 ", "0318 ", "0717 ", "3C00 ", "0D00 ", "1000 ", "00ab ",
                                   "0:00 ", "",      "FFF",   "AA55",  "ffff ", "1FFF ", "0FFF",
                                   "0001 ", "0520 ", "0418 ", "0000"};

}  // namespace

// Input: first byte 't' for a backup text (one word a line, as a real one is), anything else
// for a compact image: each byte a word of the vocabulary, or, above it, a hex word of its own.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    Carpeta_Fuzz();
    if (largo < 1) return 0;
    Estado estado;
    std::vector<QByteArray>& imagen = estado.Imagen_Memoria;
    imagen.assign(Palabras_Memoria, QByteArrayLiteral("FFFF "));
    const QByteArray entrada = Bytes(datos + 1, largo - 1);
    if (datos[0] == 't') {
        const QList<QByteArray> lineas = entrada.split('\n');
        for (int i = 0; i < Palabras_Memoria && i < lineas.size(); ++i) {
            QByteArray linea = lineas[i];
            if (linea.endsWith('\r')) linea.chop(1);
            imagen[static_cast<size_t>(i)] = linea;
        }
    } else {
        constexpr int n = sizeof Vocabulario / sizeof Vocabulario[0];
        for (int i = 0; i < Palabras_Memoria && i < entrada.size(); ++i) {
            const auto b = static_cast<unsigned char>(entrada[i]);
            imagen[static_cast<size_t>(i)] =
                b < n
                    ? QByteArray(Vocabulario[b])
                    : QByteArray::number(b * 37 % 4096, 16).toUpper().rightJustified(4, '0') + ' ';
        }
    }
    // Some images come shorter than the memory: the decoder must not read past them.
    if (datos[0] == 's') imagen.resize(entrada.size() % Palabras_Memoria);

    const QString ruta = QStringLiteral("salida.txt");
    AQ_AFIRMAR(!Analizar_Memoria(estado, ruta, QByteArrayLiteral(";")));
    AQ_AFIRMAR(estado.Cantidad_Bloques >= 0 && estado.Total_Lecturas >= 0 &&
               estado.Lugares_Vacios >= 0);
    AQ_AFIRMAR(estado.Total_Lecturas + estado.Lugares_Vacios + 5 * estado.Cantidad_Bloques <=
               Palabras_Memoria);
    AQ_AFIRMAR(QFile(ruta).size() > 0);
    AQ_AFIRMAR(!QFile::exists(Archivo_Bloque) && !QFile::exists(Archivo_Informe));
    return 0;
}
