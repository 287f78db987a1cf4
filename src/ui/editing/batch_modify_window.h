#pragma once

// 批量修改: sets the ticked fields of every listed domain to one common value.
// Modeless; hidden, never destroyed, while the main window lives, so its
// choices survive between showings. The run goes on a worker; each domain's
// outcomes come back on the UI thread through `itemsFinished`, a committed
// chunk at a time.

#include <QDialog>
#include <QStringList>
#include <array>

#include "editing/batch_modify.h"
#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "support/dates.h"
#include "ui/background_job.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace pelmora::ui {

class DateBox;
class RunProgress;

class BatchModifyWindow : public QDialog {
  Q_OBJECT

 public:
  BatchModifyWindow(DomainDatabase& db, const Clock& clock, QWidget* owner = nullptr);
  ~BatchModifyWindow() override;

  // Refills the three drop-downs from the lists; their selected positions
  // stay (the first item on the first fill).
  void refillKeepingPositions(const ClassificationLists& lists);
  // Empties both lists, then lists `domains` one per line.
  void fillDomains(const QStringList& domains);

  // What the controls say now.
  BatchModifyChoices choices() const;
  // Starts the run over the listed domains (按钮_确认).
  void confirm();
  // 按钮_重置: no field ticked, first items, amounts "0", dates today.
  void resetFields();
  void clearLists();

  bool isRunning() const { return job_.isRunning(); }
  BackgroundJob& job() { return job_; }

 signals:
  // One domain's outcome, on the UI thread, in list order.
  void itemsFinished(const std::vector<pelmora::BatchModifyItem>& items);
  void closeRequested();

 private:
  // The field selectors, in the order of the window.
  enum FieldBox {
    kRegistrar,
    kDomainType,
    kCategory,
    kOneTimeCost,
    kRenewalCost,
    kReservePrice,
    kAskingPrice,
    kFinalPrice,
    kNote,
    kPurchasedOn,
    kSoldOn,
    kFieldBoxCount
  };

  void build();
  QWidget* buildFields();
  QWidget* buildLists();
  bool ticked(FieldBox box) const;
  void showItems(const std::vector<BatchModifyItem>& items);
  void finishRun(const BatchModifyResult& result);
  void setStatus(const QString& text);

  DomainDatabase& db_;
  Clock clock_;
  std::array<QCheckBox*, kFieldBoxCount> boxes_{};
  QComboBox* registrar_ = nullptr;
  QComboBox* domainType_ = nullptr;
  QComboBox* category_ = nullptr;
  QLineEdit* oneTimeCost_ = nullptr;
  QLineEdit* renewalCost_ = nullptr;
  QLineEdit* reservePrice_ = nullptr;
  QLineEdit* askingPrice_ = nullptr;
  QLineEdit* finalPrice_ = nullptr;
  QLineEdit* note_ = nullptr;
  DateBox* purchasedOn_ = nullptr;
  DateBox* soldOn_ = nullptr;
  QLabel* tips_ = nullptr;
  QGroupBox* domainsGroup_ = nullptr;
  QGroupBox* failuresGroup_ = nullptr;
  QPlainTextEdit* domains_ = nullptr;
  QPlainTextEdit* failures_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QLabel* status_ = nullptr;
  RunProgress* progress_ = nullptr;
  BackgroundJob job_;  // last: joined before the members its deliveries use go
};

}  // namespace pelmora::ui
