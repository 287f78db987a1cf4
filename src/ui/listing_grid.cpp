#include "ui/listing_grid.h"

#include <QContextMenuEvent>
#include <QHeaderView>

#include "store/listing.h"

namespace pelmora::ui {

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
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setSortIndicatorShown(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(0);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &ListingGrid::headerClicked);
  showAllColumns();
}

void ListingGrid::applyColumnVisibility(const std::array<bool, kDomainFieldCount>& visible) {
  const auto& columns = gridColumns();
  for (int k = 0; k < kDomainFieldCount; ++k) {
    const bool show = visible[static_cast<std::size_t>(k)];
    setColumnHidden(k, !show);
    if (show) setColumnWidth(k, columns[static_cast<std::size_t>(k)].width);
  }
}

void ListingGrid::showAllColumns() {
  std::array<bool, kDomainFieldCount> all{};
  all.fill(true);
  applyColumnVisibility(all);
}

void ListingGrid::contextMenuEvent(QContextMenuEvent* event) {
  const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
  if (index.isValid()) setCurrentIndex(index);
  const int row = currentIndex().isValid() ? currentIndex().row() : -1;
  emit contextMenuAt(row, event->globalPos());
}

}  // namespace pelmora::ui
