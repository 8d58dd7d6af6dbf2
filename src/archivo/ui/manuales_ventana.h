#pragma once
#include <QDate>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <vector>

#include "archivo/archivo_historico.h"
#include "core/ui/contexto_ventanas.h"

namespace aq {

// The levels of one station: the elevation of its reference point, its manual readings
// (entered, changed by choosing one and saving it again, deleted) and the exports with levels
// or one row a day over the period the archive window has chosen.
class Manuales_Ventana : public QDialog {
    Q_OBJECT
  public:
    Manuales_Ventana(Contexto_Ventanas& ctx, Archivo_Historico& archivo, int equipo,
                     const QDate& desde, const QDate& hasta, bool utf8, QWidget* parent = nullptr);

    QLineEdit* Texto_Referencia;
    QPushButton* Boton_Referencia;
    QTableWidget* Tabla_Manuales;
    QDateTimeEdit* Fecha_Manual;
    QLineEdit* Texto_Profundidad;
    QLineEdit* Texto_Nota;
    QPushButton* Boton_Guardar;
    QPushButton* Boton_Borrar;
    QPushButton* Boton_Niveles;
    QPushButton* Boton_Diario;
    QPushButton* Boton_Cerrar;

  public Q_SLOTS:
    void Actualizar();
    void Guardar_Referencia();
    void Guardar_Manual();
    void Borrar_Manual();
    void Exportar(Forma_Exportacion forma);

  private:
    void Elegir_Fila();
    bool Informar(const Resultado_Archivo& r);

    Contexto_Ventanas& ctx_;
    Archivo_Historico& archivo_;
    int equipo_;
    QDate desde_, hasta_;
    bool utf8_;
    std::vector<Lectura_Manual> manuales_;
};

}  // namespace aq
