#pragma once

// 高级修改: one line per domain with its own field values. The run goes to a
// worker; the window owns it, so closing the window stops the run (after the
// chunk it is in; what it committed stays) before the window goes.

#include <QDialog>

#include "editing/advanced_modify.h"
#include "store/classification_lists.h"
#include "store/domain_database.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pelmora::ui {

class BackgroundJob;
class RunProgress;

class AdvancedModifyWindow : public QDialog {
  Q_OBJECT

 public:
  // `lists` are the classification lists the values are checked against.
  AdvancedModifyWindow(QWidget* owner, DomainDatabase& db, ClassificationLists lists);
  ~AdvancedModifyWindow() override;

  bool isRunning() const;

 signals:
  // A run's failures and result are shown and the confirm button is back.
  void runEnded();
  // The window is closing and no run of it is left: the listing may reload.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void build();
  QWidget* buildTips();
  void makeJob();
  void confirm();
  void showResult(const AdvancedModifyResult& result);

  DomainDatabase& db_;
  const ClassificationLists lists_;
  bool running_ = false;           // a run started and its result is not shown yet
  bool closeWhenStopped_ = false;  // the user chose to stop it and close
  QPlainTextEdit* pending_ = nullptr;
  QPlainTextEdit* failures_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QLabel* status_ = nullptr;
  BackgroundJob* job_ = nullptr;
  RunProgress* progress_ = nullptr;
};

}  // namespace pelmora::ui
