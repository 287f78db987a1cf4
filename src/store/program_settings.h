#pragma once

// The program's settings (table 设置) as one typed value, read and written
// together. The stored texts keep the forms the program has always written.

#include <optional>
#include <string>
#include <string_view>

#include "store/domain_database.h"
#include "store/settings_store.h"
#include "support/result.h"

namespace pelmora {

enum class ExpiryCheckUnit { Minutes = 0, Hours = 1, Days = 2 };

// "到期检测": on-flag|period|unit, e.g. "1|30|0" (on, every 30 minutes).
struct ExpiryCheck {
  bool on = false;
  int period = 0;  // in units; never negative
  ExpiryCheckUnit unit = ExpiryCheckUnit::Minutes;

  bool operator==(const ExpiryCheck&) const = default;
};

// Anything but three fields is off; the flag is on only for "1"; the period
// is read like atoi, a negative one is 0; a unit other than "0", "1", "2"
// gives a period of 0 minutes.
ExpiryCheck parseExpiryCheckText(std::string_view text);
// "1|30|0"; the flag as "1" or "0".
std::string expiryCheckText(const ExpiryCheck& check);
// The timer period in milliseconds, computed in 64 bits and clamped to what a
// timer takes (0 .. 2,147,483,647); 0 when off. 0 stops the timer.
int expiryCheckPeriodMs(const ExpiryCheck& check);

// The settings window's rule for a typed period, checked in this order: a
// period under 10 minutes is refused (read like atoi, so also "abc", "-1"
// and an empty box when the unit is minutes, whether or not the reminder is
// on); then anything but a whole number of 0 or more is refused; then a
// period longer than a timer can hold (maxExpiryCheckPeriod). Hours and days
// have no lower bound: 0 stops the timer after one check.
enum class ExpiryPeriodCheck { Ok, UnderTenMinutes, NotAWholeNumber, TooLong };
ExpiryPeriodCheck checkExpiryPeriodText(std::string_view text, ExpiryCheckUnit unit);
// The longest period in `unit` whose milliseconds fit a timer: 35791 minutes,
// 596 hours or 24 days.
int maxExpiryCheckPeriod(ExpiryCheckUnit unit);

inline constexpr int kDefaultLookupPaceMs = 1000;
inline constexpr int kMaxLookupPaceMs = 60000;

// Whether a typed 查询间隔 is a whole number of 0 .. kMaxLookupPaceMs.
bool isLookupPaceText(std::string_view text);

struct ProgramSettings {
  std::string customTitle;          // 自定义标题
  ExpiryCheck expiryCheck;          // 到期检测
  bool closeToTray = false;         // 关闭缩小到任务栏: "1" / "0"
  int pageSize = kDefaultPageSize;  // 每页数量: a positive integer
  bool registryFirst = false;       // 注册局优先: "1" / "0"
  bool autoRefreshDates = false;    // 自动更新到期时间: "1" / "0"
  // 查询间隔: the least milliseconds between two requests to one server
  // (RDAP servers half of it); anything but a whole number up to
  // kMaxLookupPaceMs reads as the default.
  int lookupPaceMs = kDefaultLookupPaceMs;

  bool operator==(const ProgramSettings&) const = default;
};

// The settings in one read. A missing row reads as its default; fails
// when the table cannot be read.
Result<ProgramSettings> readProgramSettings(DomainDatabase& db);

// The same for callers that carry on with the defaults when the table cannot
// be read (as they did with an empty value).
ProgramSettings programSettingsOrDefaults(DomainDatabase& db);

// Writes them all in one transaction, with odd values made valid the way a
// read would take them (a page size below 1 is 100, a negative period 0).
// Nothing is written when one of them fails, also when a key has no row.
Result<void> writeProgramSettings(DomainDatabase& db, const ProgramSettings& settings);

}  // namespace pelmora
