#include "cli/command_input.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace pelmora::cli {

std::optional<std::string> readCommandInput(const std::optional<std::string>& path) {
  if (!path) {
    std::ostringstream bytes;
    bytes << std::cin.rdbuf();
    if (std::cin.bad()) return std::nullopt;
    return std::move(bytes).str();
  }
  std::error_code ec;
  if (std::filesystem::is_directory(*path, ec)) return std::nullopt;
  std::ifstream file(*path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return bytes;
}

}  // namespace pelmora::cli
