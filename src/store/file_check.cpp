#include "store/file_check.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <vector>

namespace pelmora {
namespace {

constexpr std::string_view kCheckedNoteKey = "checked";

std::string nanoseconds(const timespec& time) {
  return std::to_string(time.tv_sec) + '.' + std::to_string(time.tv_nsec);
}

// The file and its write-ahead log as they are on disk. An empty log holds
// nothing: SQLite makes one when it opens a file in WAL mode and removes it
// when it closes, so it counts as none.
std::string diskState(const std::filesystem::path& path) {
  const std::string file = fileStamp(path);
  if (file.empty()) return {};
  const std::filesystem::path log = path.string() + "-wal";
  std::error_code ec;
  const auto logSize = std::filesystem::file_size(log, ec);
  if (ec == std::errc::no_such_file_or_directory || (!ec && logSize == 0)) return file + " -";
  const std::string logStamp = ec ? std::string() : fileStamp(log);
  return logStamp.empty() ? std::string() : file + ' ' + logStamp;
}

// quick_check on a read-only connection of its own.
FileCheck quickCheck(const std::filesystem::path& path, const std::stop_token& stop) {
  SqliteConnection checker;
  std::string reason;
  if (!checker.open(path.string(), SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, &reason)) {
    return {false, "cannot check " + path.string() + ": " + reason};
  }
  checker.setBusyTimeout(kBusyTimeoutMs);
  checker.setStopCheck([&stop] { return stop.stop_requested(); });
  // Three complaints say what is wrong; the rest would only take longer.
  SqliteStatement check = checker.prepare("PRAGMA quick_check(3)");
  std::vector<std::string> complaints;
  while (check.step()) complaints.push_back(check.row().text(0));
  if (stop.stop_requested()) return {};
  if (!check.valid() || check.failed()) {
    return {false, "cannot check " + path.string() + ": " + checker.lastError()};
  }
  if (complaints == std::vector<std::string>{"ok"}) return {true, {}};
  std::string problem = path.string() + " is damaged:";
  for (const std::string& complaint : complaints) problem += ' ' + complaint;
  return {false, problem};
}

}  // namespace

std::string fileStamp(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino) + ':' +
         std::to_string(info.st_size) + ':' + nanoseconds(info.st_mtim) + ':' +
         nanoseconds(info.st_ctim);
}

FileCheck checkBeforeWriting(DomainDatabase& db, CheckWhen when, std::stop_token stop) {
  const std::filesystem::path path = db.path();
  const std::string before = diskState(path);
  FileCheck result;
  if (when == CheckWhen::IfChanged && !before.empty() && db.note(kCheckedNoteKey) == before) {
    result.sound = true;
  } else {
    result = quickCheck(path, stop);
    if (result.sound && !before.empty()) db.setNote(kCheckedNoteKey, before);
  }
  if (result.sound) {
    db.setNoteOnClose(std::string(kCheckedNoteKey), [path] { return diskState(path); });
  } else if (!result.problem.empty()) {
    db.refuseWrites(result.problem);
  }
  return result;
}

}  // namespace pelmora
