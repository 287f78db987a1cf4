#include "ui/grid_delegate.h"

#include <QComboBox>

#include "store/listing.h"
#include "ui/date_box.h"

namespace pelmora::ui {
namespace {

constexpr int kDateEditorFrame = 16;

CellType cellTypeOf(int column) { return gridColumns()[static_cast<std::size_t>(column)].type; }

}  // namespace

void GridDelegate::setDropDownItems(int column, const QStringList& names) {
  items_[static_cast<std::size_t>(column)] = names;
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  switch (cellTypeOf(index.column())) {
    case CellType::Date:
      // The typed text goes to the model as it stands: a text that is not a
      // date is refused when the row is stored, not silently turned into one.
      return new DateBox(parent);
    case CellType::DropDown: {
      auto* editor = new QComboBox(parent);
      editor->addItem(QString());  // not grouped
      editor->addItems(items_[static_cast<std::size_t>(index.column())]);
      return editor;
    }
    default:
      return QStyledItemDelegate::createEditor(parent, option, index);
  }
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
  QStyledItemDelegate::updateEditorGeometry(editor, option, index);
  if (cellTypeOf(index.column()) != CellType::Date) return;
  // The date, the frame and the calendar button at the end (as wide as the
  // line is high).
  const int needed = editor->fontMetrics().horizontalAdvance(QStringLiteral("8888-88-88")) +
                     kDateEditorFrame + editor->height();
  if (editor->width() < needed) editor->resize(needed, editor->height());
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const QString text = index.data(Qt::EditRole).toString();
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    const int at = combo->findText(text);
    if (at < 0 && !text.isEmpty()) combo->addItem(text);
    combo->setCurrentIndex(at < 0 ? combo->findText(text) : at);
  } else {
    QStyledItemDelegate::setEditorData(editor, index);
  }
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    model->setData(index, combo->currentText(), Qt::EditRole);
  } else {
    QStyledItemDelegate::setModelData(editor, model, index);
  }
}

}  // namespace pelmora::ui
