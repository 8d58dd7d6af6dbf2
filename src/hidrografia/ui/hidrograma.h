#pragma once
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <functional>
#include <vector>

#include "hidrografia/escalas.h"
#include "hidrografia/serie_grafica.h"
#include "platform/dialogos.h"

namespace aq {

class Trazo_Hidrograma;
class Eje_Calendario;
class Vista_Hidrograma;

// The chart shared by the windows and the pictures. Lines are drawn at the screen's resolution
// from the whole series on every change of the view, so a million readings cost what a few
// thousand do; the time axis is drawn on calendar boundaries (Calcular_Marcas_Tiempo).
class Grafico_Hidrografico : public QChart {
    Q_OBJECT
  public:
    explicit Grafico_Hidrografico(Serie_Grafica serie);

    const Serie_Grafica& Serie() const { return serie_; }
    QValueAxis* Eje_Tiempo() const { return tiempo_; }
    QValueAxis* Eje_Valor() const { return valor_; }
    QScatterSeries* Manuales() const { return manuales_; }
    QColor Color_Tramo(size_t tramo) const;

    // The view, kept within a minute and a hundred times the whole series.
    void Rango(double t0, double t1, double v0, double v1);
    void Restablecer();
    // Chart values at a point in chart coordinates; false outside the plot area.
    bool Valor_En(const QPointF& en_grafico, QPointF* valor) const;
    QPointF Posicion_De(const QPointF& valor) const;

    // Value ticks and lines for the plot area as it is now; the chart does it itself when its
    // area changes.
    void Ajustar();
    // The time ticks as drawn now.
    Marcas_Tiempo Marcas() const;
    int Puntos_Dibujados() const;
    int Tramos_Dibujados() const;

  private:
    friend class Trazo_Hidrograma;
    void Redibujar();
    void Marcas_Valor();

    Serie_Grafica serie_;
    QValueAxis* tiempo_;
    QValueAxis* valor_;
    QScatterSeries* manuales_ = nullptr;
    std::vector<QColor> colores_;
    std::vector<std::vector<Punto_Grafico>> dibujo_;  // per run, what the view shows
    Trazo_Hidrograma* trazo_;
    Eje_Calendario* calendario_;
    double t0_ = 0, t1_ = 1, v0_ = 0, v1_ = 1;  // the whole series
};

// A series against date and time. Zoom and pan with the mouse (wheel: time around the pointer,
// with Ctrl both axes; left drag: area to enlarge; right or middle drag: move) and the keyboard
// (+ -, arrows, Home or 0 to go back to the whole series).
class Hidrograma : public QWidget {
    Q_OBJECT
  public:
    // Puts the picture at the chosen path, asking and telling the user as the program's other
    // files do; true when it was written.
    using Guardar_Imagen = std::function<bool(const QString& ruta, const QByteArray& png)>;

    Hidrograma(Serie_Grafica serie, Dialogos& dialogos, Guardar_Imagen guardar,
               QWidget* parent = nullptr);

    QChartView* Vista;
    QLabel* Cursor;  // the reading nearest in time to the pointer
    QLabel* Aviso;   // what the series holds, or where the picture went
    QPushButton* Restablecer;
    QPushButton* Exportar;

    // Another series in place of the one shown, from its whole extent.
    void Mostrar(Serie_Grafica serie);
    Grafico_Hidrografico* Grafico() const;
    QValueAxis* Eje_Tiempo() const { return Grafico()->Eje_Tiempo(); }
    QValueAxis* Eje_Valor() const { return Grafico()->Eje_Valor(); }

    // Enlarges (factor > 1) or reduces the view around its centre; `ambos` also scales the
    // values.
    void Acercar(double factor, bool ambos = true);
    // Moves the view by a fraction of its width and height (positive: later, higher up).
    void Desplazar(double fraccion_tiempo, double fraccion_valor);
    // The text of `Cursor` for a point of the view, in view coordinates.
    void Seguir_Cursor(const QPoint& en_vista);

  public Q_SLOTS:
    void Restablecer_Click();
    void Exportar_Click();

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    friend class Vista_Hidrograma;
    bool Tecla(QKeyEvent* e);
    void Acercar_En(double factor, const QPointF& valor, bool ambos);

    Dialogos& dialogos_;
    Guardar_Imagen guardar_;
};

// The picture of `serie` as the window first shows it, `ancho` x `alto` pixels. Needs a
// QApplication (any platform plugin, "offscreen" included).
QImage Renderizar_Hidrograma(const Serie_Grafica& serie, int ancho, int alto);

// A picture as the bytes of a PNG file; empty when it could not be encoded.
QByteArray Png_De(const QImage& imagen);

}  // namespace aq
