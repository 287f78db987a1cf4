#include "support/whole_file_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace pelmora {
namespace {

// A name beside the target no other writer uses at the same time.
std::filesystem::path partName(const std::filesystem::path& target, int attempt) {
  return target.string() + "." + std::to_string(::getpid()) +
         (attempt > 0 ? "-" + std::to_string(attempt) : std::string()) + ".part";
}

bool syncFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

Result<void> writeFileWhole(const std::filesystem::path& target,
                            const std::function<std::string(std::ostream&)>& fill,
                            bool createFolder) {
  std::error_code ec;
  if (createFolder && target.has_parent_path()) {
    std::filesystem::create_directories(target.parent_path(), ec);
  }
  std::filesystem::path part;
  for (int attempt = 0; attempt < 100; ++attempt) {
    part = partName(target, attempt);
    if (!std::filesystem::exists(part, ec)) break;
  }
  std::string failure;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (!out) return Failure{"cannot write " + target.string() + ": " + std::strerror(errno)};
    failure = fill(out);
    if (failure.empty() && !out.flush()) failure = "cannot write " + target.string();
  }
  if (failure.empty() && !syncFile(part)) {
    failure = "cannot write " + target.string() + ": " + std::strerror(errno);
  }
  if (failure.empty()) {
    std::filesystem::rename(part, target, ec);
    if (ec) failure = "cannot write " + target.string() + ": " + ec.message();
  }
  if (failure.empty()) return {};
  std::filesystem::remove(part, ec);
  return Failure{failure};
}

}  // namespace pelmora
