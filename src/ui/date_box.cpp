#include "ui/date_box.h"

#include <QAction>
#include <QCalendarWidget>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/qt_text.h"
namespace pelmora::ui {
namespace {

std::optional<Date> readDate(const QString& text) { return parseDate(text.toStdString()); }

}  // namespace

DateBox::DateBox(QWidget* parent) : QLineEdit(parent) {
  setPlaceholderText(QStringLiteral("yyyy-MM-dd"));
  setClearButtonEnabled(true);  // an empty cell is no date

  popup_ = new QWidget(this, Qt::Popup);
  auto* layout = new QVBoxLayout(popup_);
  layout->setContentsMargins(0, 0, 0, 0);
  calendar_ = new QCalendarWidget(popup_);
  layout->addWidget(calendar_);
  connect(calendar_, &QCalendarWidget::clicked, this, [this](QDate picked) {
    popup_->hide();
    setDate(toDate(picked));
    setFocus();
  });
  QAction* pick = addAction(style()->standardIcon(QStyle::SP_ArrowDown), TrailingPosition);
  connect(pick, &QAction::triggered, this, &DateBox::showCalendar);
  connect(this, &QLineEdit::editingFinished, this, &DateBox::finishEdit);
}

DateBox::DateBox(const Date& initial, QWidget* parent) : DateBox(parent) {
  alwaysADate_ = true;
  setClearButtonEnabled(false);
  setDate(initial);
}

std::optional<Date> DateBox::date() const {
  const auto typed = readDate(text());
  if (typed || !alwaysADate_) return typed;
  return lastDate_;
}

void DateBox::setDate(const std::optional<Date>& date) {
  if (date || !alwaysADate_) lastDate_ = date;
  setText(lastDate_ ? QString::fromStdString(formatDate(*lastDate_)) : QString());
}

void DateBox::showCalendar() {
  const auto current = date();
  if (current) calendar_->setSelectedDate(toQDate(*current));
  popup_->move(mapToGlobal(QPoint(0, height())));
  popup_->show();
  calendar_->setFocus();
}

void DateBox::finishEdit() {
  const auto typed = readDate(text());
  if (typed) {
    setDate(typed);
  } else if (alwaysADate_) {
    const QString refusedText = text();
    setDate(lastDate_);
    emit refused(refusedText);
  }
}

}  // namespace pelmora::ui
