#pragma once
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "core/ui/contexto_ventanas.h"
#include "monitor/operaciones.h"

namespace aq {

// "Monitoreo y Programación de Parámetros": polls the logger's status, switches its mode and
// hands over to the date, time and interval dialogs.
class Supervisor : public QWidget {
    Q_OBJECT
  public:
    explicit Supervisor(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

    QLabel* Leyendo;
    QLabel* Label1;
    QLabel* Lectura;
    QLabel* Label2;
    QLabel* Intervalo;
    QLabel* Label4;
    QLabel* Fecha;
    QLabel* Label3;
    QLabel* Hora;
    QLabel* Label7;
    QLabel* Alcance;
    QLabel* Label6;
    QLabel* Equipo;
    QLabel* Modo;
    QLabel* Registros_Disponibles;
    // How far the logger's clock is from the PC's, when more than a minute.
    QLabel* Deriva_Reloj;
    // In REGISTRO: when the memory will be full at the current interval.
    QLabel* Memoria_Llena;
    QPushButton* Programador_Intervalo;
    QPushButton* Programar_Fecha;
    QPushButton* Programar_Hora;
    QPushButton* Pasar_Registro;
    QPushButton* Pasar_Ajuste;
    QPushButton* Command1;
    QTimer* Timer1;

    // Closing for a programming dialog: the main menu is not given back.
    bool Abriendo_Programacion = false;
    // Closing after a link failure: no mode command is sent.
    bool Falla_Enlace = false;

  public Q_SLOTS:
    void Leer_Estado();
    void Timer1_Timer();
    void Command1_Click();
    void Pasar_Ajuste_Click();
    void Pasar_Registro_Click();
    void Programar_Fecha_Click();
    void Programar_Hora_Click();
    void Programador_Intervalo_Click();

  Q_SIGNALS:
    // This window has closed for `dialogo`, which the frame shows in its place.
    void Entregar_Programacion(QWidget* dialogo);
    // The menu this window held may be used again.
    void Devolver_Menu();

  protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    template <class Dialogo>
    void Entregar_A();
    void Caja(const QString& texto, const QString& titulo);
    void Cerrar_Por_Falla(const QString& texto);
    bool Confirmar(const QString& texto);
    void Pasar_A(Modo_Destino destino);
    // Restarts the poll that a confirmation box held back.
    void Reanudar_Sondeo();

    Contexto_Ventanas& ctx;
    bool cerrada_ = false;
    bool colocada_ = false;
    bool timer_activo_ = false;  // poll timer state while a confirmation box is up
};

}  // namespace aq
