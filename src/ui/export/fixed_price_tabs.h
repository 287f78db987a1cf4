#pragma once

// The 西数, 爱名 and 易名 pages of the filter window: fixed-price sale lists
// of the domains the filter currently selects, put on the clipboard. The
// list is made on a worker (a second or so for a million domains) while the
// window keeps responding under a busy cursor; a newer request supersedes
// one still going, and nothing arrives once the window is gone.

#include <QObject>
#include <functional>

#include "reports/fixed_price_export.h"
#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "ui/background_job.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QWidget;

namespace pelmora::ui {

class FixedPriceTabs : public QObject {
  Q_OBJECT

 public:
  // The condition of the filter as it stands when a list is generated.
  using ConditionSource = std::function<SqlCondition()>;

  // Adds the three pages to `tabs`; messages are shown over `owner`.
  FixedPriceTabs(QTabWidget* tabs, DomainDatabase* db, ConditionSource condition, QWidget* owner);

  // The choices of the 西数 page (hour range as the edits would be corrected)
  // and of the 爱名 page.
  FixedPriceChoices westChoices() const;
  FixedPriceChoices aimingChoices() const;

  // Starts the list for the current filter and choices; when it is made it
  // goes on the clipboard, and a message says so. A list that cannot be read
  // leaves the clipboard alone.
  void generate(FixedPriceFormat format);
  // From generate until its list has been handed over.
  bool isGenerating() const { return job_.isRunning(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildWestPage();
  QWidget* buildAimingPage();
  QWidget* buildEasyPage();
  void showHourRange();
  void handOver(FixedPriceFormat format, const FixedPriceText& result);

  DomainDatabase* db_;
  ConditionSource condition_;
  QWidget* owner_;
  QComboBox* westDescription_ = nullptr;
  QComboBox* westPrice_ = nullptr;
  QComboBox* westPeriod_ = nullptr;
  QComboBox* westEndTime_ = nullptr;
  QLineEdit* hourFrom_ = nullptr;
  QLabel* hourRangeWord_ = nullptr;
  QLineEdit* hourTo_ = nullptr;
  QComboBox* aimingDescription_ = nullptr;
  BackgroundJob job_;  // last: its worker is joined before the rest goes
};

}  // namespace pelmora::ui
