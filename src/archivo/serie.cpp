#include "archivo/serie.h"

#include <algorithm>

namespace aq {

std::vector<QPointF> Diezmar_Serie(const std::vector<Punto_Serie>& serie, int columnas) {
    std::vector<QPointF> puntos;
    columnas = std::max(columnas, 1);
    if (serie.size() <= size_t(columnas) * 2) {
        puntos.reserve(serie.size());
        for (const Punto_Serie& p : serie) puntos.emplace_back(double(p.minuto), p.valor);
        return puntos;
    }
    const double x0 = double(serie.front().minuto);
    const double ancho = std::max(1.0, double(serie.back().minuto) - x0) / columnas;
    puntos.reserve(size_t(columnas) * 2);
    size_t i = 0;
    while (i < serie.size()) {
        const int columna = std::min(columnas - 1, int((double(serie[i].minuto) - x0) / ancho));
        size_t menor = i, mayor = i, j = i;
        for (; j < serie.size() &&
               std::min(columnas - 1, int((double(serie[j].minuto) - x0) / ancho)) == columna;
             ++j) {
            if (serie[j].valor < serie[menor].valor) menor = j;
            if (serie[j].valor > serie[mayor].valor) mayor = j;
        }
        const size_t a = std::min(menor, mayor), b = std::max(menor, mayor);
        puntos.emplace_back(double(serie[a].minuto), serie[a].valor);
        if (b != a) puntos.emplace_back(double(serie[b].minuto), serie[b].valor);
        i = j;
    }
    return puntos;
}

}  // namespace aq
