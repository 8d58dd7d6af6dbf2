#pragma once
#include <QWidget>

namespace aq {

// Closes a window on the program's behalf ("unload"), whether it sits in an MDI sub-window or
// stands alone. Returns false when the window refused to close.
bool Descargar(QWidget* ventana);

// True inside closeEvent when the close was asked by the program (Descargar, or the main
// window ending) rather than by the user's close box.
bool Es_Descarga_Programada(const QWidget* ventana);

// Repaints a widget at once, while the interface thread is about to block.
void Repintar(QWidget* w);

}  // namespace aq
