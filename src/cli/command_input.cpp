#include "cli/command_input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "support/text_helpers.h"

namespace pelmora::cli {

CommandInput::CommandInput(const std::optional<std::string>& path) : path_(path) {
  if (!path) {
    reader_.emplace(std::cin, kCommandInputLimits);
    return;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(*path, ec)) {
    openError_ = std::strerror(EISDIR);
    return;
  }
  errno = 0;
  file_.open(*path, std::ios::binary);
  if (!file_) {
    openError_ = errno != 0 ? std::strerror(errno) : "cannot be opened";
    return;
  }
  std::optional<std::uintmax_t> size;
  if (std::filesystem::is_regular_file(*path, ec)) {
    const auto bytes = std::filesystem::file_size(*path, ec);
    if (!ec) size = bytes;
  }
  reader_.emplace(file_, kCommandInputLimits, size);
}

std::string CommandInput::shownName() const {
  return path_ ? *path_ : std::string("standard input");
}

std::string CommandInput::problem() const {
  if (!reader_) return "cannot read " + shownName() + ": " + openError_;
  if (reader_->error().empty()) return {};
  return shownName() + ": " + reader_->error();
}

std::optional<ClassificationLists> openEditingInput(DomainDatabase& db, const CommandInput& input,
                                                    std::string_view prefix, std::ostream& err) {
  if (!input.problem().empty()) {
    err << prefix << escapeForTerminal(input.problem()) << '\n';
    return std::nullopt;
  }
  ClassificationLists lists;
  if (const auto rebuilt = lists.rebuild(db); !rebuilt) {
    err << prefix << escapeForTerminal(rebuilt.error()) << '\n';
    return std::nullopt;
  }
  return lists;
}

std::optional<std::vector<std::string>> readInputLines(CommandInput& input, std::string_view prefix,
                                                       std::ostream& err) {
  std::vector<std::string> lines;
  std::string line;
  while (input.lines().next(line)) lines.push_back(std::move(line));
  if (!input.problem().empty()) {
    err << prefix << escapeForTerminal(input.problem()) << '\n';
    return std::nullopt;
  }
  return lines;
}

std::optional<std::string> readInputText(CommandInput& input, std::string_view prefix,
                                         std::ostream& err) {
  std::string text;
  std::string line;
  while (input.lines().next(line)) {
    text += line;
    text += input.lines().lineBreak();
  }
  if (!input.problem().empty()) {
    err << prefix << escapeForTerminal(input.problem()) << '\n';
    return std::nullopt;
  }
  return text;
}

}  // namespace pelmora::cli
