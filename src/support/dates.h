#pragma once

// Calendar dates as the program reads and writes them: "yyyy-MM-dd" for
// storage and display; the parser also takes what users type in lists and
// cells ("2017-1-3", "2017/01/03", "2017.1.3", optionally followed by a time).

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

using Date = std::chrono::year_month_day;

std::optional<Date> parseDate(std::string_view text);

// "yyyy-MM-dd"
std::string formatDate(const Date& date);

Date addDays(const Date& date, int days);

// "yyyy-MM-dd HH:mm:ss" in UTC.
std::string formatUtcTime(std::chrono::system_clock::time_point time);

// Where "today" comes from. The system clock by default; fixed in tests, and by
// the environment variable PELMORA_TODAY=yyyy-MM-dd for tests and demos.
class Clock {
 public:
  static Clock system();
  static Clock fixed(const Date& today);

  Date today() const;
  // The time now, formatUtcTime; a fixed clock's is noon of its day.
  std::string nowUtc() const;

 private:
  explicit Clock(std::optional<Date> fixedDay) : fixed_(fixedDay) {}
  std::optional<Date> fixed_;
};

}  // namespace pelmora
