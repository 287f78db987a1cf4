#pragma once

// Expiry reminders: how many domains have expired, expire today, or within 3,
// 5, 10 and 30 days, and the captions of the reminder menu items.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/domain_database.h"
#include "support/dates.h"

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
