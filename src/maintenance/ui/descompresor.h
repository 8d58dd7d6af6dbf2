#pragma once
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include "core/ui/contexto_ventanas.h"

namespace aq {

// Maintenance window: expands a raw memory backup into "EXPAND$$.TXT" and pages through it
// 19 lines at a time, read by record number from the paging file "AMORTI.TMP".
class Descompresor : public QWidget {
    Q_OBJECT
  public:
    explicit Descompresor(Contexto_Ventanas& ctx, QWidget* parent = nullptr);

    QPushButton* Command1;  // "&Elegir Archivo Compactado"
    QPushButton* Command2;  // "&Cerrar"
    QLabel* Label2;         // phase
    QProgressBar* ProgressBar1;
    QLabel* Label1;  // where the expanded text is
    QListWidget* List1;
    QScrollBar* Scroll;  // value: first line shown; maximum: highest first line

    // Full path of the paging file made by the last expansion (empty before any).
    QString Ruta_Paginado() const { return ruta_paginado_; }

    // Keyboard paging; true when the key was taken by the paging table.
    bool List1_KeyDown(int tecla);

  public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Scroll_Change();

  Q_SIGNALS:
    // Closing: the menu this window held may be used again.
    void Devolver_Menu();

  protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;

  private:
    bool Convertir(const QString& carpeta);
    void Mostrar_Pagina();
    void Form_Unload();

    Contexto_Ventanas& ctx_;
    QString ruta_paginado_;
    // Where the dialog starts and the work files go: the backup folder, then the last chosen
    // file's folder.
    QString carpeta_trabajo_;
};

}  // namespace aq
