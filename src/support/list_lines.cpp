#include "support/list_lines.h"

#include <algorithm>
#include <istream>

namespace pelmora {
namespace {

bool isBlank(std::string_view line) {
  for (char c : line) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\v' && c != '\f') return false;
  }
  return true;
}

// Calls `onLine` for each line of `text` (CR LF or LF ends a line); the empty
// rest after a final break is no line.
template <typename OnLine>
void forEachLine(std::string_view text, OnLine onLine) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      onLine(text.substr(start));
      return;
    }
    std::size_t end = lf;
    if (end > start && text[end - 1] == '\r') --end;
    onLine(text.substr(start, end - start));
    start = lf + 1;
  }
}

constexpr std::size_t kPiece = 64 * 1024;
constexpr std::size_t kEncodingSample = 64 * 1024;

std::string sizeText(std::uintmax_t bytes) {
  constexpr std::uintmax_t kMiB = 1024 * 1024;
  if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

bool isWide(std::optional<TextEncoding> encoding) {
  return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

}  // namespace

std::vector<std::string> splitListLines(std::string_view text) {
  std::vector<std::string> lines;
  forEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::size_t countListLines(std::string_view text) {
  // Blank lines are not counted wherever they stand, so the leading and
  // trailing breaks the caption rule drops never add to the count.
  std::size_t count = 0;
  forEachLine(text, [&](std::string_view line) {
    if (!isBlank(line)) ++count;
  });
  return count;
}

ListLineReader::ListLineReader(std::istream& in, LineLimits limits,
                               std::optional<std::uintmax_t> knownSize)
    : in_(in), limits_(limits), knownSize_(knownSize) {}

bool ListLineReader::fill() {
  if (atEnd_ || !error_.empty()) return false;
  buffer_.erase(0, start_);
  start_ = 0;
  const std::size_t before = buffer_.size();
  buffer_.resize(before + kPiece);
  in_.read(buffer_.data() + before, static_cast<std::streamsize>(kPiece));
  const auto got = static_cast<std::size_t>(std::max<std::streamsize>(in_.gcount(), 0));
  buffer_.resize(before + got);
  read_ += got;
  if (in_.bad()) {
    error_ = "the input cannot be read";
  } else if (read_ > limits_.input) {
    error_ = "the input is larger than " + sizeText(limits_.input);
  }
  if (got < kPiece) atEnd_ = true;
  return got > 0 && error_.empty();
}

// The position of the LF (in UTF-16, of the unit) that ends the line at start_.
std::optional<std::size_t> ListLineReader::findBreak() const {
  if (!isWide(encoding_)) {
    const std::size_t lf = buffer_.find('\n', start_);
    return lf == std::string::npos ? std::nullopt : std::optional<std::size_t>(lf);
  }
  const char high = encoding_ == TextEncoding::Utf16Le ? '\0' : '\n';
  const char low = encoding_ == TextEncoding::Utf16Le ? '\n' : '\0';
  for (std::size_t i = start_; i + 1 < buffer_.size(); i += 2) {
    if (buffer_[i] == low && buffer_[i + 1] == high) return i;
  }
  return std::nullopt;
}

// The width of the CR that ends the line ending at `end` (0 without one).
std::size_t ListLineReader::carriageReturnBefore(std::size_t end) const {
  if (!isWide(encoding_)) return end > start_ && buffer_[end - 1] == '\r' ? 1 : 0;
  if (end < start_ + 2) return 0;
  const bool little = encoding_ == TextEncoding::Utf16Le;
  const char first = buffer_[end - 2];
  const char second = buffer_[end - 1];
  return (little ? first == '\r' && second == '\0' : first == '\0' && second == '\r') ? 2 : 0;
}

// Unmarked text is judged once its first byte beyond ASCII turns up, `at`
// bytes into the line: on what follows from there.
bool ListLineReader::chooseEncoding(std::size_t at) {
  while (buffer_.size() - start_ < at + kEncodingSample && fill()) {
  }
  if (!error_.empty()) return false;
  std::string_view sample = std::string_view(buffer_).substr(start_ + at, kEncodingSample);
  if (start_ + at + sample.size() < buffer_.size()) {
    // More follows: the last character, perhaps cut, is left out.
    std::size_t end = sample.size();
    while (end > 0 && sample.size() - end < 3 &&
           (static_cast<unsigned char>(sample[end - 1]) & 0xC0) == 0x80) {
      --end;
    }
    sample = sample.substr(0, end > 0 ? end - 1 : 0);
  }
  encoding_ = unmarkedEncoding(sample);
  return true;
}

bool ListLineReader::next(std::string& line) {
  if (!error_.empty()) return false;
  if (!started_) {
    started_ = true;
    if (knownSize_ && *knownSize_ > limits_.input) {
      error_ = "the input is larger than " + sizeText(limits_.input);
      return false;
    }
    while (buffer_.size() < 3 && fill()) {
    }
    if (!error_.empty()) return false;
    if (const auto mark = byteOrderMark(buffer_)) {
      encoding_ = mark->encoding;
      start_ = mark->length;
    }
  }
  std::optional<std::size_t> lf;
  // Beyond the longest line and a CR LF (two units in UTF-16) no break will help.
  while (!(lf = findBreak())) {
    if (buffer_.size() - start_ > limits_.line + 4 || !fill()) break;
  }
  if (!error_.empty()) return false;
  const std::size_t end = lf.value_or(buffer_.size());
  if (end - start_ - (lf ? carriageReturnBefore(end) : 0) > limits_.line) {
    error_ = "line " + std::to_string(lines_ + 1) + " is longer than " + sizeText(limits_.line);
    return false;
  }
  if (!lf && start_ == buffer_.size()) return false;

  const std::size_t length = end - start_;
  if (!encoding_) {
    const std::string_view unjudged = std::string_view(buffer_).substr(start_, length);
    const auto beyondAscii = std::find_if(unjudged.begin(), unjudged.end(), [](char c) {
      return static_cast<unsigned char>(c) >= 0x80;
    });
    if (beyondAscii != unjudged.end() &&
        !chooseEncoding(static_cast<std::size_t>(beyondAscii - unjudged.begin()))) {
      return false;
    }
  }
  const std::string_view raw = std::string_view(buffer_).substr(start_, length);
  line = encoding_ ? decodeText(raw, *encoding_) : std::string(raw);
  start_ += length + (lf ? (isWide(encoding_) ? 2 : 1) : 0);
  lineBreak_ = lf ? "\n" : "";
  if (lf && !line.empty() && line.back() == '\r') {
    line.pop_back();
    lineBreak_ = "\r\n";
  }
  ++lines_;
  return true;
}

}  // namespace pelmora
