#pragma once
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>
#include <vector>

#include "archivo/archivo_historico.h"
#include "core/contexto.h"

class QChart;
class QChartView;
class QLineSeries;
class QDateTimeAxis;
class QValueAxis;

namespace aq {

// "Archivo histórico": the stations with their names and conflicts, the downloads of the
// chosen one and its continuous series, drawn at the screen's resolution.
class Archivo_Ventana : public QWidget {
    Q_OBJECT
  public:
    explicit Archivo_Ventana(Contexto& ctx, QWidget* parent = nullptr);

    QLabel* Label_Base;
    QTableWidget* Tabla_Estaciones;
    QTableWidget* Tabla_Descargas;
    QLineEdit* Texto_Nombre;
    QLineEdit* Texto_Nota;
    QPushButton* Boton_Nombre;
    QDateEdit* Fecha_Desde;
    QDateEdit* Fecha_Hasta;
    QCheckBox* Check_Utf8;
    QPushButton* Boton_Exportar;
    QPushButton* Boton_Cerrar;
    QChartView* Vista_Serie;

    const Archivo_Historico& Archivo() const { return archivo_; }
    // Points the chart holds now (after the screen decimation).
    int Puntos_Dibujados() const;
    // Runs of the line: a gap in the readings longer than any interval breaks it.
    int Tramos_Dibujados() const;
    // The whole series of the chosen station in the chosen range, as read.
    const std::vector<Punto_Serie>& Serie() const { return serie_; }

  public Q_SLOTS:
    void Actualizar_Estaciones();
    void Elegir_Estacion();
    void Leer_Serie();
    void Guardar_Nombre();
    void Exportar();

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    int Equipo_Elegido() const;
    void Dibujar();
    void Informar(const Resultado_Archivo& r);

    Contexto& ctx_;
    Archivo_Historico archivo_;
    std::vector<Resumen_Estacion> estaciones_;
    std::vector<Punto_Serie> serie_;
    QChart* grafico_;
    QLineSeries* linea_;
    std::vector<QLineSeries*> tramos_;  // further runs after a gap in the readings
    QDateTimeAxis* eje_x_;
    QValueAxis* eje_y_;
    bool cambiando_fechas_ = false;
};

}  // namespace aq
