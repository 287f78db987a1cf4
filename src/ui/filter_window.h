#pragma once

// 域名条件筛选: the filter criteria of the listing. Loaded hidden at start and
// kept for the whole run, so its controls always hold the current criteria.

#include <QDialog>
#include <vector>

#include "store/classification_lists.h"
#include "store/filter_criteria.h"
#include "support/dates.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QTabWidget;

namespace pelmora::ui {

class FilterWindow : public QDialog {
  Q_OBJECT

 public:
  FilterWindow(QWidget* owner, const Clock& clock);

  FilterCriteria criteria() const;

  // First fill: fixed items, then the lists; the first item selected.
  void fillLists(const ClassificationLists& lists);
  // Refill on showing again: the selected positions of the five drop-downs
  // (registrar, suffix, type, sold, category) are kept, not their names.
  void refillKeepingPositions(const ClassificationLists& lists);

  void resetCriteria();
  // Reset, then select the expiry shortcut by index (1 已到期 .. 6 30).
  void selectExpiryShortcut(int index);

  QString pageSizeText() const;
  void setPageSizeText(const QString& text);

 signals:
  void confirmed();
  void closeRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Range {
    QString caption;
    QCheckBox* box = nullptr;  // none for the length range
    QLineEdit* from = nullptr;
    QLineEdit* to = nullptr;
  };
  struct Dates {
    QCheckBox* box = nullptr;
    QDateEdit* from = nullptr;
    QDateEdit* to = nullptr;
  };

  void build(const Clock& clock);
  QWidget* buildCriteriaPage(const Clock& clock);
  QWidget* addRange(const QString& caption, const QString& key, bool withBox);
  QWidget* addDates(const QString& caption, const QString& key, Dates& dates, const Clock& clock);
  void checkRangeOnLeave(QLineEdit* edit);
  static void fillCombo(QComboBox* combo, const std::vector<std::string>& items);

  QComboBox* registrar_ = nullptr;
  QComboBox* domainType_ = nullptr;
  QComboBox* category_ = nullptr;
  QComboBox* suffix_ = nullptr;
  QComboBox* sold_ = nullptr;
  QComboBox* expiry_ = nullptr;
  QCheckBox* nameBox_ = nullptr;
  QLineEdit* nameText_ = nullptr;
  QComboBox* nameMode_ = nullptr;
  QCheckBox* noteBox_ = nullptr;
  QLineEdit* noteText_ = nullptr;
  QLineEdit* pageSize_ = nullptr;
  std::vector<Range> ranges_;  // length first, then the seven amounts
  Dates registered_, expires_, purchased_, soldOn_;
  QTabWidget* tabs_ = nullptr;
};

}  // namespace pelmora::ui
