#pragma once

// The listing grid 高级表格_域名: a table view over one page, with column
// widths that fit the font in use, visibility from the column window and the
// sort column marked in the header.

#include <QTableView>
#include <array>
#include <optional>

#include "store/domain_record.h"
#include "ui/grid_delegate.h"
#include "ui/page_model.h"

namespace pelmora::ui {

class ListingGrid : public QTableView {
  Q_OBJECT

 public:
  explicit ListingGrid(QWidget* parent = nullptr);

  PageModel* pageModel() const { return model_; }
  GridDelegate* delegate() const { return delegate_; }

  // Shows the visible columns at their widths (dragged by the user this
  // session, else the default) and hides the others.
  void applyColumnVisibility(const std::array<bool, kDomainFieldCount>& visible);
  void showAllColumns();
  // The defined width, widened to the title and to typical content of the
  // column in bold in the grid's font.
  int defaultColumnWidth(int column) const;

  // The column the page is sorted by and its direction, marked in the
  // header; -1 when the page is in insertion order.
  void setSortColumn(int column, bool ascending = false);
  int sortColumn() const { return sortColumn_; }
  bool sortAscending() const { return sortAscending_; }
  // A cell editor is open.
  bool isEditing() const { return state() == QAbstractItemView::EditingState; }

  // Column widths the user dragged and the order the columns were moved
  // into, as a text to keep between runs; restoreLayout ignores a text it
  // cannot read.
  QString layoutText() const;
  void restoreLayout(const QString& text);

  // The selected rows as TAB-separated text: a title line of the visible
  // columns, then one line per row, as a spreadsheet takes them.
  QString selectedRowsText() const;

 signals:
  void headerClicked(int column);
  void contextMenuAt(int row, const QPoint& globalPos);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // A cell with a tooltip of its own (the date cells) shows that; any other
  // whose text is cut off shows it whole in one.
  bool viewportEvent(QEvent* event) override;

 private:
  void rememberWidth(int column, int width);
  void showSortIndicator();

  PageModel* model_;
  GridDelegate* delegate_;
  std::array<std::optional<int>, kDomainFieldCount> draggedWidths_{};
  bool settingWidths_ = false;
  int sortColumn_ = -1;
  bool sortAscending_ = false;
};

}  // namespace pelmora::ui
