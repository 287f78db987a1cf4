#include "support/news_html.h"

#include <algorithm>
#include <array>
#include <vector>

#include "support/http_request.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

constexpr std::array<std::string_view, 39> kKeptTags = {
    "a",   "b",     "big",   "blockquote", "br",  "center", "code",  "dd",   "div",    "dl",
    "dt",  "em",    "font",  "h1",         "h2",  "h3",     "h4",    "h5",   "h6",     "hr",
    "i",   "li",    "ol",    "p",          "pre", "s",      "small", "span", "strong", "sub",
    "sup", "table", "tbody", "td",         "th",  "thead",  "tr",    "u",    "ul"};
// Their text is no part of what the page shows.
constexpr std::array<std::string_view, 11> kDroppedWithText = {
    "script", "style", "title", "textarea", "template", "object",
    "iframe", "svg",   "math",  "noscript", "select"};

bool isOneOf(std::string_view name, const auto& names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool isAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// A short value of letters, digits and "#%+-" (colours, sizes, alignments).
bool isPlainValue(std::string_view value, std::size_t maxLength) {
  return !value.empty() && value.size() <= maxLength &&
         std::all_of(value.begin(), value.end(), [](char c) {
           return isAsciiAlnum(c) || c == '#' || c == '%' || c == '+' || c == '-';
         });
}

// The attribute kept on a kept tag, written back in a form of our own.
std::string keptAttribute(std::string_view tag, std::string_view name, std::string_view value) {
  if (name == "href" && tag == "a") {
    const std::string address = trimSpaces(value);
    if (!isWebAddress(address) || address.find_first_of("\"<>") != std::string::npos) return {};
    return " href=\"" + address + "\"";
  }
  const bool kept = ((name == "align" || name == "valign") && tag != "a" && tag != "font") ||
                    ((name == "color" || name == "size") && tag == "font") ||
                    (name == "border" && tag == "table");
  const std::size_t maxLength = name == "size" || name == "border" ? 2 : 16;
  if (!kept || !isPlainValue(value, maxLength)) return {};
  return " " + std::string(name) + "=\"" + std::string(value) + "\"";
}

class Reducer {
 public:
  explicit Reducer(std::string_view page) : page_(page) {}

  std::optional<std::string> run() {
    while (at_ < page_.size()) {
      const std::size_t lt = page_.find('<', at_);
      out_.append(page_.substr(at_, lt - at_));
      if (lt == std::string_view::npos) break;
      at_ = lt;
      if (!readMarkup()) return std::nullopt;
    }
    return std::move(out_);
  }

 private:
  char peek(std::size_t offset) const {
    return at_ + offset < page_.size() ? page_[at_ + offset] : '\0';
  }

  void skipPast(std::string_view end) {
    const std::size_t found = page_.find(end, at_);
    at_ = found == std::string_view::npos ? page_.size() : found + end.size();
  }

  std::string readName() {
    std::string name;
    while (at_ < page_.size() && (isAsciiAlnum(page_[at_]) || page_[at_] == '-')) {
      name += lowerAscii(page_[at_++]);
    }
    return name;
  }

  // False when the page asks too much.
  bool readMarkup() {
    if (page_.substr(at_, 4) == "<!--") {
      at_ += 4;
      skipPast("-->");
    } else if (peek(1) == '!' || peek(1) == '?') {
      skipPast(">");
    } else if (peek(1) == '/' && isAsciiAlnum(peek(2))) {
      at_ += 2;
      const std::string name = readName();
      skipPast(">");
      close(name);
    } else if (isAsciiAlnum(peek(1))) {
      ++at_;
      return readStartTag();
    } else {
      out_ += "&lt;";
      ++at_;
    }
    return true;
  }

  bool readStartTag() {
    const std::string tag = readName();
    const bool kept = isOneOf(tag, kKeptTags);
    std::string attributes;
    bool selfClosed = false;
    while (at_ < page_.size() && page_[at_] != '>') {
      const char c = page_[at_];
      if (isBlank(c) || c == '/') {
        selfClosed = c == '/';
        ++at_;
        continue;
      }
      selfClosed = false;
      std::string name;
      while (at_ < page_.size() && !isBlank(page_[at_]) && page_[at_] != '=' && page_[at_] != '>' &&
             page_[at_] != '/') {
        name += lowerAscii(page_[at_++]);
      }
      if (name.empty()) name += page_[at_++];  // a stray "=": skipped like a name
      while (at_ < page_.size() && isBlank(page_[at_])) ++at_;
      std::string_view value;
      if (peek(0) == '=') {
        ++at_;
        while (at_ < page_.size() && isBlank(page_[at_])) ++at_;
        value = readValue();
      }
      if (kept) attributes += keptAttribute(tag, name, value);
    }
    if (at_ < page_.size()) ++at_;  // the ">"
    if (isOneOf(tag, kDroppedWithText) && !selfClosed) {
      skipElementText(tag);
      return true;
    }
    if (!kept) return true;
    // Nested tables cost the layout dearly (ten levels of a few hundred
    // cells take many seconds): an inner table's cells join the outer one.
    if (tag == "table" && isOpen("table")) {
      ++flattenedTables_;
      return true;
    }
    // So do very wide rows: cells past the last allowed one join it.
    if (tag == "tr" || tag == "table") cellsInRow_ = 0;
    if ((tag == "td" || tag == "th") && ++cellsInRow_ > kNewsMaxCellsPerRow) return true;
    if (++elements_ > kNewsMaxElements) return false;
    if (tag == "br" || tag == "hr") {
      out_ += "<" + tag + ">";
      return true;
    }
    closeImplied(tag);
    open_.push_back(tag);
    if (open_.size() > kNewsMaxDepth) return false;
    out_ += "<" + tag + attributes + ">";
    return true;
  }

  std::string_view readValue() {
    const char quote = peek(0);
    if (quote == '"' || quote == '\'') {
      const std::size_t end = page_.find(quote, at_ + 1);
      const std::size_t stop = end == std::string_view::npos ? page_.size() : end;
      const std::string_view value = page_.substr(at_ + 1, stop - at_ - 1);
      at_ = std::min(page_.size(), stop + 1);
      return value;
    }
    const std::size_t from = at_;
    while (at_ < page_.size() && !isBlank(page_[at_]) && page_[at_] != '>') ++at_;
    return page_.substr(from, at_ - from);
  }

  void skipElementText(const std::string& tag) {
    while (at_ < page_.size()) {
      skipPast("</");
      std::string name;
      while (at_ < page_.size() && isAsciiAlnum(page_[at_])) name += lowerAscii(page_[at_++]);
      if (name == tag) {
        skipPast(">");
        return;
      }
    }
  }

  // HTML lets a new item, cell, row or paragraph end the open one of its kind.
  void closeImplied(const std::string& tag) {
    auto closeWithin = [this](std::initializer_list<std::string_view> ends,
                              std::initializer_list<std::string_view> scope) {
      for (std::size_t i = open_.size(); i-- > 0;) {
        if (isOneOf(open_[i], scope)) return;
        if (isOneOf(open_[i], ends)) {
          open_.resize(i);
          return;
        }
      }
    };
    if (tag == "p" && !open_.empty() && open_.back() == "p") open_.pop_back();
    if (tag == "li") closeWithin({"li"}, {"ul", "ol"});
    if (tag == "dt" || tag == "dd") closeWithin({"dt", "dd"}, {"dl"});
    if (tag == "td" || tag == "th") closeWithin({"td", "th"}, {"tr", "table"});
    if (tag == "tr") closeWithin({"tr"}, {"table"});
  }

  bool isOpen(std::string_view tag) const {
    return std::find(open_.begin(), open_.end(), tag) != open_.end();
  }

  void close(const std::string& tag) {
    if (tag == "table" && flattenedTables_ > 0) {
      --flattenedTables_;
      return;
    }
    if ((tag == "td" || tag == "th") && cellsInRow_ > kNewsMaxCellsPerRow) return;
    for (std::size_t i = open_.size(); i-- > 0;) {
      if (open_[i] == tag) {
        open_.resize(i);
        out_ += "</" + tag + ">";
        return;
      }
    }
  }

  std::string_view page_;
  std::size_t at_ = 0;
  std::string out_;
  std::vector<std::string> open_;
  std::size_t elements_ = 0;
  std::size_t flattenedTables_ = 0;  // inner tables still open, their tags dropped
  std::size_t cellsInRow_ = 0;
};

}  // namespace

std::optional<std::string> safeNewsHtml(std::string_view page) {
  if (page.size() > kNewsPageMaxBytes) return std::nullopt;
  std::optional<std::string> reduced = Reducer(page).run();
  if (reduced && reduced->size() > kNewsShownMaxBytes) return std::nullopt;
  return reduced;
}

}  // namespace pelmora
