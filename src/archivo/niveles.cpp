#include "archivo/niveles.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/fecha_equipo.h"

namespace aq {

namespace {

constexpr double Nada = std::numeric_limits<double>::quiet_NaN();

// Several values of one time (a conflict) count as the first of them, as everywhere they are
// reduced to one.
size_t Inicio_Grupo(const std::vector<Punto_Serie>& s, size_t i) {
    while (i > 0 && s[i - 1].minuto == s[i].minuto) --i;
    return i;
}

// The logging step next to reading i, looking back (`atras`) or forward; 0 when there is none.
qint64 Paso(const std::vector<Punto_Serie>& s, size_t i, bool atras) {
    const qint64 t = s[i].minuto;
    if (atras) {
        for (size_t k = i; k-- > 0;)
            if (s[k].minuto != t) return t - s[k].minuto;
    } else {
        for (size_t k = i + 1; k < s.size(); ++k)
            if (s[k].minuto != t) return s[k].minuto - t;
    }
    return 0;
}

qint64 Menor_Positivo(qint64 a, qint64 b) {
    if (a <= 0) return b;
    if (b <= 0) return a;
    return std::min(a, b);
}

}  // namespace

bool Niveles::Hay_Niveles() const {
    return std::find(manual_usada.begin(), manual_usada.end(), true) != manual_usada.end();
}

std::optional<double> Columna_En(const std::vector<Punto_Serie>& serie, qint64 minuto) {
    const auto it = std::lower_bound(serie.begin(), serie.end(), minuto,
                                     [](const Punto_Serie& p, qint64 m) { return p.minuto < m; });
    const size_t b = size_t(it - serie.begin());
    if (b < serie.size() && serie[b].minuto == minuto) return double(serie[b].valor);
    const bool hay_antes = b > 0, hay_despues = b < serie.size();
    if (!hay_antes && !hay_despues) return {};
    const size_t a = hay_antes ? Inicio_Grupo(serie, b - 1) : 0;
    const qint64 paso = Menor_Positivo(hay_antes ? Paso(serie, a, true) : 0,
                                       hay_despues ? Paso(serie, b, false) : 0);
    if (hay_antes && hay_despues) {
        const qint64 hueco = serie[b].minuto - serie[a].minuto;
        if (paso <= 0 || hueco <= paso) {
            const double f = double(minuto - serie[a].minuto) / double(hueco);
            return serie[a].valor + f * (serie[b].valor - serie[a].valor);
        }
    }
    if (hay_antes && minuto - serie[a].minuto <= paso) return double(serie[a].valor);
    if (hay_despues && serie[b].minuto - minuto <= paso) return double(serie[b].valor);
    return {};
}

Niveles Calcular_Niveles(const std::vector<Punto_Serie>& serie,
                         const std::vector<Lectura_Manual>& manuales,
                         std::optional<double> referencia_m) {
    Niveles n;
    n.manual_usada.assign(manuales.size(), false);
    n.profundidad_m.assign(serie.size(), Nada);
    n.cota_m.assign(serie.size(), Nada);

    struct Apoyo {
        qint64 minuto;
        double sensor_m;  // the sensor's depth below the reference point then
    };
    std::vector<Apoyo> apoyos;
    for (size_t k = 0; k < manuales.size(); ++k) {
        const std::optional<double> columna = Columna_En(serie, manuales[k].minuto);
        if (!columna) continue;
        n.manual_usada[k] = true;
        apoyos.push_back({manuales[k].minuto, manuales[k].profundidad_m + *columna / 1000.0});
    }
    if (apoyos.empty()) return n;
    std::stable_sort(apoyos.begin(), apoyos.end(),
                     [](const Apoyo& x, const Apoyo& y) { return x.minuto < y.minuto; });

    size_t k = 0;  // apoyos[k].minuto <= t < apoyos[k + 1].minuto, while inside them
    for (size_t j = 0; j < serie.size(); ++j) {
        const qint64 t = serie[j].minuto;
        while (k + 1 < apoyos.size() && apoyos[k + 1].minuto <= t) ++k;
        double sensor;
        if (t <= apoyos.front().minuto) {
            sensor = apoyos.front().sensor_m;
        } else if (k + 1 >= apoyos.size()) {
            sensor = apoyos.back().sensor_m;
        } else {
            const Apoyo& x = apoyos[k];
            const Apoyo& y = apoyos[k + 1];
            sensor = x.sensor_m +
                     (y.sensor_m - x.sensor_m) * double(t - x.minuto) / double(y.minuto - x.minuto);
        }
        const double profundidad = sensor - serie[j].valor / 1000.0;
        n.profundidad_m[j] = profundidad;
        if (referencia_m) n.cota_m[j] = *referencia_m - profundidad;
    }
    return n;
}

std::vector<Dia_Serie> Estadisticas_Diarias(const std::vector<Punto_Serie>& serie) {
    std::vector<Dia_Serie> dias;
    qint64 inicio = 0, fin = 0;  // the current day's minutes [inicio, fin)
    double suma = 0;
    auto cerrar = [&] {
        if (!dias.empty()) dias.back().media = suma / dias.back().lecturas;
    };
    for (const Punto_Serie& p : serie) {
        if (dias.empty() || p.minuto < inicio || p.minuto >= fin) {
            cerrar();
            const QDate fecha = Momento_De_Minuto(p.minuto).date();
            inicio = Minuto_De_Momento(QDateTime(fecha, QTime(0, 0), Qt::UTC));
            fin = inicio + 24 * 60;
            dias.push_back({fecha, 0, p.valor, p.valor, 0});
            suma = 0;
        }
        Dia_Serie& d = dias.back();
        ++d.lecturas;
        d.minimo = std::min(d.minimo, p.valor);
        d.maximo = std::max(d.maximo, p.valor);
        suma += p.valor;
    }
    cerrar();
    return dias;
}

}  // namespace aq
