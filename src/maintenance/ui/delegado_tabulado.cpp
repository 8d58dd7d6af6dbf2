#include "maintenance/ui/delegado_tabulado.h"

#include <QAbstractItemView>
#include <QFontDatabase>

#include "maintenance/datos_visor.h"

namespace aq {

void Delegado_Tabulado::initStyleOption(QStyleOptionViewItem* opcion,
                                        const QModelIndex& indice) const {
    QStyledItemDelegate::initStyleOption(opcion, indice);
    opcion->text = Expandir_Tabulaciones(opcion->text);
}

void Preparar_Lista_Tabulada(QAbstractItemView* lista) {
    lista->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QPalette p = lista->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    lista->setPalette(p);
    lista->setItemDelegate(new Delegado_Tabulado(lista));
}

}  // namespace aq
