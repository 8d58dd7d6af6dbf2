#pragma once
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "core/ui/contexto_ventanas.h"

namespace aq {

// Erases the logger's memory after confirmation, provided it is in mode AJUSTE.
class Borrar_Memoria : public QWidget {
    Q_OBJECT
  public:
    explicit Borrar_Memoria(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

    QProgressBar* ProgressBar1;
    QPushButton* Command1;
    QPushButton* Command2;

    QByteArray Modo_Leido;         // mode code last read from the logger
    double Tiempo_Borrado_Ms = 0;  // time allowed for the erase

  public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void sHabilitar();
    void sDesHabilitar();

  Q_SIGNALS:
    // Closing: the menu this window held may be used again.
    void Devolver_Menu();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void Form_Unload();

    Contexto_Ventanas& ctx_;
    bool descargada_ = false;
};

}  // namespace aq
