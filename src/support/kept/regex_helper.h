#pragma once

// One regular expression (PCRE2 syntax, UTF-8) run over one subject text:
// its matches, their groups and a replace. Failures (a pattern that does not
// compile, a subject that is not UTF-8, an index out of range) never throw:
// they give false, the empty text or 0.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

class RegexHelper {
 public:
  RegexHelper();
  ~RegexHelper();
  // A copy shares the compiled pattern and holds the same matches.
  RegexHelper(const RegexHelper& other);
  RegexHelper& operator=(const RegexHelper& other);

  // Compiles `pattern` and collects the matches in `subject`: all of them with
  // `global`, otherwise the first. `multiLine` lets ^ and $ match at line
  // breaks; with `quoteEscape` every "#引号" in the pattern stands for a
  // double quote. False when the pattern does not compile or the subject
  // cannot be searched; a subject without matches is still true.
  bool create(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
              bool multiLine = true, bool global = true, bool quoteEscape = false);

  // The pattern as compiled (quote escape applied); empty before a successful
  // create.
  std::string getPattern() const;

  // The subject with every match (the first one only without `global`)
  // replaced; `$1` or `${1}` stands for group 1, `$$` for a dollar, a group
  // that did not take part (or does not exist) for nothing. Empty on failure.
  std::string replace(std::string_view replacement) const;

  std::size_t matchCount() const;
  // Match `n` (from 1); `position` receives its byte offset (0-based) in the
  // subject. Empty text and position 0 when there is no such match.
  std::string matchText(std::size_t n, std::size_t* position = nullptr) const;
  // Group `k` (from 1) of match `n` (from 1). A group that did not take part
  // gives the empty text at the match's own position.
  std::string subMatchText(std::size_t n, std::size_t k, std::size_t* position = nullptr) const;
  // Groups of the first match; 0 without matches.
  std::size_t subMatchCount() const;

 private:
  struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
    bool set = false;
  };
  struct Compiled;

  std::string spanText(const Span& span, std::size_t* position) const;

  std::shared_ptr<const Compiled> compiled_;
  std::string subject_;
  bool global_ = true;
  // Per match: the whole match, then each group.
  std::vector<std::vector<Span>> matches_;
};

}  // namespace pelmora
