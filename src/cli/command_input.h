#pragma once

// What a command reads as its input: a file, or standard input, read as a
// list of lines while it comes in, within fixed limits.

#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "support/list_lines.h"

namespace pelmora::cli {

inline constexpr LineLimits kCommandInputLimits{1024 * 1024, 256 * 1024 * 1024};

// The file at `path`, or standard input without a path.
class CommandInput {
 public:
  explicit CommandInput(const std::optional<std::string>& path);
  CommandInput(const CommandInput&) = delete;
  CommandInput& operator=(const CommandInput&) = delete;

  // Why the input cannot be read (it cannot be opened, or reading it stopped
  // early), naming it; empty while it can.
  std::string problem() const;
  // Only when it could be opened.
  ListLineReader& lines() { return *reader_; }

 private:
  std::string shownName() const;

  std::optional<std::string> path_;
  std::ifstream file_;
  std::string openError_;  // the system's reason when the file cannot be opened
  std::optional<ListLineReader> reader_;
};

// The editing commands' start: the input can be opened, and the
// classification lists to check it against. On failure the reason goes to
// `err` after `prefix` and the result is empty.
std::optional<ClassificationLists> openEditingInput(DomainDatabase& db, const CommandInput& input,
                                                    std::string_view prefix, std::ostream& err);

// Every line of the input; on failure the reason goes to `err` after `prefix`.
std::optional<std::vector<std::string>> readInputLines(CommandInput& input, std::string_view prefix,
                                                       std::ostream& err);

// The whole input as one text, line breaks kept; on failure as above.
std::optional<std::string> readInputText(CommandInput& input, std::string_view prefix,
                                         std::ostream& err);

}  // namespace pelmora::cli
