#include "reports/expiry_reminder.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora {

std::optional<ExpiryCounts> countExpiring(DomainDatabase& db, const Date& today,
                                          std::string* error) {
  const std::string t = formatDate(today);
  ExpiryCounts counts{};
  bool ok = true;
  const auto count = [&](std::size_t index, const std::string& condition, const SqlParams& params) {
    if (!ok) return;
    const auto value = db.count("SELECT count(*) FROM 域名 WHERE " + condition, params, error);
    ok = value.has_value();
    if (ok) counts[index] = *value;
  };
  count(0, "到期时间 < ?", {t});
  count(1, "到期时间 = ?", {t});
  const std::array<int, 4> spans{2, 4, 9, 29};
  for (std::size_t i = 0; i < spans.size(); ++i) {
    count(i + 2, "到期时间 BETWEEN ? AND ?", {t, formatDate(addDays(today, spans[i]))});
  }
  if (!ok) return std::nullopt;
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
  const std::vector<std::string> fields = splitText(value, "|");
  ExpiryCheckSetting setting;
  if (fields.size() != 3 || fields[0] != "1") return setting;
  setting.on = true;
  const std::int64_t period = readInt(fields[1]);
  std::int64_t unitMs = 0;
  if (fields[2] == "0") unitMs = 60'000;
  if (fields[2] == "1") unitMs = 3'600'000;
  if (fields[2] == "2") unitMs = 86'400'000;
  setting.periodMs = static_cast<int>(std::clamp<std::int64_t>(period * unitMs, 0, INT_MAX));
  return setting;
}

}  // namespace pelmora
