#pragma once

// Lists pasted into the editing windows, and the same lists read by the CLI:
// one item per line.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/text_encoding.h"

namespace pelmora {

// Splits at every line break: CR LF, or LF alone (Qt's edit boxes and Unix
// files). An empty line between two breaks is a line; the empty rest after a
// final break is not, and an empty text has no lines. A lone CR stays in its
// line.
std::vector<std::string> splitListLines(std::string_view text);

// The count a list's caption shows: the lines left after one leading and one
// trailing line break are dropped and every blank line (only white space) is
// removed; 0 for an empty text.
std::size_t countListLines(std::string_view text);

// What a reader refuses, in bytes as read.
struct LineLimits {
  std::size_t line;   // one line without its break (CR LF or LF)
  std::size_t input;  // the whole input
};

// A text file read as a list while it comes in: lines split as splitListLines
// splits them and decoded as decodeTextFile decodes, except that unmarked text
// is judged by the 64 KiB from its first byte beyond ASCII rather than by the
// whole file. Holds about one line and one 64 KiB piece at a time.
class ListLineReader {
 public:
  // `knownSize` (a regular file's) over the input limit refuses the input
  // before a byte is read.
  ListLineReader(std::istream& in, LineLimits limits,
                 std::optional<std::uintmax_t> knownSize = std::nullopt);

  // The next line, without its break; false after the last one, or when the
  // input cannot be read or breaks a limit (error() then says which, and
  // every later call is false too).
  bool next(std::string& line);
  // Why reading stopped before the end; empty otherwise.
  const std::string& error() const { return error_; }
  // What ended the line next() gave: "\r\n", "\n", or nothing for a last
  // line without a break.
  std::string_view lineBreak() const { return lineBreak_; }

 private:
  bool fill();
  std::optional<std::size_t> findBreak() const;
  std::size_t carriageReturnBefore(std::size_t end) const;
  bool chooseEncoding(std::size_t at);

  std::istream& in_;
  LineLimits limits_;
  std::optional<std::uintmax_t> knownSize_;
  std::string buffer_;
  std::size_t start_ = 0;  // the first byte of buffer_ not yet handed over
  std::uintmax_t read_ = 0;
  std::size_t lines_ = 0;
  bool started_ = false;
  bool atEnd_ = false;
  std::optional<TextEncoding> encoding_;  // none while unmarked text has been plain ASCII
  std::string error_;
  std::string_view lineBreak_;
};

}  // namespace pelmora
