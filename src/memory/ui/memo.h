#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/ui/contexto_ventanas.h"
#include "memory/operacion_descarga.h"

namespace aq {

// The memory reader: downloads the logger's memory, checks it, backs it up and has it decoded
// into the file the user chooses.
class Memo : public QWidget {
    Q_OBJECT
  public:
    explicit Memo(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

    QLineEdit* Text1;
    QProgressBar* ProgressBar1;
    QListWidget* List1;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command1;
    QLabel* Label1;
    // What became of the download in the station archive.
    QLabel* Label_Archivo;

    // Shows the archive's answer about the last download.
    void Informar_Archivo(const QString& texto);

    // Makes, before each download, what keeps it beyond its files (the station archive).
    std::function<std::unique_ptr<Registro_Descarga>()> Nuevo_Registro;

    QString Ruta_Elegida;    // the data file of the last download
    QByteArray Modo_Cierre;  // mode code read while closing

  public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

  Q_SIGNALS:
    // Closing: the menu this window held may be used again.
    void Devolver_Menu();
    // A whole, verified memory is in `Imagen_Memoria`; its backup is (or should have been)
    // `ruta_respaldo`.
    void Descarga_Completa(const QString& ruta_respaldo);

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    enum class Eleccion { Lista, Terminar };
    Eleccion Elegir_Archivo();
    void Avanzar_Barra(int valor, int maximo);
    void Mostrar_Estado(const QString& texto);
    void Estado_Ventana(bool maximizada);
    void Form_Unload();

    Contexto_Ventanas& ctx_;
    bool descargada_ = false;
    // Where the window's work files lie: the data folder, or the backup folder once a download
    // has written there; and the display file of the last download.
    QString carpeta_trabajo_;
    QString visualizacion_;
};

}  // namespace aq
