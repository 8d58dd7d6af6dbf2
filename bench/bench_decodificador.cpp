// Decoding time of a full memory image, files included: median of 50 runs.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "memory/decodificador.h"

namespace {

QByteArray W(int valor) {
    return QByteArray::number(valor, 16).toUpper().rightJustified(4, '0') + ' ';
}

// Blocks of several sizes, back to back, up to the last word.
void Llenar(aq::Estado& estado) {
    const int largos[] = {1200, 800, 40, 1500, 300};
    int i = 0, n = 0;
    while (i < aq::Palabras_Memoria) {
        const int largo = largos[n % 5];
        ++n;
        if (i + 5 >= aq::Palabras_Memoria) {
            estado.Imagen_Memoria[i++] = "FFFF ";
            continue;
        }
        const QByteArray cabeza[] = {"AA55 ", W((n % 3) * 256 + n), W((n % 7) * 256 + 23),
                                     W(55 * 256 + 28), W(2 * 256 + 99)};
        for (const QByteArray& w : cabeza) estado.Imagen_Memoria[i++] = w;
        for (int k = 0; k < largo && i < aq::Palabras_Memoria; ++k)
            estado.Imagen_Memoria[i++] = W((k * 37) % 4096);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    aq::Estado estado;
    Llenar(estado);

    std::vector<double> ms;
    for (int r = 0; r < 50; ++r) {
        QElapsedTimer t;
        t.start();
        if (aq::Analizar_Memoria(estado, QStringLiteral("salida.csv"), ";")) {
            std::fputs("decoding failed\n", stderr);
            return 1;
        }
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("Analizar_Memoria: %d blocks, %d readings; median %.3f ms (min %.3f, max %.3f)\n",
                estado.Cantidad_Bloques, estado.Total_Lecturas, ms[ms.size() / 2], ms.front(),
                ms.back());
    return 0;
}
