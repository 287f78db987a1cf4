#pragma once

// A line for one date, typed in any form the program reads ("2017-1-3",
// "2017/01/03", "2017.1.3") or picked from a calendar. The whole date stays
// visible while it is edited; a finished edit that reads as a date shows it
// as yyyy-MM-dd.

#include <QLineEdit>
#include <optional>

#include "support/dates.h"

class QCalendarWidget;

namespace pelmora::ui {

class DateBox : public QLineEdit {
  Q_OBJECT

 public:
  // A cell date: may be emptied (no date); any other text is left for the
  // caller to accept or refuse.
  explicit DateBox(QWidget* parent = nullptr);
  // Always a date: a finished edit that is not one puts the last date back
  // and reports `refused`.
  DateBox(const Date& initial, QWidget* parent = nullptr);

  // The date the text reads as; always-a-date boxes give their last date
  // while the text is not one.
  std::optional<Date> date() const;
  void setDate(const std::optional<Date>& date);

  QCalendarWidget* calendar() const { return calendar_; }
  void showCalendar();

 signals:
  void refused(const QString& text);

 private:
  void finishEdit();

  bool alwaysADate_ = false;
  std::optional<Date> lastDate_;
  QWidget* popup_ = nullptr;
  QCalendarWidget* calendar_ = nullptr;
};

}  // namespace pelmora::ui
