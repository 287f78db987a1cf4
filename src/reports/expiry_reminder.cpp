#include "reports/expiry_reminder.h"

#include <algorithm>
#include <vector>

#include "store/expiry_counts.h"
#include "store/program_settings.h"

namespace pelmora {

std::optional<ExpiryCounts> countExpiring(DomainDatabase& db, const Date& today,
                                          std::string* error) {
  // Today alone, then today through today+2, +4, +9 and +29.
  std::vector<ExpiryDateRange> ranges{{today, today}};
  for (const int span : {2, 4, 9, 29}) ranges.push_back({today, addDays(today, span)});
  const auto tally = countByExpiryDate(db, today, ranges);
  if (!tally) {
    if (error != nullptr) *error = tally.error();
    return std::nullopt;
  }
  ExpiryCounts counts{tally->before};
  std::copy(tally->inRanges.begin(), tally->inRanges.end(), counts.begin() + 1);
  return counts;
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
