// Where the window was and how the grid was laid out and sorted, kept in a
// file of the user's rather than in the database, which a team may share.

#include <QSettings>

#include "app/main_window.h"
#include "store/listing.h"
#include "ui/listing_grid.h"

namespace pelmora::ui {
namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kLayoutKey = QStringLiteral("grid/layout");
const QString kSortKey = QStringLiteral("grid/sort");
const QString kAscendingKey = QStringLiteral("grid/ascending");

// The grid column a sort key belongs to; -1 for insertion order.
int columnOfSortKey(std::string_view key) {
  for (int k = 1; k < kDomainFieldCount; ++k) {
    if (sortKeyForHeader(gridColumns()[static_cast<std::size_t>(k)].title) == key) return k;
  }
  return -1;
}

}  // namespace

void MainWindow::restorePlaces() {
  if (options_.placesFile.isEmpty()) return;
  const QSettings places(options_.placesFile, QSettings::IniFormat);
  // A screen that is gone puts the window back on one that is there.
  if (const QByteArray geometry = places.value(kGeometryKey).toByteArray(); !geometry.isEmpty()) {
    restoreGeometry(geometry);
  }
  grid_->restoreLayout(places.value(kLayoutKey).toString());
  const std::string key = places.value(kSortKey).toString().toStdString();
  if (!isSortKey(key)) return;
  sortKey_ = shownSortKey_ = key;
  sortAscending_ = shownSortAscending_ = places.value(kAscendingKey).toBool();
  grid_->setSortColumn(columnOfSortKey(key), sortAscending_);
  shownSortColumn_ = grid_->sortColumn();
}

void MainWindow::savePlaces() {
  if (options_.placesFile.isEmpty()) return;
  QSettings places(options_.placesFile, QSettings::IniFormat);
  places.setValue(kGeometryKey, saveGeometry());
  places.setValue(kLayoutKey, grid_->layoutText());
  places.setValue(kSortKey, QString::fromStdString(sortKey_));
  places.setValue(kAscendingKey, sortAscending_);
  places.sync();
}

}  // namespace pelmora::ui
