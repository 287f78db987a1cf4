#pragma once

// Expiry reminders: how many domains have expired, expire today, or within 3,
// 5, 10 and 30 days, the captions of the reminder menu items, and the domains
// behind the counts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/domain_database.h"
#include "support/dates.h"
#include "support/result.h"

namespace pelmora {

inline constexpr std::string_view kReminderMenuCaption = "#近期有域名要到期#";
inline constexpr std::array<std::string_view, 3> kReminderCycleCaptions{
    "#近期有域名要到期#", "@近期有域名要到期@", "$近期有域名要到期$"};
inline constexpr std::array<std::string_view, 6> kReminderItemCaptions{
    "显示 已到期",    "显示 今天到期",   "显示 3日内到期",
    "显示 5日内到期", "显示 10日内到期", "显示 30日内到期"};
inline constexpr std::string_view kReminderStopCaption = "点我:本次不在提醒";
// The filter window's expiry choice each item selects (index into 组合框_到期).
inline constexpr std::array<std::string_view, 6> kReminderExpiryChoices{"已到期", "今天", "3",
                                                                        "5",      "10",   "30"};

using ExpiryCounts = std::array<std::int64_t, 6>;

// The six counts, in item order: expired, today, and today through today+2,
// +4, +9 and +29. nullopt (reason in `error`) when a count fails.
std::optional<ExpiryCounts> countExpiring(DomainDatabase& db, const Date& today,
                                          std::string* error = nullptr);

// The reminder's name: its item caption without "显示 " (已到期, 今天到期,
// 3日内到期, 5日内到期, 10日内到期, 30日内到期).
std::string_view reminderName(std::size_t item);

// A domain behind the counts, under the first reminder (in item order) whose
// count holds it. The counts are cumulative (3日内 holds 今天 too); a domain
// is listed once, under the tightest.
struct ReminderDomain {
  std::size_t item = 0;  // index into kReminderItemCaptions
  std::string name;
  std::string expiresOn;                 // yyyy-MM-dd
  std::optional<std::int64_t> daysLeft;  // negative once expired
  std::optional<std::string> registrar;
};

// The domains countExpiring counts on `today`, each once, ordered by expiry
// date, then name.
Result<std::vector<ReminderDomain>> listExpiring(DomainDatabase& db, const Date& today);

// Who gave a reminder: `pelmora-cli expiring --new` or the window.
enum class ReminderSource { Command, Window };

// Of `domains`, those `source` has not given their reminder yet for their
// present expiry date.
Result<std::vector<ReminderDomain>> withoutReminderGiven(DomainDatabase& db,
                                                         std::vector<ReminderDomain> domains,
                                                         ReminderSource source);

// Remembers that `source` gave these domains their reminders, at `nowUtc`;
// a source's reminders for a domain that is gone or was renewed are dropped.
// One transaction.
Result<void> rememberRemindersGiven(DomainDatabase& db, const std::vector<ReminderDomain>& domains,
                                    ReminderSource source, const std::string& nowUtc);

// The item caption after a check: any earlier "[ n ] " prefix removed, then
// "[ count ] " or, for 0, "[ 无 ] " put in front.
std::string reminderItemCaption(std::string_view currentCaption, std::int64_t count);

// The setting "到期检测" (see ExpiryCheck in program_settings.h) as the
// reminder timer takes it.
struct ExpiryCheckSetting {
  bool on = false;
  // The timer period; computed in 64 bits and clamped to what a timer takes
  // (0 .. 2,147,483,647 ms). 0 stops the timer.
  int periodMs = 0;
};

ExpiryCheckSetting parseExpiryCheck(std::string_view value);

}  // namespace pelmora
