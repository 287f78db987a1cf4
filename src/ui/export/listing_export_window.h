#pragma once

// 导出列表: the domains of the current filter, all pages in the current order,
// written to a CSV or JSON file (the table of `pelmora-cli list --all
// --format`). The file is written on a worker with a progress bar and a
// cancel button; it appears under its name only when it is complete.

#include <string>

#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "ui/export/file_export_window.h"

class QCheckBox;
class QComboBox;

namespace pelmora::ui {

// What the main window shows: the filter and the order.
struct ListingView {
  SqlCondition condition;
  std::string sortKey{"id"};
  bool ascending = false;
};

class ListingExportWindow : public FileExportWindow {
  Q_OBJECT

 public:
  ListingExportWindow(QWidget* parent, DomainDatabase& db, ListingView view);

 protected:
  Write prepareWrite() override;

 private:
  DomainDatabase& db_;
  ListingView view_;
  QComboBox* format_;
  QCheckBox* byteOrderMark_;
};

}  // namespace pelmora::ui
