#include "ui/page_model.h"

#include <QFont>
#include <QStringList>

#include "store/listing.h"

namespace pelmora::ui {

const QColor PageModel::kRowWhite(255, 255, 255);
const QColor PageModel::kRowGrey(234, 234, 234);

namespace {

const QColor kStoredText(0, 128, 255);
const QColor kRefusedText(255, 0, 128);
const QColor kDatesUpdatedText(0, 128, 255);
const QColor kDatesUpdatedGround(199, 255, 142);
const QColor kDatesFailedText(255, 0, 128);
const QColor kDatesFailedGround(249, 200, 170);

bool isDateCell(int column) {
  return column == static_cast<int>(DomainField::RegisteredOn) ||
         column == static_cast<int>(DomainField::ExpiresOn);
}

// The last lookup of the row, one line for each part it has.
QString lookupToolTip(const LookupStamp& lookup) {
  QStringList lines;
  lines
      << (lookup.checkedAt.empty()
              ? QStringLiteral("最后查询: 从未")
              : QStringLiteral("最后查询: %1 (UTC)").arg(QString::fromStdString(lookup.checkedAt)));
  if (!lookup.source.empty()) lines << "查询来源: " + QString::fromStdString(lookup.source);
  if (!lookup.status.empty()) lines << "域名状态: " + QString::fromStdString(lookup.status);
  return lines.join(u'\n');
}

}  // namespace

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
    for (int k = 0; k < kDomainFieldCount; ++k) row.readOnly[k] = isReadOnlyColumn(k);
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
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return (column == kTickColumn || column == kSoldColumn) ? QVariant() : row.texts[column];
    case Qt::CheckStateRole:
      if (column == kTickColumn) return row.ticked ? Qt::Checked : Qt::Unchecked;
      if (column == kSoldColumn) return row.sold ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::ForegroundRole:
      return textColour(row, column).value_or(QColor(Qt::black));
    case Qt::ToolTipRole:
      return isDateCell(column) ? lookupToolTip(row.record.lookup) : QVariant();
    case Qt::TextAlignmentRole:
      if (isMoneyField(static_cast<DomainField>(column))) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      }
      return {};
    case Qt::BackgroundRole:
      return cellBackground(index.row(), column)
          .value_or(index.row() % 2 == 0 ? kRowWhite : kRowGrey);
    case Qt::FontRole:
      if (isBold(row, column)) {
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

bool PageModel::removeRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount()) return false;
  beginRemoveRows(parent, row, row + count - 1);
  rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
  endRemoveRows();
  return true;
}

QString PageModel::cellText(int row, int column) const {
  return rows_[static_cast<std::size_t>(row)].texts[column];
}

void PageModel::setStoredValues(int row, const DomainRecord& record,
                                const std::vector<DomainField>& shown) {
  Row& target = rows_[static_cast<std::size_t>(row)];
  LookupStamp lookup = std::move(target.record.lookup);
  target.record = record;
  if (record.lookup.checkedAt.empty()) target.record.lookup = std::move(lookup);
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

std::optional<QColor> PageModel::textColour(const Row& row, int column) const {
  if (isDateCell(column) && row.dates != DateState::Untouched) {
    return row.dates == DateState::Updated ? kDatesUpdatedText : kDatesFailedText;
  }
  switch (row.edit) {
    case EditState::Untouched:
      return std::nullopt;
    case EditState::Stored:
    case EditState::BatchStored:
      return kStoredText;
    case EditState::Refused:
    case EditState::BatchRefused:
      return kRefusedText;
  }
  return std::nullopt;
}

bool PageModel::isBold(const Row& row, int column) const {
  return row.bold || (isDateCell(column) && row.dates != DateState::Untouched);
}

void PageModel::setEditState(int row, EditState state) {
  Row& target = rows_[static_cast<std::size_t>(row)];
  target.edit = state;
  if (state == EditState::Stored || state == EditState::Refused) target.bold = true;
  rowChanged(row);
}

void PageModel::setDateState(int row, DateState state) {
  rows_[static_cast<std::size_t>(row)].dates = state;
  rowChanged(row);
}

std::optional<QColor> PageModel::cellBackground(int row, int column) const {
  const DateState dates = rows_[static_cast<std::size_t>(row)].dates;
  if (!isDateCell(column) || dates == DateState::Untouched) return std::nullopt;
  return dates == DateState::Updated ? kDatesUpdatedGround : kDatesFailedGround;
}

void PageModel::setCellReadOnly(int row, int column, bool readOnly) {
  rows_[static_cast<std::size_t>(row)].readOnly[column] = readOnly;
}

bool PageModel::isCellReadOnly(int row, int column) const {
  return rows_[static_cast<std::size_t>(row)].readOnly[column];
}

void PageModel::restoreLook() {
  for (Row& row : rows_) {
    row.edit = EditState::Untouched;
    row.bold = false;
    row.dates = DateState::Untouched;
  }
  if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kDomainFieldCount - 1));
}

}  // namespace pelmora::ui
