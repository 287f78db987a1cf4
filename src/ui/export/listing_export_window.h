#pragma once

// 导出列表: the domains of the current filter, all pages in the current order,
// written to a CSV or JSON file (the table of `pelmora-cli list --all
// --format`). The file is written on a worker with a progress bar and a
// cancel button; it appears under its name only when it is complete.

#include <QDialog>
#include <functional>
#include <string>

#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "ui/background_job.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pelmora::ui {

// What the main window shows: the filter and the order.
struct ListingView {
  SqlCondition condition;
  std::string sortKey{"id"};
  bool ascending = false;
};

class ListingExportWindow : public QDialog {
  Q_OBJECT

 public:
  ListingExportWindow(QWidget* parent, DomainDatabase& db, ListingView view);

  // Starts writing the file named in the path box. While it runs the 关闭
  // button reads 取消 and stops it.
  void startExport();
  bool isExporting() const { return job_.isRunning(); }

  // Runs on the worker before the file is written, to hold a run back in
  // tests.
  void setBeforeWrite(std::function<void()> hook) { beforeWrite_ = std::move(hook); }

 signals:
  // The run ended: written, failed or cancelled (`result` is the shown text).
  void exportEnded(const QString& result);

 protected:
  void reject() override;

 private:
  void browse();
  void finish(const QString& text);

  DomainDatabase& db_;
  ListingView view_;
  std::function<void()> beforeWrite_;
  QComboBox* format_;
  QCheckBox* byteOrderMark_;
  QLineEdit* path_;
  QProgressBar* progress_;
  QLabel* result_;
  QPushButton* export_;
  QPushButton* cancel_;
  BackgroundJob job_;
};

}  // namespace pelmora::ui
