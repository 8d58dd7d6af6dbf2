#pragma once
#include <QString>
#include <vector>

namespace aq {

// One point of a chart: minutes of the one calendar's time line, and the value.
struct Punto_Grafico {
    double minuto = 0;
    double valor = 0;
};

// A line without breaks: consecutive readings of one block, or of one continuous run.
struct Tramo_Grafico {
    QString nombre;  // shown in the legend and after the reading under the pointer; may be empty
    std::vector<Punto_Grafico> puntos;  // in time order
};

// What the value axis shows.
struct Magnitud_Grafica {
    QString nombre;  // "Columna de agua"
    QString unidad;  // "mm"
    int decimales = 0;
    bool invertida = false;  // larger values lower down (a depth)
    QString Titulo() const { return nombre + QStringLiteral(" [") + unidad + QLatin1Char(']'); }
};

Magnitud_Grafica Magnitud_Columna();
Magnitud_Grafica Magnitud_Profundidad();
Magnitud_Grafica Magnitud_Cota();

// Everything a chart draws, whatever it was read from.
struct Serie_Grafica {
    QString titulo;  // what is shown: the station or the file; the period is added to it
    QString nombre_ventana;
    Magnitud_Grafica magnitud = Magnitud_Columna();
    std::vector<Tramo_Grafico> tramos;
    std::vector<Punto_Grafico> marcas;  // manual readings, drawn as markers
    QString resumen;                    // the line under the plot
    int sin_fecha = 0;                  // readings left out for having no calendar date
    QString carpeta;                    // where a picture of it is offered to go
    bool leyenda = false;               // the legend names the runs

    size_t Total_Puntos() const;
    // First and last minute of the runs and markers; false when there are none.
    bool Extremos(double* desde, double* hasta) const;
    // The chart's title: `titulo` and the period it shows.
    QString Titulo_Completo() const;
};

// Readings in time order cut into runs wherever the step to the next one is longer than
// `paso_maximo` minutes, so that time without readings stays blank.
std::vector<Tramo_Grafico> Partir_En_Tramos(const std::vector<Punto_Grafico>& puntos,
                                            double paso_maximo);

// What a line `columnas` pixels wide can show of `tramo` between `desde` and `hasta`: per
// pixel column its lowest and highest point in time order, plus the nearest point outside each
// end so the line reaches the edges. A short stretch comes back whole.
void Diezmar_Tramo(const Tramo_Grafico& tramo, double desde, double hasta, int columnas,
                   std::vector<Punto_Grafico>* salida);

}  // namespace aq
