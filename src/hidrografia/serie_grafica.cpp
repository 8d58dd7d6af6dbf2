#include "hidrografia/serie_grafica.h"

#include <algorithm>
#include <cmath>

#include "hidrografia/escalas.h"

namespace aq {

Magnitud_Grafica Magnitud_Columna() {
    return {QStringLiteral("Columna de agua"), QStringLiteral("mm"), 0, false};
}

Magnitud_Grafica Magnitud_Profundidad() {
    return {QStringLiteral("Profundidad al agua"), QStringLiteral("m"), 3, true};
}

Magnitud_Grafica Magnitud_Cota() {
    return {QStringLiteral("Cota"), QStringLiteral("m"), 3, false};
}

size_t Serie_Grafica::Total_Puntos() const {
    size_t n = 0;
    for (const Tramo_Grafico& t : tramos) n += t.puntos.size();
    return n;
}

bool Serie_Grafica::Extremos(double* desde, double* hasta) const {
    bool hay = false;
    auto tomar = [&](double m) {
        if (!hay) *desde = *hasta = m;
        *desde = std::min(*desde, m);
        *hasta = std::max(*hasta, m);
        hay = true;
    };
    for (const Tramo_Grafico& t : tramos)
        if (!t.puntos.empty()) {
            tomar(t.puntos.front().minuto);
            tomar(t.puntos.back().minuto);
        }
    for (const Punto_Grafico& p : marcas) tomar(p.minuto);
    return hay;
}

QString Serie_Grafica::Titulo_Completo() const {
    double a = 0, b = 0;
    if (!Extremos(&a, &b)) return titulo;
    return titulo + QStringLiteral(", ") + Texto_Periodo(qint64(a), qint64(b));
}

std::vector<Tramo_Grafico> Partir_En_Tramos(const std::vector<Punto_Grafico>& puntos,
                                            double paso_maximo) {
    std::vector<Tramo_Grafico> tramos;
    size_t inicio = 0;
    for (size_t i = 1; i <= puntos.size(); ++i)
        if (i == puntos.size() || puntos[i].minuto - puntos[i - 1].minuto > paso_maximo) {
            tramos.emplace_back();
            tramos.back().puntos.assign(puntos.begin() + std::ptrdiff_t(inicio),
                                        puntos.begin() + std::ptrdiff_t(i));
            inicio = i;
        }
    return tramos;
}

void Diezmar_Tramo(const Tramo_Grafico& tramo, double desde, double hasta, int columnas,
                   std::vector<Punto_Grafico>* salida) {
    salida->clear();
    const std::vector<Punto_Grafico>& p = tramo.puntos;
    auto antes = [](const Punto_Grafico& x, double m) { return x.minuto < m; };
    size_t a = size_t(std::lower_bound(p.begin(), p.end(), desde, antes) - p.begin());
    size_t b =
        size_t(std::upper_bound(p.begin(), p.end(), hasta,
                                [](double m, const Punto_Grafico& x) { return m < x.minuto; }) -
               p.begin());
    // One point beyond each end, so the line leaves the view instead of stopping short.
    if (a > 0) --a;
    if (b < p.size()) ++b;
    if (a >= b) return;
    columnas = std::max(columnas, 1);
    if (b - a <= size_t(columnas) * 2) {
        salida->assign(p.begin() + std::ptrdiff_t(a), p.begin() + std::ptrdiff_t(b));
        return;
    }
    const double ancho = std::max(hasta - desde, 1e-9) / columnas;
    salida->reserve(size_t(columnas) * 2 + 4);
    size_t i = a;
    while (i < b) {
        const double columna = std::floor((p[i].minuto - desde) / ancho);
        size_t menor = i, mayor = i, j = i;
        for (; j < b && std::floor((p[j].minuto - desde) / ancho) == columna; ++j) {
            if (p[j].valor < p[menor].valor) menor = j;
            if (p[j].valor > p[mayor].valor) mayor = j;
        }
        salida->push_back(p[std::min(menor, mayor)]);
        if (menor != mayor) salida->push_back(p[std::max(menor, mayor)]);
        i = j;
    }
}

}  // namespace aq
