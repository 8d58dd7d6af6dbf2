#pragma once
#include <QStyledItemDelegate>

class QAbstractItemView;

namespace aq {

// Draws list rows with their tabs expanded to stops of eight characters, as the list controls
// the program was designed around did.
class Delegado_Tabulado : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* opcion, const QModelIndex& indice) const override;
};

// Fixed-pitch font, white background and tab expansion: fields line up in columns.
void Preparar_Lista_Tabulada(QAbstractItemView* lista);

}  // namespace aq
