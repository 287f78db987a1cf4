#include "store/upgrade_backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>

#include "store/domain_database.h"
#include "store/sqlite_connection.h"

namespace pelmora {
namespace {

constexpr std::string_view kBackupMark = ".bak-";
// Enough for any number of upgrades on one day; past it the day is full.
constexpr int kMaxBackupsPerDay = 999;

void setError(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
}

std::filesystem::path backupPath(const std::filesystem::path& database, const std::string& date,
                                 int number) {
  std::string name = database.string() + std::string(kBackupMark) + date;
  if (number > 1) name += "-" + std::to_string(number);
  return name;
}

struct BackupName {
  std::string date;
  int number = 1;
  std::filesystem::path path;
};

bool allDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "<file>.bak-yyyy-MM-dd" is the day's first copy, "<file>.bak-yyyy-MM-dd-N"
// its N-th; anything else in the folder is not ours to touch.
std::optional<BackupName> readBackupName(const std::filesystem::path& entry,
                                         const std::string& prefix) {
  const std::string name = entry.filename().string();
  if (name.rfind(prefix, 0) != 0) return std::nullopt;
  std::string_view rest = std::string_view(name).substr(prefix.size());
  if (rest.size() < 10 || !allDigits(rest.substr(0, 4)) || rest[4] != '-' ||
      !allDigits(rest.substr(5, 2)) || rest[7] != '-' || !allDigits(rest.substr(8, 2))) {
    return std::nullopt;
  }
  BackupName backup{std::string(rest.substr(0, 10)), 1, entry};
  rest.remove_prefix(10);
  if (rest.empty()) return backup;
  if (rest[0] != '-' || rest.size() > 4 || !allDigits(rest.substr(1))) return std::nullopt;
  backup.number = std::stoi(std::string(rest.substr(1)));
  if (backup.number < 2) return std::nullopt;
  return backup;
}

// VACUUM INTO from a connection of its own: the writer's connection is inside
// its transaction, where VACUUM cannot run, and holds the write lock, so this
// reader sees the file exactly as last committed.
bool copyDatabase(const std::filesystem::path& database, const std::filesystem::path& target,
                  std::string* error) {
  SqliteConnection source;
  if (!source.open(database.string(), SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, error)) {
    return false;
  }
  source.setBusyTimeout(kOpenBusyTimeoutMs);
  SqliteStatement copy = source.prepare("VACUUM INTO ?");
  if (copy.valid() && copy.bind({target.string()})) copy.step();
  if (!copy.valid() || copy.failed()) {
    setError(error, source.lastError());
    return false;
  }
  // VACUUM INTO does not sync what it wrote.
  const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (!synced) setError(error, std::strerror(errno));
  if (fd >= 0) ::close(fd);
  return synced;
}

}  // namespace

std::vector<std::filesystem::path> upgradeBackups(const std::filesystem::path& database) {
  const std::string prefix = database.filename().string() + std::string(kBackupMark);
  std::vector<BackupName> found;
  std::error_code ec;
  const auto folder = database.has_parent_path() ? database.parent_path() : ".";
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (auto backup = readBackupName(entry.path(), prefix)) found.push_back(std::move(*backup));
  }
  std::sort(found.begin(), found.end(), [](const BackupName& a, const BackupName& b) {
    return a.date != b.date ? a.date < b.date : a.number < b.number;
  });
  std::vector<std::filesystem::path> paths;
  for (BackupName& backup : found) paths.push_back(std::move(backup.path));
  return paths;
}

std::optional<std::filesystem::path> writeUpgradeBackup(const std::filesystem::path& database,
                                                        const Date& today, std::string* error) {
  const std::string date = formatDate(today);
  std::filesystem::path target;
  int fd = -1;
  for (int number = 1; number <= kMaxBackupsPerDay && fd < 0; ++number) {
    target = backupPath(database, date, number);
    fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) {
      setError(error, "cannot write the backup " + target.string() + ": " + std::strerror(errno));
      return std::nullopt;
    }
  }
  if (fd < 0) {
    setError(error, "no free name for another backup of " + database.string() + " today");
    return std::nullopt;
  }
  ::close(fd);
  std::string reason;
  if (!copyDatabase(database, target, &reason)) {
    std::error_code ec;
    std::filesystem::remove(target, ec);
    setError(error, "cannot write the backup " + target.string() + ": " + reason);
    return std::nullopt;
  }
  std::vector<std::filesystem::path> backups = upgradeBackups(database);
  // A copy that cannot be deleted is left for the user; it harms nothing.
  for (std::size_t i = 0; i + kKeptUpgradeBackups < backups.size(); ++i) {
    std::error_code ec;
    if (backups[i] != target) std::filesystem::remove(backups[i], ec);
  }
  return target;
}

}  // namespace pelmora
