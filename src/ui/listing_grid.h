#pragma once

// The listing grid 高级表格_域名: a table view over one page, with column
// widths from the column definitions and visibility from the column window.

#include <QTableView>
#include <array>

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

  // Default widths, except columns hidden by the column window (width 0).
  void applyColumnVisibility(const std::array<bool, kDomainFieldCount>& visible);
  void showAllColumns();

 signals:
  void headerClicked(int column);
  void contextMenuAt(int row, const QPoint& globalPos);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  PageModel* model_;
  GridDelegate* delegate_;
};

}  // namespace pelmora::ui
