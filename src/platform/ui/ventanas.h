#pragma once
#include <QWidget>

class QMdiArea;

namespace aq {

// Closes a window on the program's behalf ("unload"), whether it sits in an MDI sub-window or
// stands alone. Returns false when the window refused to close.
bool Descargar(QWidget* ventana);

// True inside closeEvent when the close was asked by the program (Descargar, or the main
// window ending) rather than by the user's close box.
bool Es_Descarga_Programada(const QWidget* ventana);

// Asks the frame to show `ventana` maximised, with a border the user cannot drag.
void Pedir_Maximizada_Fija(QWidget* ventana);

// Shows `ventana` as a child window of `area`: the area owns it and destroys it when it
// closes. A window that chose its own size keeps it; a maximised one fills the area; every
// child is at least as wide as its title.
void Mostrar_En_Area(QMdiArea* area, QWidget* ventana);

// The same, in the area that holds `vecina`, beside it where the visible part of the area has
// room (right, left, below, above; else over it, always inside); a window standing alone is
// shown alone.
void Mostrar_Junto_A(QWidget* vecina, QWidget* ventana);

// A tool window (hydrograph, archive, viewer): Escape closes it as its close box does. Call
// once it is shown.
void Cerrar_Con_Escape(QWidget* ventana);

// Qt's own texts in Spanish (file dialogs, standard buttons, context menus) and the program's
// icon on every window and box.
void Vestir_Aplicacion();

// Hourglass (true) or normal pointer over the whole top-level window of `w`.
void Reloj_Arena(QWidget* w, bool ocupado);

// Repaints a widget at once, while the interface thread is about to block.
void Repintar(QWidget* w);

}  // namespace aq
