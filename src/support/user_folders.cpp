#include "support/user_folders.h"

#include <cstdlib>

namespace pelmora {

std::filesystem::path userFolder(const char* variable, std::string_view underHome) {
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return std::filesystem::path(set) / "pelmora";
  const char* home = std::getenv("HOME");
  const std::filesystem::path base = home != nullptr && home[0] == '/' ? home : "/tmp";
  return base / underHome / "pelmora";
}

}  // namespace pelmora
