#pragma once

// A damaged file is not written: before the window or a writing command
// changes domain.mdb, SQLite's quick_check reads all of it. Writing into a
// file whose pages are broken spreads the damage over pages that were sound.
//
// At a million domains the check takes seconds, so the window runs it in the
// background, and a writing command runs it only when the file changed since
// its last clean check. That check is noted in the lock file (see
// DomainDatabase::note) as the file's state on disk, and a writer that found
// the file sound notes the state it leaves behind when it closes: what only
// SQLite wrote through our own connection needs no new check.

#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>

#include "store/domain_database.h"

namespace pelmora {

inline constexpr std::string_view kDamagedFileMessage =
    "数据库文件未通过检查(已损坏或无法读取),为免损坏扩大,不再写入.";

enum class CheckWhen {
  Always,
  IfChanged,  // a file as it was at its last clean check is taken as sound
};

struct FileCheck {
  bool sound = false;
  // When not sound: what SQLite found, or why the file could not be checked.
  // Empty when the check was stopped before it ended.
  std::string problem;
};

// What the file system says of a file: device, inode, size, modification and
// status-change times. A write, a file put in its place or a copy over it
// changes it; unlike the modification time, the status-change time cannot be
// set back (as copying tools do). Empty when the file cannot be looked at.
std::string fileStamp(const std::filesystem::path& path);

// Checks the file of `db` on a read-only connection of its own, so the
// writer's connection stays free meanwhile (the window's page loads). A file
// that is damaged or cannot be checked makes `db` refuse every write from
// then on, with the problem as the reason. `stop` ends the check early; then
// nothing is decided.
FileCheck checkBeforeWriting(DomainDatabase& db, CheckWhen when, std::stop_token stop = {});

}  // namespace pelmora
