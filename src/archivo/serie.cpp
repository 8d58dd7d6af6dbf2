#include "archivo/serie.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/fecha_equipo.h"

namespace aq {

QString Nombre_Estacion(int equipo, const QString& nombre) {
    QString t = QString::fromUtf8("Equipo Nº ") + QString::number(equipo);
    if (!nombre.trimmed().isEmpty()) t += QStringLiteral(" - ") + nombre.trimmed();
    return t;
}

Serie_Grafica Serie_De_Archivo(const std::vector<Punto_Serie>& serie, Magnitud magnitud,
                               const std::vector<Lectura_Manual>& manuales,
                               std::optional<double> referencia_m, const QString& estacion,
                               const QDate& desde, const QDate& hasta) {
    const qint64 primero = desde.isValid()
                               ? Minuto_De_Momento(QDateTime(desde, QTime(0, 0), Qt::UTC))
                               : std::numeric_limits<qint64>::min();
    const qint64 ultimo =
        hasta.isValid() ? Minuto_De_Momento(QDateTime(hasta.addDays(1), QTime(0, 0), Qt::UTC)) - 1
                        : std::numeric_limits<qint64>::max();
    auto dentro = [&](qint64 minuto) { return minuto >= primero && minuto <= ultimo; };
    Serie_Grafica s;
    s.titulo = estacion;
    s.nombre_ventana = QStringLiteral("Hidrograma - ") + estacion;
    s.magnitud = magnitud == Magnitud::Columna       ? Magnitud_Columna()
                 : magnitud == Magnitud::Profundidad ? Magnitud_Profundidad()
                                                     : Magnitud_Cota();
    const Niveles niveles = magnitud == Magnitud::Columna || manuales.empty()
                                ? Niveles()
                                : Calcular_Niveles(serie, manuales, referencia_m);
    const std::vector<double>* nivel = magnitud == Magnitud::Profundidad ? &niveles.profundidad_m
                                       : magnitud == Magnitud::Cota      ? &niveles.cota_m
                                                                         : nullptr;
    // A reading without a level breaks the line as a missing reading does.
    std::vector<Punto_Grafico> tramo;
    tramo.reserve(serie.size());
    qint64 graficadas = 0;
    auto cerrar = [&] {
        if (tramo.empty()) return;
        std::vector<Tramo_Grafico> partes = Partir_En_Tramos(tramo, Paso_Maximo_Serie);
        for (Tramo_Grafico& t : partes) s.tramos.push_back(std::move(t));
        tramo.clear();
    };
    for (size_t i = 0; i < serie.size(); ++i) {
        if (!dentro(serie[i].minuto)) continue;
        double v = serie[i].valor;
        if (nivel) {
            v = i < nivel->size() ? (*nivel)[i] : NAN;
            if (std::isnan(v)) {
                cerrar();
                continue;
            }
        }
        tramo.push_back(Punto_Grafico{double(serie[i].minuto), v});
        ++graficadas;
    }
    cerrar();

    for (size_t k = 0; k < manuales.size(); ++k) {
        const Lectura_Manual& m = manuales[k];
        if (!dentro(m.minuto)) continue;
        std::optional<double> v;
        if (magnitud == Magnitud::Profundidad) v = m.profundidad_m;
        if (magnitud == Magnitud::Cota && referencia_m) v = *referencia_m - m.profundidad_m;
        if (magnitud == Magnitud::Columna) v = Columna_En(serie, m.minuto);
        if (v) s.marcas.push_back(Punto_Grafico{double(m.minuto), *v});
    }

    s.resumen = QString::number(graficadas) +
                (graficadas == 1 ? QStringLiteral(" lectura") : QStringLiteral(" lecturas"));
    const auto vistas = std::count_if(manuales.begin(), manuales.end(),
                                      [&](const Lectura_Manual& m) { return dentro(m.minuto); });
    if (vistas)
        s.resumen += QStringLiteral(", ") + QString::number(vistas) +
                     (vistas == 1 ? QStringLiteral(" lectura manual")
                                  : QStringLiteral(" lecturas manuales"));
    s.resumen += QLatin1Char('.');
    if (nivel && graficadas == 0 && !serie.empty())
        s.resumen += magnitud == Magnitud::Cota && !referencia_m
                         ? QString::fromUtf8(" Sin cota del punto de referencia.")
                         : QString::fromUtf8(" Sin lecturas manuales utilizables.");
    return s;
}

}  // namespace aq
