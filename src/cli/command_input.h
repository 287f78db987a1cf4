#pragma once

// What a command reads as its input text: a whole file, or standard input.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "store/classification_lists.h"
#include "store/domain_database.h"

namespace pelmora::cli {

// The bytes of the file at `path` (standard input without a path); nullopt
// when it cannot be read (missing, a folder, a read error).
std::optional<std::string> readCommandInput(const std::optional<std::string>& path);

// The editing commands' input: the file's (or standard input's) text with its
// encoding detected, and the classification lists to check it against. On
// failure the reason goes to `err` after `prefix` and the result is empty.
struct EditingInput {
  std::string text;
  ClassificationLists lists;
};
std::optional<EditingInput> readEditingInput(DomainDatabase& db,
                                             const std::optional<std::string>& path,
                                             std::string_view prefix, std::ostream& err);

}  // namespace pelmora::cli
