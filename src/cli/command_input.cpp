#include "cli/command_input.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "support/text_encoding.h"
#include "support/text_helpers.h"

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

std::optional<EditingInput> readEditingInput(DomainDatabase& db,
                                             const std::optional<std::string>& path,
                                             std::string_view prefix, std::ostream& err) {
  const auto bytes = readCommandInput(path);
  if (!bytes) {
    err << prefix << "cannot read " << (path ? escapeForTerminal(*path) : "standard input") << '\n';
    return std::nullopt;
  }
  EditingInput input;
  std::string error;
  if (!input.lists.rebuild(db, &error)) {
    err << prefix << escapeForTerminal(error) << '\n';
    return std::nullopt;
  }
  input.text = decodeTextFile(*bytes);
  return input;
}

}  // namespace pelmora::cli
