#pragma once

// 域名条件筛选: the filter criteria of the listing. Loaded hidden at start and
// kept for the whole run, so its controls always hold the current criteria.

#include <QDialog>
#include <optional>
#include <vector>

#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "support/dates.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;
class QAction;
class QLabel;

namespace pelmora::ui {

class DateBox;

class FilterWindow : public QDialog {
  Q_OBJECT

 public:
  // `db` feeds the fixed-price export pages; without one they report failure.
  FilterWindow(QWidget* owner, const Clock& clock, DomainDatabase* db = nullptr);

  FilterCriteria criteria() const;

  // First fill: fixed items, then the lists; the first item selected.
  void fillLists(const ClassificationLists& lists);
  // Refill on showing again: the selected positions of the five drop-downs
  // (registrar, suffix, type, sold, category) are kept, not their names.
  void refillKeepingPositions(const ClassificationLists& lists);

  // Back to no criteria; the criteria before it can be brought back once.
  void resetCriteria();
  // The criteria as they were before the last reset.
  void undoReset();
  QAction* undoResetAction() const { return undoReset_; }
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
    DateBox* from = nullptr;
    DateBox* to = nullptr;
  };
  // What a reset changes: the drop-downs' positions, the ticks, the texts.
  struct ResetState {
    std::vector<int> choices;
    std::vector<bool> ticks;
    std::vector<QString> texts;
  };

  void build(const Clock& clock, DomainDatabase* db);
  QWidget* buildCriteriaPage(const Clock& clock);
  QWidget* addRange(const QString& caption, const QString& key, bool withBox);
  QWidget* addDates(const QString& caption, const QString& key, Dates& dates, const Clock& clock);
  void checkRangeOnLeave(QLineEdit* edit);
  bool letShortcutThrough(QLineEdit* edit, QEvent* event) const;
  std::vector<QComboBox*> resetChoices() const;
  std::vector<QCheckBox*> resetTicks() const;
  std::vector<QLineEdit*> resetTexts() const;
  ResetState resetState() const;
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
  QLabel* exportHint_ = nullptr;
  Clock clock_;
  QAction* undoReset_ = nullptr;
  std::optional<ResetState> beforeReset_;
};

}  // namespace pelmora::ui
