#pragma once

// Texts a user, a pasted list or a script may hand the program on purpose or
// by accident. Held as bytes, so NUL and invalid UTF-8 stay exactly as they are.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::testing {

struct HostileText {
  std::string label;
  std::string text;
};

// Test names and failure messages show the label, not the bytes.
inline void PrintTo(const HostileText& text, std::ostream* out) { *out << text.label; }

// `bytes` with its exact length, NUL bytes included.
template <std::size_t N>
std::string bytesOf(const char (&bytes)[N]) {
  return std::string(bytes, N - 1);
}

inline const std::vector<HostileText>& hostileCorpus() {
  static const std::vector<HostileText> corpus{
      {"drop_table", "'; DROP TABLE 域名;--"},
      {"or_true", "\" OR 1=1 --"},
      {"single_or_true", "' OR '1'='1"},
      {"union_select", ") UNION SELECT id,域名 FROM 域名 --"},
      {"block_comment", "/* */"},
      {"open_comment", "x/*"},
      {"stacked_statement", "1; DELETE FROM 域名"},
      {"attach", "'; ATTACH DATABASE '/tmp/x' AS x;--"},
      {"bound_marker", "?1 :name @v $v"},
      {"single_quote", "'"},
      {"double_quotes", "\"\""},
      {"backslashes", "\\\\'\\\""},
      {"backslash_end", "abc\\"},
      {"percent", "%"},
      {"underscore", "_"},
      {"like_mix", "a%b_c[d]^e"},
      {"bracket_class", "[a-z]*"},
      {"glob", "*?"},
      {"nul_inside", bytesOf("a\0b")},
      {"nul_only", bytesOf("\0")},
      {"nul_trailing", bytesOf("x.com\0")},
      {"lone_continuation", "\x80"},
      {"continuation_run",
       "ab\x80\xbf"
       "cd"},
      {"overlong_slash", "\xc0\xaf"},
      {"overlong_nul", "\xc0\x80"},
      {"truncated_three", "\xe4\xb8"},
      {"truncated_four", "\xf0\x9f\x98"},
      {"byte_ff", "\xff"},
      {"byte_fe_ff", "\xfe\xff"},
      {"surrogate", "\xed\xa0\x80"},
      {"past_max", "\xf4\x90\x80\x80"},
      {"gbk_bytes", "\xd6\xd0\xce\xc4"},
      {"tab", "a\tb"},
      {"cr", "a\rb"},
      {"lf", "a\nb"},
      {"crlf", "a\r\nb"},
      {"escape", "\x1b[31mred\x1b[0m"},
      {"del", "a\x7f"},
      {"c1_controls", "\xc2\x85\xc2\x9b"},
      {"bell_backspace", "\a\b"},
      {"rtl_override",
       "\xe2\x80\xae"
       "moc.elpmaxe"},
      {"isolate_marks",
       "\xe2\x81\xa6"
       "abc"
       "\xe2\x81\xa9"},
      {"lrm_rlm", "\xe2\x80\x8e\xe2\x80\x8f"},
      {"zero_width",
       "a\xe2\x80\x8b\xe2\x80\x8c\xe2\x80\x8d"
       "b"},
      {"bom_inside",
       "\xef\xbb\xbf"
       "x"},
      {"emoji", "😀"},
      {"emoji_zwj_family", "👨\xe2\x80\x8d👩\xe2\x80\x8d👧\xe2\x80\x8d👦"},
      {"flag", "🇨🇳"},
      {"cjk_ext_b", "𠀀𪚥"},
      {"cjk_marks", "々〆ㄅㄆ"},
      {"chinese", "中文域名.中国"},
      {"pipe", "|"},
      {"comma", ","},
      {"equals", "="},
      {"key_value", "备注=x,注册商=y"},
      {"colon_range", "一次成本:1:2"},
      {"separator_line", std::string(4096, '|')},
      {"comma_line", std::string(4096, ',')},
      {"blanks_around", "  a b  "},
      {"blanks_only", "   "},
      {"ideographic_space", "\xe3\x80\x80"},
      {"nbsp", "\xc2\xa0"},
      {"empty", ""},
      {"fullwidth_digits", "１２３"},
      {"nan", "nan"},
      {"inf", "inf"},
      {"negative_inf", "-inf"},
      {"huge_exponent", "1e999"},
      {"negative_zero", "-0"},
      {"hex", "0x10"},
      {"many_digits", std::string(400, '9')},
      {"date_like", "2024-02-30"},
      {"date_overflow", "99999-12-31"},
      {"format_specifiers", "%s%n%x%p"},
      {"dash", "-"},
      {"parenthesis", "名(3)"},
      {"long_text_64k", std::string(65536, 'x')},
      {"one_megabyte", std::string(1 << 20, 'M')},
  };
  return corpus;
}

// Whether the text fits a command-line argument: no NUL, and under the
// kernel's limit for one argument (128 KiB).
inline bool fitsArgument(std::string_view text) {
  return text.find('\0') == std::string_view::npos && text.size() < 100000;
}

}  // namespace pelmora::testing
