#pragma once

// The few conversions between core values and Qt that every window needs.

#include <QDate>
#include <QString>
#include <string_view>

#include "support/dates.h"

namespace pelmora::ui {

// UTF-8 text from core as a QString.
inline QString q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Gives a new control its objectName (tests find controls by it) and returns it.
template <typename W>
W* named(W* widget, const QString& name) {
  widget->setObjectName(name);
  return widget;
}

inline QDate toQDate(const Date& date) {
  return QDate(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
               static_cast<int>(static_cast<unsigned>(date.day())));
}

inline Date toDate(const QDate& date) {
  return Date{std::chrono::year{date.year()},
              std::chrono::month{static_cast<unsigned>(date.month())},
              std::chrono::day{static_cast<unsigned>(date.day())}};
}

}  // namespace pelmora::ui
