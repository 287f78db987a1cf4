#include "support/text_helpers.h"

#include <gtest/gtest.h>

#include "support/gbk.h"
#include "support/kept/text_helpers_kept.h"

namespace pelmora {
namespace {

struct Base64Case {
  std::string input;
  std::string expected;
};

class Base64Test : public ::testing::TestWithParam<Base64Case> {};

TEST_P(Base64Test, MatchesRfc4648) {
  EXPECT_EQ(base64Encode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Base64Test,
                         ::testing::Values(Base64Case{"", ""}, Base64Case{"a", "YQ=="},
                                           Base64Case{"ab", "YWI="}, Base64Case{"abc", "YWJj"},
                                           Base64Case{"abcd", "YWJjZA=="},
                                           Base64Case{"user:pa ss", "dXNlcjpwYSBzcw=="},
                                           Base64Case{std::string("\xff\x00\xfe", 3), "/wD+"}));

struct BetweenCase {
  std::string text, left, right;
  std::size_t start;
  bool ignoreCase;
  std::string expected;
};

class TextBetweenTest : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetweenTest, CutsBetweenMarkers) {
  const BetweenCase& c = GetParam();
  EXPECT_EQ(textBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBetweenTest,
    ::testing::Values(
        BetweenCase{"Creation Date: 2015-03-04T10:00:00Z", "Creation Date: ", "T", 1, false,
                    "2015-03-04"},
        // The right marker only before the left one.
        BetweenCase{"T Creation Date: 2015", "Creation Date: ", "T", 1, false, ""},
        BetweenCase{"no markers", "<", ">", 1, false, ""},
        BetweenCase{"creation date: 2015-03-04T", "Creation Date: ", "T", 1, false, ""},
        BetweenCase{"creation date: 2015-03-04T", "Creation Date: ", "T", 1, true, "2015-03-04"},
        // The start position skips an earlier hit.
        BetweenCase{"<a><b>", "<", ">", 2, false, "b"},
        // "#引号" stands for a double quote.
        BetweenCase{R"({"code":200,"x":1})", "#引号code#引号:", ",", 1, false, "200"},
        BetweenCase{"名称:青禾;", "名称:", ";", 1, false, "青禾"},
        BetweenCase{"<>", "<", ">", 1, false, ""}));

TEST(CountOccurrences, CountsNonOverlappingHitsIgnoringCaseByDefault) {
  EXPECT_EQ(countOccurrences("aaaa", "aa"), 2u);
  EXPECT_EQ(countOccurrences("aAaA", "aa"), 2u);
  EXPECT_EQ(countOccurrences("aAaA", "aa", true), 0u);
  EXPECT_EQ(countOccurrences("", "a"), 0u);
  EXPECT_EQ(countOccurrences("abc", ""), 0u);
  EXPECT_EQ(countOccurrences("域名域名", "域名"), 2u);
}

TEST(TextBefore, TakesTextUpToSeparator) {
  EXPECT_EQ(textBefore("a.b.c", "."), "a");
  EXPECT_EQ(textBefore("a.b.c", ".", 3), "b");
  EXPECT_EQ(textBefore("abc", "."), "");
  EXPECT_EQ(textBefore("xXy", "x", 2, true), "");
  EXPECT_EQ(textBefore("abXcd", "x", 1, true), "ab");
  EXPECT_EQ(textBefore("abXcd", "x", 1, false), "");
}

TEST(ReplaceMany, AppliesPairsInOrderWithCountStartAndCase) {
  EXPECT_EQ(replaceMany("a-b-c", {{"-", "+"}}), "a+b+c");
  EXPECT_EQ(replaceMany("a-b-c", {{"-", "+"}}, 1), "a+b-c");
  EXPECT_EQ(replaceMany("a-b-c", {{"-", "+"}}, -1, 3), "a-b+c");
  EXPECT_EQ(replaceMany("Aa", {{"a", "x"}}), "xx");
  EXPECT_EQ(replaceMany("Aa", {{"a", "x"}}, -1, 1, true), "Ax");
  // Pairs apply to the result of the previous ones; an empty find changes nothing.
  EXPECT_EQ(replaceMany("ab", {{"a", "b"}, {"b", "c"}, {"", "zzz"}}), "cc");
}

TEST(CountEqual, CountsByteExactEntries) {
  EXPECT_EQ(countEqual({"a", "A", "a", "ab"}, "a"), 2u);
  EXPECT_EQ(countEqual({}, "a"), 0u);
}

TEST(HeaderLine, SplitsAtFirstColonAndTrims) {
  EXPECT_EQ(headerName("X-Requested-With:XMLHttpRequest"), "X-Requested-With");
  EXPECT_EQ(headerValue("X-Requested-With:XMLHttpRequest"), "XMLHttpRequest");
  EXPECT_EQ(headerName("  Host : a:80 "), "Host");
  EXPECT_EQ(headerValue("  Host : a:80 "), "a:80");
  EXPECT_EQ(headerName("no colon"), "");
  EXPECT_EQ(headerValue("no colon"), "");
}

TEST(SplitText, KeepsEmptyPartsAndAlwaysGivesOne) {
  using Parts = std::vector<std::string>;
  EXPECT_EQ(splitText("1|30|0", "|"), (Parts{"1", "30", "0"}));
  EXPECT_EQ(splitText("a||b|", "|"), (Parts{"a", "", "b", ""}));
  EXPECT_EQ(splitText("", "|"), (Parts{""}));
  EXPECT_EQ(splitText("x: 1\r\ny: 2", "\r\n"), (Parts{"x: 1", "y: 2"}));
}

TEST(ConcatBytes, JoinsInOrderKeepingNulBytes) {
  EXPECT_EQ(concatBytes({"ab", std::string_view("\0c", 2), "", "d"}), std::string("ab\0cd", 5));
}

struct EscapeCase {
  std::string label;
  std::string text;
  std::string shown;
};

class EscapeForTerminalTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeForTerminalTest, KeepsOneLineAndNothingRaw) {
  EXPECT_EQ(escapeForTerminal(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeForTerminalTest,
    ::testing::Values(EscapeCase{"tab", "a\tb", "a\\tb"}, EscapeCase{"lineFeed", "a\nb", "a\\nb"},
                      EscapeCase{"carriageReturn", "a\rb", "a\\x0Db"},
                      EscapeCase{"backslash", "C:\\x1B", "C:\\\\x1B"},
                      EscapeCase{"escape", "\x1b[2Jred", "\\x1B[2Jred"},
                      EscapeCase{"bell", "\a", "\\x07"}, EscapeCase{"delete", "a\x7f", "a\\x7F"},
                      EscapeCase{"nul", std::string("a\0b", 3), "a\\x00b"},
                      EscapeCase{"rightToLeftOverride", "abc\u202Egpj.exe", "abc\\u202Egpj.exe"},
                      EscapeCase{"otherBidiControls", "\u200E\u200F\u061C\u202A\u2066\u2069",
                                 "\\u200E\\u200F\\u061C\\u202A\\u2066\\u2069"},
                      EscapeCase{"c1Control", "a\xc2\x9bz", "a\\u009Bz"},
                      EscapeCase{"chineseUnchanged", "青禾名簿 备注：好名字",
                                 "青禾名簿 备注：好名字"},
                      EscapeCase{"emojiUnchanged", "域名🚀.com", "域名🚀.com"},
                      EscapeCase{"plainAscii", "abc.com 12.5", "abc.com 12.5"},
                      EscapeCase{"empty", "", ""}, EscapeCase{"invalidByte", "a\xffz", "a\\xFFz"},
                      EscapeCase{"truncatedSequence", "\xe9\x9d", "\\xE9\\x9D"},
                      EscapeCase{"overlongSlash", "\xc0\xaf", "\\xC0\\xAF"},
                      EscapeCase{"surrogate", "\xed\xa0\x80", "\\xED\\xA0\\x80"},
                      EscapeCase{"beyondUnicode", "\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}),
    [](const auto& info) { return info.param.label; });

TEST(Gbk, ConvertsBothWaysAndCountsBytes) {
  const std::string gbk = utf8ToGbk("未注册");
  EXPECT_EQ(gbk, "\xCE\xB4\xD7\xA2\xB2\xE1");
  EXPECT_EQ(gbkToUtf8(gbk), "未注册");
  EXPECT_EQ(utf8ToGbk(""), "");
  EXPECT_EQ(gbkByteLength("abc"), 3u);
  EXPECT_EQ(gbkByteLength("青禾"), 4u);
  EXPECT_EQ(gbkByteLength("a青"), 3u);
  // A character without a GBK form becomes one default character.
  EXPECT_EQ(utf8ToGbk("a😀b"), "a?b");
  // Invalid UTF-8 does not stop the conversion.
  EXPECT_EQ(utf8ToGbk("a\xFF"
                      "b"),
            "a?b");
}

}  // namespace
}  // namespace pelmora
