#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "store/domain_database.h"
#include "support/result.h"

namespace pelmora {

inline constexpr std::string_view kSettingPageSize = "每页数量";
inline constexpr std::string_view kSettingExpiryCheck = "到期检测";
inline constexpr std::string_view kSettingCloseToTray = "关闭缩小到任务栏";
inline constexpr std::string_view kSettingCustomTitle = "自定义标题";
inline constexpr std::string_view kSettingRegistryFirst = "注册局优先";
inline constexpr std::string_view kSettingAutoRefresh = "自动更新到期时间";
inline constexpr std::string_view kSettingLookupPace = "查询间隔";

inline constexpr std::array<std::string_view, 7> kSettingKeys{
    kSettingPageSize,      kSettingExpiryCheck, kSettingCloseToTray, kSettingCustomTitle,
    kSettingRegistryFirst, kSettingAutoRefresh, kSettingLookupPace};

inline constexpr int kDefaultPageSize = 100;

// Rows per page from the stored text: anything that is not a positive integer
// (atoi reading) is taken as 100.
int pageSizeFromText(std::string_view text);

// The key/value rows of table 设置.
class SettingsStore {
 public:
  explicit SettingsStore(DomainDatabase& db) : db_(db) {}

  // The value, empty when null or missing; "每页数量" reads "100" when empty.
  std::string read(std::string_view key) const;
  // The same, or why the table cannot be read.
  Result<std::string> readChecked(std::string_view key) const;
  // Updates the key's row; fails when the statement fails or the key has no
  // row.
  Result<void> write(std::string_view key, std::string_view value);

  int pageSize() const { return pageSizeFromText(read(kSettingPageSize)); }

 private:
  DomainDatabase& db_;
};

}  // namespace pelmora
