#include "support/dates.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace pelmora {
namespace {

// Reads 1..maxDigits decimal digits at `pos`; advances `pos`.
std::optional<int> readDigits(std::string_view text, std::size_t& pos, std::size_t minDigits,
                              std::size_t maxDigits) {
  std::size_t start = pos;
  int value = 0;
  while (pos < text.size() && pos - start < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  if (pos - start < minDigits) return std::nullopt;
  return value;
}

bool isSeparator(char c) { return c == '-' || c == '/' || c == '.'; }

}  // namespace

std::optional<Date> parseDate(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const auto year = readDigits(text, pos, 4, 4);
  if (!year || pos >= text.size() || !isSeparator(text[pos])) return std::nullopt;
  const char separator = text[pos++];
  const auto month = readDigits(text, pos, 1, 2);
  if (!month || pos >= text.size() || text[pos] != separator) return std::nullopt;
  ++pos;
  const auto day = readDigits(text, pos, 1, 2);
  if (!day) return std::nullopt;
  // Whatever follows must be a time, separated by a blank or "T"; it is dropped.
  if (pos < text.size()) {
    if (text[pos] != ' ' && text[pos] != 'T') return std::nullopt;
    std::size_t rest = pos + 1;
    while (rest < text.size() && text[rest] == ' ') ++rest;
    if (rest < text.size() && !(text[rest] >= '0' && text[rest] <= '9')) return std::nullopt;
  }
  const Date date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                  std::chrono::day{static_cast<unsigned>(*day)}};
  if (!date.ok() || *year < 1) return std::nullopt;
  return date;
}

std::string formatDate(const Date& date) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return buffer;
}

Date addDays(const Date& date, int days) {
  return Date{std::chrono::sys_days{date} + std::chrono::days{days}};
}

Clock Clock::system() {
  if (const char* forced = std::getenv("PELMORA_TODAY")) {
    if (auto day = parseDate(forced)) return Clock(day);
  }
  return Clock(std::nullopt);
}

Clock Clock::fixed(const Date& today) { return Clock(today); }

std::string formatUtcTime(std::chrono::system_clock::time_point time) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
  return text;
}

std::string Clock::nowUtc() const {
  if (fixed_) return formatDate(*fixed_) + " 12:00:00";
  return formatUtcTime(std::chrono::system_clock::now());
}

Date Clock::today() const {
  if (fixed_) return *fixed_;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{std::chrono::year{local.tm_year + 1900},
              std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
              std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace pelmora
