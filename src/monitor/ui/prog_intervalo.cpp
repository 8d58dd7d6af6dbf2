#include "monitor/ui/prog_intervalo.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "monitor/programacion.h"

namespace aq {

Prog_Intervalo::Prog_Intervalo(Contexto_Ventanas& c, QWidget* parent)
    : Dialogo_Programacion(c, parent) {
    setWindowTitle(QStringLiteral("Programación del Intervalo entre Lecturas"));
    Intervalo = new QComboBox(this);
    QFont fija = Intervalo->font();
    fija.setFamily(QStringLiteral("Courier New"));
    fija.setStyleHint(QFont::Monospace);
    Intervalo->setFont(fija);

    auto* botones = new QHBoxLayout;
    botones->addWidget(Boton_Aceptar);
    botones->addWidget(Boton_Cancelar);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(Intervalo);
    todo->addLayout(botones);
    connect(Boton_Aceptar, &QPushButton::clicked, this, &Prog_Intervalo::Boton_Aceptar_Click);

    // Opening; an interval never recognised counts as the first.
    Rellenar(Intervalo, Items_Intervalo);
    const int codigo = ctx.estado.Intervalo_Equipo;
    Intervalo->setCurrentIndex(codigo >= 0 && codigo < Items_Intervalo.size() ? codigo : 0);
}

void Prog_Intervalo::Boton_Aceptar_Click() {
    Enviar_Y_Cerrar(Programacion::Intervalo,
                    [this] { return Programar_Intervalo(ctx, Intervalo->currentIndex()); });
}

}  // namespace aq
