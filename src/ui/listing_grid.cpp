#include "ui/listing_grid.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QToolTip>
#include <algorithm>
#include <sstream>
#include <vector>

#include "store/listing.h"
#include "support/table_writer.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

// What a cell of the column typically shows; the column is made wide enough
// for the widest of them.
QStringList typicalTexts(int column) {
  const auto field = static_cast<DomainField>(column);
  if (isMoneyField(field)) return {QStringLiteral("1234567.89")};
  if (isDateField(field)) return {QStringLiteral("2017-12-31")};
  if (isClassificationField(field))
    return {QStringLiteral("西部数码"), QStringLiteral("Namecheap")};
  switch (field) {
    case DomainField::Name:
      return {QStringLiteral("domainname.com")};
    case DomainField::Suffix:
      return {QStringLiteral(".com.cn")};
    case DomainField::Length:
      return {QStringLiteral("63")};
    default:
      return {};
  }
}

}  // namespace

ListingGrid::ListingGrid(QWidget* parent)
    : QTableView(parent), model_(new PageModel(this)), delegate_(new GridDelegate(this)) {
  setObjectName(QStringLiteral("高级表格_域名"));
  setModel(model_);
  setItemDelegate(delegate_);
  setAlternatingRowColors(false);  // the model gives the alternating backgrounds
  // Rows are selected as in a spreadsheet (Shift/Ctrl-click, Shift+arrows)
  // to be copied; the tick column chooses the rows operations act on.
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setWordWrap(false);
  verticalHeader()->setDefaultSectionSize(22);
  verticalHeader()->setVisible(false);
  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(true);
  header->setSectionsMovable(true);
  header->setSortIndicatorShown(true);
  header->setHighlightSections(false);
  header->setMinimumSectionSize(0);
  showSortIndicator();
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
    emit headerClicked(column);
    // The header moves its indicator on a click by itself; only a column that
    // really sorts keeps it.
    showSortIndicator();
  });
  connect(header, &QHeaderView::sectionResized, this,
          [this](int column, int, int width) { rememberWidth(column, width); });
  showAllColumns();
}

int ListingGrid::defaultColumnWidth(int column) const {
  const auto& definition = gridColumns()[static_cast<std::size_t>(column)];
  int width = std::max(definition.width, horizontalHeader()->sectionSizeHint(column));
  // Texts in the cell, bold rows included, with the delegate's margins and
  // the grid line.
  QFont bold = font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const int margins =
      2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 1;
  for (const QString& text : typicalTexts(column)) {
    width = std::max(width, metrics.horizontalAdvance(text) + margins);
  }
  if (definition.type == CellType::CheckBox) {
    width =
        std::max(width, style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) + margins);
  }
  return width;
}

void ListingGrid::applyColumnVisibility(const std::array<bool, kDomainFieldCount>& visible) {
  settingWidths_ = true;
  for (int k = 0; k < kDomainFieldCount; ++k) {
    const bool show = visible[static_cast<std::size_t>(k)];
    setColumnHidden(k, !show);
    if (show) {
      const auto& dragged = draggedWidths_[static_cast<std::size_t>(k)];
      setColumnWidth(k, dragged ? *dragged : defaultColumnWidth(k));
    }
  }
  settingWidths_ = false;
}

void ListingGrid::showAllColumns() {
  std::array<bool, kDomainFieldCount> all{};
  all.fill(true);
  applyColumnVisibility(all);
}

void ListingGrid::rememberWidth(int column, int width) {
  // Hiding a column resizes it to 0; that is not a width the user chose.
  if (settingWidths_ || width <= 0 || horizontalHeader()->isSectionHidden(column)) return;
  draggedWidths_[static_cast<std::size_t>(column)] = width;
}

void ListingGrid::setSortColumn(int column, bool ascending) {
  sortColumn_ = column;
  sortAscending_ = ascending;
  showSortIndicator();
}

void ListingGrid::showSortIndicator() {
  horizontalHeader()->setSortIndicator(sortColumn_,
                                       sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

// "w:<width or -> ..." and "o:<logical index at each visual place> ...".
QString ListingGrid::layoutText() const {
  QStringList widths;
  QStringList order;
  for (int k = 0; k < kDomainFieldCount; ++k) {
    const auto& dragged = draggedWidths_[static_cast<std::size_t>(k)];
    widths << (dragged ? QString::number(*dragged) : QStringLiteral("-"));
    order << QString::number(horizontalHeader()->logicalIndex(k));
  }
  return QStringLiteral("w:") + widths.join(u',') + QStringLiteral(";o:") + order.join(u',');
}

void ListingGrid::restoreLayout(const QString& text) {
  const QStringList parts = text.split(u';');
  if (parts.size() != 2 || !parts[0].startsWith(u"w:") || !parts[1].startsWith(u"o:")) return;
  const QStringList widths = parts[0].mid(2).split(u',');
  const QStringList order = parts[1].mid(2).split(u',');
  if (widths.size() != kDomainFieldCount || order.size() != kDomainFieldCount) return;
  std::array<bool, kDomainFieldCount> seen{};
  std::array<int, kDomainFieldCount> logical{};
  for (int k = 0; k < kDomainFieldCount; ++k) {
    bool ok = false;
    const int column = order[k].toInt(&ok);
    if (!ok || column < 0 || column >= kDomainFieldCount || seen[static_cast<std::size_t>(column)])
      return;
    seen[static_cast<std::size_t>(column)] = true;
    logical[static_cast<std::size_t>(k)] = column;
  }
  for (int k = 0; k < kDomainFieldCount; ++k) {
    bool ok = false;
    const int width = widths[k].toInt(&ok);
    draggedWidths_[static_cast<std::size_t>(k)] =
        ok && width > 0 ? std::optional<int>(width) : std::nullopt;
  }
  QHeaderView* header = horizontalHeader();
  for (int place = 0; place < kDomainFieldCount; ++place) {
    header->moveSection(header->visualIndex(logical[static_cast<std::size_t>(place)]), place);
  }
  settingWidths_ = true;
  for (int k = 0; k < kDomainFieldCount; ++k) {
    if (isColumnHidden(k)) continue;
    setColumnWidth(k, draggedWidths_[static_cast<std::size_t>(k)].value_or(defaultColumnWidth(k)));
  }
  settingWidths_ = false;
}

QString ListingGrid::selectedRowsText() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  std::vector<int> columns;
  std::vector<std::string> titles;
  for (int place = 0; place < kDomainFieldCount; ++place) {
    const int k = horizontalHeader()->logicalIndex(place);
    if (k == PageModel::kTickColumn || isColumnHidden(k)) continue;
    columns.push_back(k);
    titles.push_back(gridColumns()[static_cast<std::size_t>(k)].title);
  }
  std::ostringstream out;
  TableStream table(out, titles, TableFormat::Tsv);
  std::vector<TableCell> cells;
  for (const int row : rows) {
    cells.clear();
    for (const int k : columns) cells.emplace_back(model_->cellText(row, k).toStdString());
    table.row(cells);
  }
  table.finish();
  return QString::fromStdString(out.str());
}

void ListingGrid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    if (selectionModel()->hasSelection()) Toolkit::setClipboardText(selectedRowsText());
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

bool ListingGrid::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QTableView::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QModelIndex index = indexAt(help->pos());
  const QString own = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
  const QString text = index.isValid() ? index.data(Qt::DisplayRole).toString() : QString();
  const int room =
      visualRect(index).width() - 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) - 2;
  if (!own.isEmpty()) {
    QToolTip::showText(help->globalPos(), own, viewport(), visualRect(index));
  } else if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) > room) {
    QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
  } else {
    QToolTip::hideText();
  }
  return true;
}

void ListingGrid::contextMenuEvent(QContextMenuEvent* event) {
  const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
  if (index.isValid()) setCurrentIndex(index);
  const int row = currentIndex().isValid() ? currentIndex().row() : -1;
  emit contextMenuAt(row, event->globalPos());
}

}  // namespace pelmora::ui
