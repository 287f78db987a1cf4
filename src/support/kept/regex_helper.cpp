#include "support/kept/regex_helper.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "support/text_helpers.h"

namespace pelmora {

namespace {

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
using MatchDataPtr = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;

constexpr std::string_view kQuoteEscape = "#引号";

PCRE2_SPTR units(std::string_view text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

// Bytes of the UTF-8 character at `i` (1 for a stray byte, so a scan always moves).
std::size_t characterLength(std::string_view text, std::size_t i) {
  char32_t codePoint = 0;
  const std::size_t length = utf8SequenceAt(text, i, codePoint);
  return length == 0 ? 1 : length;
}

}  // namespace

struct RegexHelper::Compiled {
  std::unique_ptr<pcre2_code, CodeDeleter> code;
  std::string pattern;
  std::size_t groupCount = 0;
};

RegexHelper::RegexHelper() = default;
RegexHelper::~RegexHelper() = default;
RegexHelper::RegexHelper(const RegexHelper& other) = default;
RegexHelper& RegexHelper::operator=(const RegexHelper& other) = default;

bool RegexHelper::create(std::string_view pattern, std::string_view subject, bool caseSensitive,
                         bool multiLine, bool global, bool quoteEscape) {
  compiled_.reset();
  matches_.clear();
  subject_.clear();
  global_ = global;

  auto compiled = std::make_shared<Compiled>();
  compiled->pattern = quoteEscape ? replaceMany(pattern, {{std::string(kQuoteEscape), "\""}}, -1, 1,
                                                /*caseSensitive=*/true)
                                  : std::string(pattern);
  uint32_t options = PCRE2_UTF | PCRE2_UCP;
  if (!caseSensitive) options |= PCRE2_CASELESS;
  if (multiLine) options |= PCRE2_MULTILINE;
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  compiled->code.reset(pcre2_compile(units(compiled->pattern), compiled->pattern.size(), options,
                                     &errorCode, &errorOffset, nullptr));
  if (!compiled->code) return false;
  uint32_t groups = 0;
  if (pcre2_pattern_info(compiled->code.get(), PCRE2_INFO_CAPTURECOUNT, &groups) != 0) return false;
  compiled->groupCount = groups;

  MatchDataPtr data(pcre2_match_data_create_from_pattern(compiled->code.get(), nullptr));
  if (!data) return false;
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());

  std::vector<std::vector<Span>> matches;
  std::size_t offset = 0;
  uint32_t matchOptions = 0;
  // The first search checks the whole subject is UTF-8; later ones need not.
  uint32_t utfChecked = 0;
  while (offset <= subject.size()) {
    const int rc = pcre2_match(compiled->code.get(), units(subject), subject.size(), offset,
                               matchOptions | utfChecked, data.get(), nullptr);
    if (rc < 0 && rc != PCRE2_ERROR_NOMATCH) return false;
    utfChecked = PCRE2_NO_UTF_CHECK;
    if (rc == PCRE2_ERROR_NOMATCH) {
      // After an empty match only a non-empty one may start at the same
      // place; when there is none, move on by one character.
      if (matchOptions == 0 || offset >= subject.size()) break;
      offset += characterLength(subject, offset);
      matchOptions = 0;
      continue;
    }
    // \K can put the start after the end; such a match has no usable text.
    if (ovector[0] > ovector[1]) return false;
    std::vector<Span> spans(compiled->groupCount + 1);
    for (std::size_t g = 0; g < spans.size(); ++g) {
      if (ovector[2 * g] == PCRE2_UNSET) continue;
      spans[g] = Span{ovector[2 * g], ovector[2 * g + 1], true};
    }
    matches.push_back(std::move(spans));
    if (!global) break;
    offset = ovector[1];
    matchOptions = ovector[0] == ovector[1] ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
  }

  compiled_ = std::move(compiled);
  subject_ = std::string(subject);
  matches_ = std::move(matches);
  return true;
}

std::string RegexHelper::getPattern() const { return compiled_ ? compiled_->pattern : ""; }

std::string RegexHelper::replace(std::string_view replacement) const {
  if (!compiled_) return "";
  uint32_t options = PCRE2_SUBSTITUTE_OVERFLOW_LENGTH | PCRE2_SUBSTITUTE_UNKNOWN_UNSET |
                     PCRE2_SUBSTITUTE_UNSET_EMPTY;
  if (global_) options |= PCRE2_SUBSTITUTE_GLOBAL;
  std::string output(subject_.size() + replacement.size() + 64, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    PCRE2_SIZE length = output.size();
    const int rc =
        pcre2_substitute(compiled_->code.get(), units(subject_), subject_.size(), 0, options,
                         nullptr, nullptr, units(replacement), replacement.size(),
                         reinterpret_cast<PCRE2_UCHAR*>(output.data()), &length);
    if (rc >= 0) {
      output.resize(length);
      return output;
    }
    if (rc != PCRE2_ERROR_NOMEMORY) return "";
    // `length` now holds the size needed, terminating zero included.
    output.assign(length, '\0');
  }
  return "";
}

std::size_t RegexHelper::matchCount() const { return matches_.size(); }

std::string RegexHelper::spanText(const Span& span, std::size_t* position) const {
  if (position) *position = span.start;
  return subject_.substr(span.start, span.end - span.start);
}

std::string RegexHelper::matchText(std::size_t n, std::size_t* position) const {
  if (n == 0 || n > matches_.size()) {
    if (position) *position = 0;
    return "";
  }
  return spanText(matches_[n - 1][0], position);
}

std::string RegexHelper::subMatchText(std::size_t n, std::size_t k, std::size_t* position) const {
  if (n == 0 || n > matches_.size() || k == 0 || k >= matches_[n - 1].size()) {
    if (position) *position = 0;
    return "";
  }
  const Span& group = matches_[n - 1][k];
  if (!group.set) {
    if (position) *position = matches_[n - 1][0].start;
    return "";
  }
  return spanText(group, position);
}

std::size_t RegexHelper::subMatchCount() const {
  return matches_.empty() ? 0 : matches_.front().size() - 1;
}

}  // namespace pelmora
