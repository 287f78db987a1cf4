#include "ui/page_model.h"

#include <QFont>

#include "store/listing.h"

namespace pelmora::ui {

const QColor PageModel::kRowWhite(255, 255, 255);
const QColor PageModel::kRowGrey(234, 234, 234);

PageModel::PageModel(QObject* parent) : QAbstractTableModel(parent) {}

void PageModel::setRows(const std::vector<DomainRecord>& records) {
  beginResetModel();
  rows_.clear();
  rows_.reserve(records.size());
  for (const DomainRecord& record : records) {
    Row row;
    row.record = record;
    const auto texts = displayTexts(record);
    for (int k = 0; k < kDomainFieldCount; ++k) row.texts[k] = QString::fromStdString(texts[k]);
    row.sold = record.sold();
    row.texts[kSoldColumn].clear();
    for (int k = 0; k < kDomainFieldCount; ++k) row.cells[k].readOnly = isReadOnlyColumn(k);
    rows_.push_back(std::move(row));
  }
  endResetModel();
}

void PageModel::clearRows() { setRows({}); }

int PageModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PageModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kDomainFieldCount;
}

QVariant PageModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  const CellState& cell = row.cells[column];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return (column == kTickColumn || column == kSoldColumn) ? QVariant() : row.texts[column];
    case Qt::CheckStateRole:
      if (column == kTickColumn) return row.ticked ? Qt::Checked : Qt::Unchecked;
      if (column == kSoldColumn) return row.sold ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::ForegroundRole:
      return cell.textColour ? QVariant(*cell.textColour) : QVariant(QColor(Qt::black));
    case Qt::TextAlignmentRole:
      if (isMoneyField(static_cast<DomainField>(column))) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      }
      return {};
    case Qt::BackgroundRole:
      if (cell.background) return *cell.background;
      return index.row() % 2 == 0 ? kRowWhite : kRowGrey;
    case Qt::FontRole:
      if (cell.bold) {
        QFont font;
        font.setBold(true);
        return font;
      }
      return {};
    default:
      return {};
  }
}

QVariant PageModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < kDomainFieldCount) {
    return QString::fromStdString(gridColumns()[static_cast<std::size_t>(section)].title);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags PageModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == kTickColumn) return flags | Qt::ItemIsUserCheckable;
  if (!isCellReadOnly(index.row(), index.column())) flags |= Qt::ItemIsEditable;
  return flags;
}

bool PageModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid()) return false;
  Row& row = rows_[static_cast<std::size_t>(index.row())];
  if (index.column() == kTickColumn && role == Qt::CheckStateRole) {
    row.ticked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {role});
    return true;
  }
  if (role != Qt::EditRole || isCellReadOnly(index.row(), index.column())) return false;
  const QString text = value.toString();
  const QString old = row.texts[index.column()];
  if (text == old) return true;
  row.texts[index.column()] = text;
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  emit cellEdited(index.row(), index.column(), old, text);
  return true;
}

QString PageModel::cellText(int row, int column) const {
  return rows_[static_cast<std::size_t>(row)].texts[column];
}

void PageModel::setCellText(int row, int column, const QString& text) {
  rows_[static_cast<std::size_t>(row)].texts[column] = text;
  emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole, Qt::EditRole});
}

void PageModel::setStoredValues(int row, const DomainRecord& record,
                                const std::vector<DomainField>& shown) {
  Row& target = rows_[static_cast<std::size_t>(row)];
  target.record = record;
  const auto texts = displayTexts(record);
  for (DomainField field : shown) {
    const int column = static_cast<int>(field);
    if (column == kSoldColumn) {
      target.sold = record.sold();
    } else {
      target.texts[column] = QString::fromStdString(texts[column]);
    }
    emit dataChanged(index(row, column), index(row, column));
  }
}

void PageModel::setSold(int row, bool sold) {
  rows_[static_cast<std::size_t>(row)].sold = sold;
  emit dataChanged(index(row, kSoldColumn), index(row, kSoldColumn), {Qt::CheckStateRole});
}

bool PageModel::isTicked(int row) const { return rows_[static_cast<std::size_t>(row)].ticked; }

void PageModel::setTicked(int row, bool ticked) {
  rows_[static_cast<std::size_t>(row)].ticked = ticked;
  emit dataChanged(index(row, kTickColumn), index(row, kTickColumn), {Qt::CheckStateRole});
}

void PageModel::setAllTicked(bool ticked) {
  for (Row& row : rows_) row.ticked = ticked;
  if (!rows_.empty()) {
    emit dataChanged(index(0, kTickColumn), index(rowCount() - 1, kTickColumn),
                     {Qt::CheckStateRole});
  }
}

void PageModel::invertTicks() {
  for (Row& row : rows_) row.ticked = !row.ticked;
  if (!rows_.empty()) {
    emit dataChanged(index(0, kTickColumn), index(rowCount() - 1, kTickColumn),
                     {Qt::CheckStateRole});
  }
}

std::vector<int> PageModel::tickedRows() const {
  std::vector<int> ticked;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].ticked) ticked.push_back(static_cast<int>(i));
  }
  return ticked;
}

void PageModel::rowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, kDomainFieldCount - 1));
}

void PageModel::setRowTextColour(int row, const QColor& colour) {
  for (CellState& cell : rows_[static_cast<std::size_t>(row)].cells) cell.textColour = colour;
  rowChanged(row);
}

void PageModel::setCellLook(int row, int column, const QColor& text, const QColor& background,
                            bool bold) {
  CellState& cell = rows_[static_cast<std::size_t>(row)].cells[column];
  cell.textColour = text;
  cell.background = background;
  cell.bold = bold;
  emit dataChanged(index(row, column), index(row, column));
}

std::optional<QColor> PageModel::cellBackground(int row, int column) const {
  return rows_[static_cast<std::size_t>(row)].cells[column].background;
}

void PageModel::setRowBold(int row, bool bold) {
  for (CellState& cell : rows_[static_cast<std::size_t>(row)].cells) cell.bold = bold;
  rowChanged(row);
}

void PageModel::setCellReadOnly(int row, int column, bool readOnly) {
  rows_[static_cast<std::size_t>(row)].cells[column].readOnly = readOnly;
}

bool PageModel::isCellReadOnly(int row, int column) const {
  return rows_[static_cast<std::size_t>(row)].cells[column].readOnly;
}

void PageModel::restoreLook() {
  for (Row& row : rows_) {
    for (CellState& cell : row.cells) {
      cell.textColour.reset();
      cell.background.reset();
      cell.bold = false;
    }
  }
  if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kDomainFieldCount - 1));
}

}  // namespace pelmora::ui
