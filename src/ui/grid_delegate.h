#pragma once

// Editors of the listing's cells: a date line for date columns (empty is no
// date), a drop-down of classification names for the group columns, a plain
// line for the rest.

#include <QStringList>
#include <QStyledItemDelegate>
#include <array>

#include "store/domain_record.h"

namespace pelmora::ui {

class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void setDropDownItems(int column, const QStringList& names);
  QStringList dropDownItems(int column) const { return items_[column]; }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  // The cell's place, widened where its column is too narrow for the editor
  // to show a whole date.
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 private:
  std::array<QStringList, kDomainFieldCount> items_;
};

}  // namespace pelmora::ui
