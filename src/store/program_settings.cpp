#include "store/program_settings.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

std::optional<ExpiryCheckUnit> unitFromText(std::string_view text) {
  if (text == "0") return ExpiryCheckUnit::Minutes;
  if (text == "1") return ExpiryCheckUnit::Hours;
  if (text == "2") return ExpiryCheckUnit::Days;
  return std::nullopt;
}

std::int64_t unitMs(ExpiryCheckUnit unit) {
  switch (unit) {
    case ExpiryCheckUnit::Minutes:
      return 60'000;
    case ExpiryCheckUnit::Hours:
      return 3'600'000;
    case ExpiryCheckUnit::Days:
      return 86'400'000;
  }
  return 0;
}

bool validUnit(ExpiryCheckUnit unit) {
  return unit == ExpiryCheckUnit::Minutes || unit == ExpiryCheckUnit::Hours ||
         unit == ExpiryCheckUnit::Days;
}

// The value a write stores: what reading its own texts back would give.
ProgramSettings validated(ProgramSettings settings) {
  if (settings.pageSize <= 0) settings.pageSize = kDefaultPageSize;
  ExpiryCheck& check = settings.expiryCheck;
  if (!validUnit(check.unit)) check = {check.on, 0, ExpiryCheckUnit::Minutes};
  check.period = std::max(check.period, 0);
  if (settings.lookupPaceMs < 0 || settings.lookupPaceMs > kMaxLookupPaceMs) {
    settings.lookupPaceMs = kDefaultLookupPaceMs;
  }
  return settings;
}

}  // namespace

ExpiryCheck parseExpiryCheckText(std::string_view text) {
  const std::vector<std::string> fields = splitText(text, "|");
  ExpiryCheck check;
  if (fields.size() != 3) return check;
  check.on = fields[0] == "1";
  const auto unit = unitFromText(fields[2]);
  if (!unit) return check;
  check.unit = *unit;
  check.period = std::max(readInt(fields[1]), 0);
  return check;
}

std::string expiryCheckText(const ExpiryCheck& check) {
  return std::string(check.on ? "1" : "0") + "|" + std::to_string(check.period) + "|" +
         std::to_string(static_cast<int>(check.unit));
}

int expiryCheckPeriodMs(const ExpiryCheck& check) {
  if (!check.on || !validUnit(check.unit)) return 0;
  const std::int64_t ms = static_cast<std::int64_t>(check.period) * unitMs(check.unit);
  return static_cast<int>(std::clamp<std::int64_t>(ms, 0, INT_MAX));
}

int maxExpiryCheckPeriod(ExpiryCheckUnit unit) {
  return static_cast<int>(INT_MAX / unitMs(validUnit(unit) ? unit : ExpiryCheckUnit::Minutes));
}

ExpiryPeriodCheck checkExpiryPeriodText(std::string_view text, ExpiryCheckUnit unit) {
  if (unit == ExpiryCheckUnit::Minutes && readInt(text) <= 9) {
    return ExpiryPeriodCheck::UnderTenMinutes;
  }
  const std::string digits = trimSpaces(text);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
    return ExpiryPeriodCheck::NotAWholeNumber;
  }
  // readInt saturates, so a very long number still reads as too long.
  if (readInt(digits) > maxExpiryCheckPeriod(unit)) return ExpiryPeriodCheck::TooLong;
  return ExpiryPeriodCheck::Ok;
}

bool isLookupPaceText(std::string_view text) {
  const std::string digits = trimSpaces(text);
  return !digits.empty() && digits.size() <= 5 &&
         digits.find_first_not_of("0123456789") == std::string::npos &&
         readInt(digits) <= kMaxLookupPaceMs;
}

Result<ProgramSettings> readProgramSettings(DomainDatabase& db) {
  const SettingsStore store(db);
  std::array<std::string, kSettingKeys.size()> texts;
  std::string reason;
  std::string snapshotReason;
  const bool ok = db.readTransaction(
      [&](SqliteConnection&) {
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
          const auto text = store.readChecked(kSettingKeys[i]);
          if (!text) {
            reason = text.error();
            return false;
          }
          texts[i] = *text;
        }
        return true;
      },
      &snapshotReason);
  if (!ok) return Failure{reason.empty() ? snapshotReason : reason};
  const auto text = [&](std::string_view key) -> const std::string& {
    const auto at = std::find(kSettingKeys.begin(), kSettingKeys.end(), key);
    return texts[static_cast<std::size_t>(at - kSettingKeys.begin())];
  };
  ProgramSettings settings;
  settings.customTitle = text(kSettingCustomTitle);
  settings.expiryCheck = parseExpiryCheckText(text(kSettingExpiryCheck));
  settings.closeToTray = text(kSettingCloseToTray) == "1";
  settings.pageSize = pageSizeFromText(text(kSettingPageSize));
  settings.registryFirst = text(kSettingRegistryFirst) == "1";
  settings.autoRefreshDates = text(kSettingAutoRefresh) == "1";
  const std::string& pace = text(kSettingLookupPace);
  settings.lookupPaceMs = isLookupPaceText(pace) ? readInt(pace) : kDefaultLookupPaceMs;
  return settings;
}

ProgramSettings programSettingsOrDefaults(DomainDatabase& db) {
  return readProgramSettings(db).value_or(ProgramSettings{});
}

Result<void> writeProgramSettings(DomainDatabase& db, const ProgramSettings& settings) {
  const ProgramSettings valid = validated(settings);
  const std::array<std::pair<std::string_view, std::string>, kSettingKeys.size()> rows{{
      {kSettingPageSize, std::to_string(valid.pageSize)},
      {kSettingExpiryCheck, expiryCheckText(valid.expiryCheck)},
      {kSettingCloseToTray, valid.closeToTray ? "1" : "0"},
      {kSettingCustomTitle, valid.customTitle},
      {kSettingRegistryFirst, valid.registryFirst ? "1" : "0"},
      {kSettingAutoRefresh, valid.autoRefreshDates ? "1" : "0"},
      {kSettingLookupPace, std::to_string(valid.lookupPaceMs)},
  }};
  SettingsStore store(db);
  std::string reason;
  std::string commitReason;
  const bool ok = db.transaction(
      [&](SqliteConnection&) {
        for (const auto& [key, value] : rows) {
          const auto written = store.write(key, value);
          reason = written.error();
          if (!written) return false;
        }
        return true;
      },
      &commitReason);
  if (!ok) return Failure{reason.empty() ? commitReason : reason};
  return {};
}

}  // namespace pelmora
