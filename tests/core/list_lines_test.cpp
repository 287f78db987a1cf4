#include "support/list_lines.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using Lines = std::vector<std::string>;

struct SplitCase {
  std::string text;
  Lines lines;
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << ::testing::PrintToString(c.text); }

class SplitListLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitListLinesTest, SplitsAtEveryLineBreak) {
  EXPECT_EQ(splitListLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitListLinesTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a\r\nb", {"a", "b"}},
                      SplitCase{"a\nb", {"a", "b"}},
                      // the final break adds no line
                      SplitCase{"a\r\nb\r\n", {"a", "b"}}, SplitCase{"a\nb\n", {"a", "b"}},
                      // an empty line between two breaks is a line
                      SplitCase{"a\r\n\r\nb", {"a", "", "b"}}, SplitCase{"\r\n", {""}},
                      SplitCase{"\r\n\r\n", {"", ""}}, SplitCase{"a\r\n\nb", {"a", "", "b"}},
                      // a lone CR stays in its line
                      SplitCase{"a\rb\r\nc", {"a\rb", "c"}}, SplitCase{"a\r\r\n", {"a\r"}},
                      SplitCase{"a\r", {"a\r"}}, SplitCase{"  x | y\t\r\n", {"  x | y\t"}}));

struct CountCase {
  std::string text;
  std::size_t count;
};

void PrintTo(const CountCase& c, std::ostream* out) { *out << ::testing::PrintToString(c.text); }

class CountListLinesTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountListLinesTest, CountsTheLinesThatAreNotBlank) {
  EXPECT_EQ(countListLines(GetParam().text), GetParam().count) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CountListLinesTest,
    ::testing::Values(CountCase{"", 0}, CountCase{"a", 1}, CountCase{"a\r\nb", 2},
                      CountCase{"a\nb", 2}, CountCase{"a\r\n", 1}, CountCase{"\r\na", 1},
                      CountCase{"\r\na\r\n", 1}, CountCase{"a\r\n\r\n\r\nb", 2},
                      CountCase{"a\r\n  \t \r\nb", 2}, CountCase{"a\n\n \nb\n", 2},
                      CountCase{"\r\n", 0}, CountCase{"   ", 0}, CountCase{" a ", 1},
                      CountCase{"域名|西数\r\n例子.com", 2}));

}  // namespace
}  // namespace pelmora
