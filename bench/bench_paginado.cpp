// Reads random pages of a paging file of 32,000 records, as the expander does on each move.
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "maintenance/paginado.h"

int main() {
    const int lineas = 32000;
    QTemporaryDir tmp;
    QByteArray texto;
    for (int i = 0; i < lineas; ++i)
        texto += QString::asprintf("%02d/03/02  \t%02d:%02d\t%d\r\n", i % 28 + 1, i % 24, i % 60,
                                   i % 4096)
                     .toLatin1();
    QBuffer origen(&texto);
    origen.open(QIODevice::ReadOnly);
    const QString ruta = tmp.filePath("AMORTI.TMP");
    QFile destino(ruta);
    destino.open(QIODevice::WriteOnly);
    QElapsedTimer t;
    t.start();
    int n = 0;
    if (aq::Escribir_Paginado(origen, destino, &n) != aq::Resultado_Paginado::Correcto) return 1;
    destino.close();
    const qint64 t_escritura = t.nsecsElapsed();

    const int maxima = aq::Maxima_Primera_Linea(n);
    const int veces = 2000;
    qint64 peor = 0, total = 0;
    std::vector<qint64> tiempos;
    for (int k = 0; k < veces; ++k) {
        const int primera = k == 0 ? maxima : 1 + int(QRandomGenerator::global()->bounded(maxima));
        t.restart();
        const auto pagina = aq::Leer_Pagina(ruta, primera);
        const qint64 ns = t.nsecsElapsed();
        if (pagina.size() != aq::Filas_Pagina || pagina[0].size() != aq::Largo_Registro) return 1;
        peor = qMax(peor, ns);
        tiempos.push_back(ns);
        total += ns;
    }
    std::printf("archivo de paginado: %d registros (%.1f MB), escrito en %.1f ms\n", n,
                n * 50 / 1048576.0, t_escritura / 1e6);
    std::sort(tiempos.begin(), tiempos.end());
    std::printf("lectura de una pagina: media %.3f ms, p99 %.3f ms, peor %.3f ms (%d paginas)\n",
                total / 1e6 / veces, tiempos[size_t(veces * 99 / 100)] / 1e6, peor / 1e6, veces);
    return 0;
}
