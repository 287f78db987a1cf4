#include "ui/listing_grid.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <algorithm>

#include "store/listing.h"

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
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setWordWrap(false);
  verticalHeader()->setDefaultSectionSize(22);
  verticalHeader()->setVisible(false);
  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(true);
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

void ListingGrid::setSortColumn(int column) {
  sortColumn_ = column;
  showSortIndicator();
}

void ListingGrid::showSortIndicator() {
  horizontalHeader()->setSortIndicator(sortColumn_, Qt::DescendingOrder);
}

void ListingGrid::contextMenuEvent(QContextMenuEvent* event) {
  const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
  if (index.isValid()) setCurrentIndex(index);
  const int row = currentIndex().isValid() ? currentIndex().row() : -1;
  emit contextMenuAt(row, event->globalPos());
}

}  // namespace pelmora::ui
