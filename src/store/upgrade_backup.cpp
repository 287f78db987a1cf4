#include "store/upgrade_backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>

#include "store/domain_database.h"
#include "store/file_check.h"
#include "store/sqlite_connection.h"

namespace pelmora {
namespace {

constexpr std::string_view kBackupMark = ".bak-";
// Not a backup name (see readBackupName): the copy while it is written.
constexpr std::string_view kUnfinishedName = ".bak-unfinished";
constexpr std::string_view kBackupNoteKey = "backup";
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

// What an interrupted copy left: the copy and SQLite's journal of it, which
// would otherwise be taken for the journal of the next copy.
bool removeUnfinished(const std::filesystem::path& unfinished, std::string* error) {
  for (const char* suffix : {"", "-journal", "-wal"}) {
    const std::filesystem::path path = unfinished.string() + suffix;
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec) {
      setError(error, "cannot remove the unfinished backup " + path.string() + ": " + ec.message());
      return false;
    }
  }
  return true;
}

// FNV-1a over 8-byte words: enough to tell whether the bytes changed (nobody
// forges them), and fast enough for a large file.
class ContentHash {
 public:
  void add(const char* bytes, std::size_t size) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes + i, 8);
      mix(word);
    }
    for (; i < size; ++i) mix(static_cast<unsigned char>(bytes[i]));
  }
  std::string text() const { return std::to_string(hash_); }

 private:
  void mix(std::uint64_t value) {
    hash_ ^= value;
    hash_ *= 0x100000001b3ull;
  }
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

// The size and hash of the file and of its write-ahead log: a copy made from
// the same bytes is a copy of the file as it is now.
std::optional<std::string> contentPrint(const std::filesystem::path& database, std::string* error) {
  std::string print;
  for (const std::string& name : {database.string(), database.string() + "-wal"}) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && !print.empty()) {
      print += " -";
      continue;
    }
    if (fd < 0) {
      setError(error, "cannot read " + name + ": " + std::strerror(errno));
      return std::nullopt;
    }
    ContentHash hash;
    std::vector<char> buffer(1 << 20);
    std::uint64_t size = 0;
    ssize_t got = 0;
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
      hash.add(buffer.data(), static_cast<std::size_t>(got));
      size += static_cast<std::uint64_t>(got);
    }
    const int readError = errno;
    ::close(fd);
    if (got < 0) {
      setError(error, "cannot read " + name + ": " + std::strerror(readError));
      return std::nullopt;
    }
    print += ' ' + std::to_string(size) + ':' + hash.text();
  }
  return print;
}

// The note that tells which copy was made from which bytes; the copy's own
// stamp shows that it was not changed or replaced since.
std::string backupNote(const std::filesystem::path& backup, const std::string& print) {
  const std::string stamp = fileStamp(backup);
  return stamp.empty() ? std::string() : backup.filename().string() + '|' + stamp + '|' + print;
}

// Gives the finished copy the first free backup name of `date`; an existing
// file is never replaced.
std::optional<std::filesystem::path> nameCopy(const std::filesystem::path& unfinished,
                                              const std::filesystem::path& database,
                                              const std::string& date, std::string* error) {
  for (int number = 1; number <= kMaxBackupsPerDay; ++number) {
    const std::filesystem::path target = backupPath(database, date, number);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, ec))) continue;
    int rc = ::renameat2(AT_FDCWD, unfinished.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    // File systems without that flag: the name was free a moment ago.
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
      rc = ::rename(unfinished.c_str(), target.c_str());
    }
    if (rc == 0) return target;
    if (errno == EEXIST) continue;
    setError(error, "cannot name the backup " + target.string() + ": " + std::strerror(errno));
    return std::nullopt;
  }
  setError(error, "no free name for another backup of " + database.string() + " today");
  return std::nullopt;
}

// The new name is recorded in the folder; some file systems cannot sync a
// folder, and the copy itself is synced already.
void syncFolder(const std::filesystem::path& file) {
  const int fd = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  [[maybe_unused]] const int ignored = ::fsync(fd);
  ::close(fd);
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

namespace {

std::optional<std::filesystem::path> writeBackup(DomainDatabase& db, const Date& today,
                                                 std::string* error) {
  const std::filesystem::path& database = db.path();
  const std::filesystem::path unfinished = database.string() + std::string(kUnfinishedName);
  if (!removeUnfinished(unfinished, error)) return std::nullopt;
  std::string reason;
  const auto print = contentPrint(database, &reason);
  if (!print) {
    setError(error, "cannot write the backup: " + reason);
    return std::nullopt;
  }
  const std::string noted = db.note(kBackupNoteKey);
  std::vector<std::filesystem::path> backups = upgradeBackups(database);
  for (const std::filesystem::path& backup : backups) {
    if (!noted.empty() && backupNote(backup, *print) == noted) return backup;
  }

  const int fd =
      ::open(unfinished.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    setError(error, "cannot write the backup " + unfinished.string() + ": " + std::strerror(errno));
    return std::nullopt;
  }
  ::close(fd);
  if (!copyDatabase(database, unfinished, &reason)) {
    removeUnfinished(unfinished, nullptr);
    setError(error, "cannot write the backup " + unfinished.string() + ": " + reason);
    return std::nullopt;
  }
  const auto target = nameCopy(unfinished, database, formatDate(today), error);
  if (!target) {
    removeUnfinished(unfinished, nullptr);
    return std::nullopt;
  }
  syncFolder(*target);
  db.setNote(kBackupNoteKey, backupNote(*target, *print));

  backups = upgradeBackups(database);
  // A copy that cannot be deleted is left for the user; it harms nothing.
  for (std::size_t i = 0; i + kKeptUpgradeBackups < backups.size(); ++i) {
    std::error_code ec;
    if (backups[i] != *target) std::filesystem::remove(backups[i], ec);
  }
  return target;
}

}  // namespace

Result<std::filesystem::path> writeUpgradeBackup(DomainDatabase& db, const Date& today) {
  std::string error;
  auto backup = writeBackup(db, today, &error);
  if (!backup) return Failure{error};
  return *std::move(backup);
}

}  // namespace pelmora
