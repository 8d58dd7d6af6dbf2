#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>
#include <vector>

#include "archivo/archivo_historico.h"
#include "archivo/niveles.h"
#include "core/ui/contexto_ventanas.h"
#include "hidrografia/ui/hidrograma.h"

namespace aq {

// "Archivo histórico": the stations with their names and conflicts, the downloads of the
// chosen one and its series as a hydrograph, in the quantity chosen when it has levels.
class Archivo_Ventana : public QWidget {
    Q_OBJECT
  public:
    explicit Archivo_Ventana(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

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
    QComboBox* Combo_Magnitud;  // water column, depth to water, elevation
    Hidrograma* Grafico_Serie;

    const Archivo_Historico& Archivo() const { return archivo_; }
    // The whole series of the chosen station in the chosen range, as read.
    const std::vector<Punto_Serie>& Serie() const { return serie_; }

  public Q_SLOTS:
    void Actualizar_Estaciones();
    void Elegir_Estacion();
    void Leer_Serie();
    void Guardar_Nombre();
    void Exportar();

  private:
    int Equipo_Elegido() const;
    void Dibujar();
    void Informar(const Resultado_Archivo& r);

    Contexto_Ventanas& ctx_;
    Archivo_Historico archivo_;
    std::vector<Resumen_Estacion> estaciones_;
    std::vector<Punto_Serie> serie_;
    std::vector<Lectura_Manual> manuales_;
    std::optional<double> referencia_m_;
    bool cambiando_fechas_ = false;
};

}  // namespace aq
