#include "store/settings_store.h"

#include "support/numbers.h"

namespace pelmora {

int pageSizeFromText(std::string_view text) {
  const int size = readInt(text);
  return size > 0 ? size : kDefaultPageSize;
}

std::string SettingsStore::read(std::string_view key) const {
  return readChecked(key).value_or(key == kSettingPageSize ? std::to_string(kDefaultPageSize)
                                                           : std::string());
}

Result<std::string> SettingsStore::readChecked(std::string_view key) const {
  std::string value;
  std::string error;
  if (!db_.query(
          "SELECT 值 FROM 设置 WHERE 属性=? LIMIT 1", {std::string(key)},
          [&](const SqlRow& row) { value = row.asText(0); }, &error)) {
    return Failure{error};
  }
  if (value.empty() && key == kSettingPageSize) return std::to_string(kDefaultPageSize);
  return value;
}

Result<void> SettingsStore::write(std::string_view key, std::string_view value) {
  const StatementResult result =
      db_.execute("UPDATE 设置 SET 值=? WHERE 属性=?", {std::string(value), std::string(key)});
  if (result.ok && result.changes == 1) return {};
  return Failure{result.ok ? "the setting " + std::string(key) + " has no row" : result.error};
}

}  // namespace pelmora
