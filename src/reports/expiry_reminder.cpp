#include "reports/expiry_reminder.h"

#include <algorithm>
#include <vector>

#include "store/expiry_counts.h"
#include "store/program_settings.h"
#include "store/reminder_marks.h"

namespace pelmora {
namespace {

// The ranges of the items after 已到期: today alone, then today through
// today+2, +4, +9 and +29.
std::vector<ExpiryDateRange> reminderRanges(const Date& today) {
  std::vector<ExpiryDateRange> ranges{{today, today}};
  for (const int span : {2, 4, 9, 29}) ranges.push_back({today, addDays(today, span)});
  return ranges;
}

std::string sourceName(ReminderSource source) {
  return source == ReminderSource::Command ? "cli" : "window";
}

std::vector<ReminderMark> marksOf(const std::vector<ReminderDomain>& domains) {
  std::vector<ReminderMark> marks;
  marks.reserve(domains.size());
  for (const ReminderDomain& domain : domains) {
    marks.push_back({domain.name, std::string(reminderName(domain.item)), domain.expiresOn});
  }
  return marks;
}

}  // namespace

std::optional<ExpiryCounts> countExpiring(DomainDatabase& db, const Date& today,
                                          std::string* error) {
  const auto tally = countByExpiryDate(db, today, reminderRanges(today));
  if (!tally) {
    if (error != nullptr) *error = tally.error();
    return std::nullopt;
  }
  ExpiryCounts counts{tally->before};
  std::copy(tally->inRanges.begin(), tally->inRanges.end(), counts.begin() + 1);
  return counts;
}

std::string_view reminderName(std::size_t item) {
  const std::string_view caption = kReminderItemCaptions.at(item);
  return caption.substr(caption.find(' ') + 1);
}

Result<std::vector<ReminderDomain>> listExpiring(DomainDatabase& db, const Date& today) {
  const auto grouped = listByExpiryDate(db, today, reminderRanges(today));
  if (!grouped) return Failure{grouped.error()};
  const auto todayDays = std::chrono::sys_days(today);
  std::vector<ReminderDomain> domains;
  domains.reserve(grouped->size());
  for (const ExpiryGroupedDomain& found : *grouped) {
    std::optional<std::int64_t> daysLeft;
    if (const auto expires = parseDate(found.expiresOn)) {
      daysLeft = (std::chrono::sys_days(*expires) - todayDays).count();
    }
    domains.push_back({found.group, found.name, found.expiresOn, daysLeft, found.registrar});
  }
  return domains;
}

Result<std::vector<ReminderDomain>> withoutReminderGiven(DomainDatabase& db,
                                                         std::vector<ReminderDomain> domains,
                                                         ReminderSource source) {
  const auto given = findReminderMarks(db, sourceName(source), marksOf(domains));
  if (!given) return Failure{given.error()};
  std::vector<ReminderDomain> fresh;
  for (std::size_t i = 0; i < domains.size(); ++i) {
    if (!(*given)[i]) fresh.push_back(std::move(domains[i]));
  }
  return fresh;
}

Result<void> rememberRemindersGiven(DomainDatabase& db, const std::vector<ReminderDomain>& domains,
                                    ReminderSource source, const std::string& nowUtc) {
  return recordReminderMarks(db, sourceName(source), marksOf(domains), nowUtc);
}

std::string reminderItemCaption(std::string_view currentCaption, std::int64_t count) {
  std::string_view base = currentCaption;
  if (base.find(']') != std::string_view::npos) {
    const std::size_t cut = base.rfind("] ");
    if (cut != std::string_view::npos) base = base.substr(cut + 2);
  }
  const std::string prefix = count != 0 ? "[ " + std::to_string(count) + " ] " : "[ 无 ] ";
  return prefix + std::string(base);
}

ExpiryCheckSetting parseExpiryCheck(std::string_view value) {
  const ExpiryCheck check = parseExpiryCheckText(value);
  return {check.on, expiryCheckPeriodMs(check)};
}

}  // namespace pelmora
