#pragma once

// What a command reads as its input text: a whole file, or standard input.

#include <optional>
#include <string>

namespace pelmora::cli {

// The bytes of the file at `path` (standard input without a path); nullopt
// when it cannot be read (missing, a folder, a read error).
std::optional<std::string> readCommandInput(const std::optional<std::string>& path);

}  // namespace pelmora::cli
