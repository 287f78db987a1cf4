#include "support/kept/regex_helper.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pelmora {
namespace {

TEST(RegexHelper, IgnoresCaseUnlessAskedNotTo) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("abc", "ABC abc"));
  EXPECT_EQ(regex.matchCount(), 2u);
  EXPECT_EQ(regex.matchText(1), "ABC");

  ASSERT_TRUE(regex.create("abc", "ABC abc", /*caseSensitive=*/true));
  EXPECT_EQ(regex.matchCount(), 1u);
  std::size_t position = 99;
  EXPECT_EQ(regex.matchText(1, &position), "abc");
  EXPECT_EQ(position, 4u);
}

TEST(RegexHelper, MultiLineDecidesWhereCaretMatches) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("^x", "x1\nx2"));
  EXPECT_EQ(regex.matchCount(), 2u);
  ASSERT_TRUE(regex.create("^x", "x1\nx2", false, /*multiLine=*/false));
  EXPECT_EQ(regex.matchCount(), 1u);
}

struct ReplaceCase {
  const char* name;
  const char* pattern;
  const char* subject;
  bool global;
  const char* replacement;
  const char* expected;
};

void PrintTo(const ReplaceCase& c, std::ostream* out) { *out << c.name; }

class RegexReplace : public testing::TestWithParam<ReplaceCase> {};

TEST_P(RegexReplace, GivesTheSubjectWithMatchesReplaced) {
  const ReplaceCase& c = GetParam();
  RegexHelper regex;
  ASSERT_TRUE(regex.create(c.pattern, c.subject, false, true, c.global));
  EXPECT_EQ(regex.replace(c.replacement), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegexReplace,
    testing::Values(ReplaceCase{"Global", "o", "foo boo", true, "0", "f00 b00"},
                    ReplaceCase{"FirstOnlyWithoutGlobal", "o", "foo boo", false, "0", "f0o boo"},
                    ReplaceCase{"GroupReferences", "(\\w+)@(\\w+)", "ann@x bob@y", true, "$2:$1",
                                "x:ann y:bob"},
                    ReplaceCase{"BracedReferenceAndDollar", "(\\d+)", "a1b22", true, "${1}$$",
                                "a1$b22$"},
                    ReplaceCase{"UnsetGroupIsEmpty", "(a)|(b)", "ab", true, "[$1$2]", "[a][b]"},
                    ReplaceCase{"EmptyMatchesEverywhere", "x*", "axb", true, "-", "-a--b-"},
                    ReplaceCase{"NoMatchKeepsSubject", "z", "青禾", true, "-", "青禾"}),
    [](const testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

TEST(RegexHelper, ReplaceGrowsTheTextManyTimesOver) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("a", std::string(500, 'a')));
  EXPECT_EQ(regex.replace("青禾"), [] {
    std::string expected;
    for (int i = 0; i < 500; ++i) expected += "青禾";
    return expected;
  }());
}

TEST(RegexHelper, MatchesAndGroupsGiveByteOffsetsInUtf8) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("(\\w+)\\.(com|cn)", "青禾 abc.COM 名簿x.cn"));
  ASSERT_EQ(regex.matchCount(), 2u);
  EXPECT_EQ(regex.subMatchCount(), 2u);

  std::size_t position = 0;
  EXPECT_EQ(regex.matchText(1, &position), "abc.COM");
  EXPECT_EQ(position, 7u);  // 青禾 take 6 bytes, then a blank
  EXPECT_EQ(regex.subMatchText(1, 2, &position), "COM");
  EXPECT_EQ(position, 11u);
  // \w takes Chinese characters too
  EXPECT_EQ(regex.matchText(2, &position), "名簿x.cn");
  EXPECT_EQ(position, 15u);
  EXPECT_EQ(regex.subMatchText(2, 1, &position), "名簿x");
  EXPECT_EQ(position, 15u);
  EXPECT_EQ(regex.subMatchText(2, 2, &position), "cn");
  EXPECT_EQ(position, 23u);
}

TEST(RegexHelper, GroupThatDidNotTakePartIsEmptyAtTheMatch) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("青(x)?(禾)", "名青禾"));
  std::size_t position = 99;
  EXPECT_EQ(regex.subMatchText(1, 1, &position), "");
  EXPECT_EQ(position, 3u);
  EXPECT_EQ(regex.subMatchText(1, 2, &position), "禾");
  EXPECT_EQ(position, 6u);
}

TEST(RegexHelper, NonGlobalCollectsOnlyTheFirstMatch) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("\\d", "1 2 3", false, true, /*global=*/false));
  EXPECT_EQ(regex.matchCount(), 1u);
  EXPECT_EQ(regex.matchText(2), "");
}

TEST(RegexHelper, QuoteEscapeStandsForDoubleQuote) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("value=#引号(\\d+)#引号", "value=\"42\"", false, true, true, true));
  EXPECT_EQ(regex.getPattern(), "value=\"(\\d+)\"");
  EXPECT_EQ(regex.subMatchText(1, 1), "42");

  ASSERT_TRUE(regex.create("#引号", "\"#引号\""));
  EXPECT_EQ(regex.getPattern(), "#引号");
  EXPECT_EQ(regex.matchCount(), 1u);
}

TEST(RegexHelper, InvalidPatternGivesFalseAndEmptyResults) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("a", "a"));
  for (const char* pattern : {"(", "[a-", "a{2,1}", "\\"}) {
    SCOPED_TRACE(pattern);
    EXPECT_FALSE(regex.create(pattern, "a(b"));
    EXPECT_EQ(regex.getPattern(), "");
    EXPECT_EQ(regex.matchCount(), 0u);
    EXPECT_EQ(regex.subMatchCount(), 0u);
    EXPECT_EQ(regex.matchText(1), "");
    EXPECT_EQ(regex.replace("x"), "");
  }
}

TEST(RegexHelper, SubjectThatIsNotUtf8IsRefused) {
  RegexHelper regex;
  EXPECT_FALSE(regex.create("a", "a b \xff"));
  EXPECT_EQ(regex.matchCount(), 0u);
}

TEST(RegexHelper, IndexesOutOfRangeGiveEmptyText) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("(a)(b)", "ab ab"));
  std::size_t position = 99;
  EXPECT_EQ(regex.matchText(0, &position), "");
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(regex.matchText(3), "");
  EXPECT_EQ(regex.subMatchText(1, 0), "");
  EXPECT_EQ(regex.subMatchText(1, 3), "");
  EXPECT_EQ(regex.subMatchText(3, 1), "");
  EXPECT_EQ(regex.subMatchText(2, 2), "b");
}

TEST(RegexHelper, EmptyMatchesMoveOnByWholeCharacters) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("x*", "青x禾"));
  ASSERT_EQ(regex.matchCount(), 4u);
  std::size_t position = 0;
  EXPECT_EQ(regex.matchText(1, &position), "");
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(regex.matchText(2, &position), "x");
  EXPECT_EQ(position, 3u);
  EXPECT_EQ(regex.matchText(3, &position), "");
  EXPECT_EQ(position, 4u);
  EXPECT_EQ(regex.matchText(4, &position), "");
  EXPECT_EQ(position, 7u);

  ASSERT_TRUE(regex.create("", ""));
  EXPECT_EQ(regex.matchCount(), 1u);
}

TEST(RegexHelper, CopySharesPatternAndMatches) {
  RegexHelper regex;
  ASSERT_TRUE(regex.create("(b+)", "abbc"));
  RegexHelper copy(regex);
  ASSERT_TRUE(regex.create("z", "z"));
  EXPECT_EQ(copy.getPattern(), "(b+)");
  EXPECT_EQ(copy.subMatchText(1, 1), "bb");
  EXPECT_EQ(copy.replace("<$1>"), "a<bb>c");
}

}  // namespace
}  // namespace pelmora
