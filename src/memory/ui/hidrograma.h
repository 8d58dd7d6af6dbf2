#pragma once
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QValueAxis>
#include <vector>

#include "memory/datos_exportados.h"
#include "platform/dialogos.h"

namespace aq {

class Vista_Hidrograma;

// Water column against date and time of a data file, one line per data block (the time between
// two blocks stays a gap). Zoom and pan with the mouse (wheel: time around the pointer, with
// Ctrl both axes; left drag: area to enlarge; right or middle drag: move) and the keyboard
// (+ -, arrows, Home or 0 to go back to the whole file).
class Hidrograma : public QWidget {
    Q_OBJECT
  public:
    Hidrograma(Datos_Exportados datos, Dialogos& dialogos, QWidget* parent = nullptr);

    QChartView* Vista;
    QLabel* Cursor;  // the reading nearest in time to the pointer
    QLabel* Aviso;   // what the file holds, or where the picture went
    QPushButton* Restablecer;
    QPushButton* Exportar;

    QChart* Grafico() const;
    QDateTimeAxis* Eje_Tiempo() const;
    QValueAxis* Eje_Columna() const;
    const Datos_Exportados& Datos() const { return datos_; }

    // Enlarges (factor > 1) or reduces the view around its centre; `ambos` also scales the
    // water column.
    void Acercar(double factor, bool ambos = true);
    // Moves the view by a fraction of its width and height (positive: later, higher).
    void Desplazar(double fraccion_tiempo, double fraccion_columna);
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
    void Rango(qreal t0, qreal t1, qreal c0, qreal c1);

    struct Punto {
        qreal ms;
        int milimetros;
        int bloque;
        QDateTime momento;
    };

    Datos_Exportados datos_;
    Dialogos& dialogos_;
    std::vector<Punto> puntos_;  // every reading, by time
    qreal t0_, t1_, c0_, c1_;    // the whole file, in axis values
};

// The picture of `datos` as the window first shows it, `ancho` x `alto` pixels. Needs a
// QApplication (any platform plugin, "offscreen" included).
QImage Renderizar_Hidrograma(const Datos_Exportados& datos, int ancho, int alto);

// Reads `ruta` and shows its plot beside `junto_a`: in the same MDI area when `junto_a` sits in
// one, otherwise as a window of its own. A file that cannot be read is reported through
// `dialogos` and nothing opens.
Hidrograma* Abrir_Hidrograma(const QString& ruta, QWidget* junto_a, Dialogos& dialogos);

}  // namespace aq
