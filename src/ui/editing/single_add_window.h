#pragma once

// 单个添加域名: one domain typed with its attributes and inserted as one row.
// The window stays open after each insert and keeps every value, so that a
// similar domain needs only a new name. Leaving the domain field fetches the
// registration and expiry dates on a worker the window owns; closing the
// window abandons that fetch, and nothing of it reaches the window any more.

#include <QDialog>
#include <memory>
#include <string>

#include "lookup/date_lookup_result.h"
#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "support/dates.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pelmora::ui {

class BackgroundJob;
class DateBox;

class SingleAddWindow : public QDialog {
  Q_OBJECT

 public:
  SingleAddWindow(QWidget* owner, DomainDatabase& db, const ClassificationLists& lists,
                  const Clock& clock);
  ~SingleAddWindow() override;

  // A date fetch started and its outcome not yet shown.
  bool isFetching() const;

 signals:
  // A fetch's outcome has been shown and 确认 is back.
  void fetchEnded();
  // An insert was tried, stored or not: the listing is to be read again.
  void insertTried();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void showEvent(QShowEvent* event) override;

 private:
  void build();
  QWidget* buildRequired();
  QWidget* buildOptional();
  QWidget* buildTips();
  QLabel* caption(const QString& key, const QString& text);
  QLineEdit* amountEdit(const QString& key);
  void fillCombos(const ClassificationLists& lists);

  void domainChanged();
  void amountChanged(QLineEdit* edit);
  void finalPriceChanged();
  void selectOnFocus(QLineEdit* edit);
  void startFetch();
  void showFetched(const std::string& domain, const DateLookupResult& result);
  void showFetchLabel(const QString& text, const QColor& colour);
  void confirm();
  void setStatus(const QString& text);
  void abandonFetch();

  DomainDatabase& db_;
  Clock clock_;
  bool closing_ = false;
  QLineEdit* domain_ = nullptr;
  QLineEdit* suffix_ = nullptr;
  QLineEdit* length_ = nullptr;
  QComboBox* registrar_ = nullptr;
  QComboBox* domainType_ = nullptr;
  QComboBox* category_ = nullptr;
  DateBox* registeredOn_ = nullptr;
  DateBox* expiresOn_ = nullptr;
  QLabel* fetchLabel_ = nullptr;
  QPushButton* fetchAgain_ = nullptr;
  QLineEdit* oneTimeCost_ = nullptr;
  QLineEdit* renewalCost_ = nullptr;
  QLineEdit* actualCost_ = nullptr;
  QLineEdit* reservePrice_ = nullptr;
  QLineEdit* askingPrice_ = nullptr;
  QLineEdit* finalPrice_ = nullptr;
  QLineEdit* profit_ = nullptr;
  QLineEdit* note_ = nullptr;
  DateBox* purchasedOn_ = nullptr;
  QLabel* soldOnCaption_ = nullptr;
  DateBox* soldOn_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QPushButton* close_ = nullptr;
  QLabel* status_ = nullptr;
  // Last: its worker is joined before the controls its deliveries use go.
  std::unique_ptr<BackgroundJob> job_;
};

}  // namespace pelmora::ui
