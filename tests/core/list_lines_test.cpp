#include "support/list_lines.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "support/gbk.h"
#include "support/text_encoding.h"

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

// ---- a list read as it comes in ------------------------------------------

// The reader's own pieces are 64 KiB: these texts cross them.
const std::string kAsciiPieces = [] {
  std::string text;
  while (text.size() < 150 * 1024) text += "ascii" + std::to_string(text.size()) + ".com\r\n";
  return text;
}();

std::string utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

struct ReadOut {
  Lines lines;
  std::string rejoined;  // lines with their breaks
  std::string error;
};

ReadOut readLines(std::istream& in, LineLimits limits,
                  std::optional<std::uintmax_t> knownSize = std::nullopt) {
  ListLineReader reader(in, limits, knownSize);
  ReadOut out;
  std::string line;
  while (reader.next(line)) {
    out.lines.push_back(line);
    out.rejoined += line + std::string(reader.lineBreak());
  }
  out.error = reader.error();
  EXPECT_FALSE(reader.next(line)) << "a reader that stopped stays stopped";
  return out;
}

ReadOut readLines(const std::string& bytes, LineLimits limits,
                  std::optional<std::uintmax_t> knownSize = std::nullopt) {
  std::istringstream in(bytes);
  return readLines(in, limits, knownSize);
}

struct StreamCase {
  std::string name;
  std::string bytes;
};

void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.name; }

class ListLineReaderTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ListLineReaderTest, GivesTheLinesOfTheWholeDecodedFile) {
  const std::string text = decodeTextFile(GetParam().bytes);
  const ReadOut read = readLines(GetParam().bytes, {1024 * 1024, 16 * 1024 * 1024});
  EXPECT_EQ(read.error, "");
  // Compared without printing: some of these lines are 64 KiB long.
  const Lines lines = splitListLines(text);
  ASSERT_EQ(read.lines.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(read.lines[i] == lines[i]) << "line " << i + 1;
  }
  EXPECT_TRUE(read.rejoined == text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListLineReaderTest,
    ::testing::Values(
        StreamCase{"Empty", ""}, StreamCase{"Breaks", "a\r\nb\n\r\nc\rd\r\ne\r\r\n\n"},
        StreamCase{"LoneCrAtTheEnd", "a\nb\r"}, StreamCase{"OnlyAMark", "\xEF\xBB\xBF"},
        StreamCase{"Utf8Mark", "\xEF\xBB\xBF中文.com\r\n例子.net|\xFF"},
        StreamCase{"Utf8", "a.com\n中文.com|备注\n"},
        StreamCase{"Gbk", utf8ToGbk("中文.com\r\n例子.net|备注\r\n")},
        // judged where the first byte beyond ASCII turns up, not on the first piece
        StreamCase{"GbkAfterPiecesOfAscii", kAsciiPieces + utf8ToGbk("中文.com|备注\r\n")},
        StreamCase{"Utf8AfterPiecesOfAscii", kAsciiPieces + "中文.com|备注\r\n"},
        // a character cut by the end of a piece
        StreamCase{"Utf8AcrossPieces", std::string(65535, 'x') + "中文\nb"},
        StreamCase{"GbkAcrossPieces", std::string(65535, 'x') + utf8ToGbk("中文中文\nb")},
        // 上 (U+4E0A) and ਼ (U+0A3C) hold an LF byte that ends no line
        StreamCase{"Utf16Le", utf16(u"上.com\r\n例子.net\n\n਼", false)},
        StreamCase{"Utf16Be", utf16(u"਼.com\r\n上\n", true)},
        StreamCase{"Utf16OddLastByte", utf16(u"a\nb", false) + "x"}),
    [](const auto& info) { return info.param.name; });

struct LimitCase {
  std::string name;
  std::string bytes;
  LineLimits limits;
  std::optional<std::uintmax_t> knownSize;
  Lines lines;  // given before the reader stopped
  std::string error;
};

void PrintTo(const LimitCase& c, std::ostream* out) { *out << c.name; }

class ListLineLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ListLineLimitTest, StopsAtTheFirstLimitItBreaks) {
  const LimitCase& c = GetParam();
  const ReadOut read = readLines(c.bytes, c.limits, c.knownSize);
  EXPECT_EQ(read.lines, c.lines);
  EXPECT_EQ(read.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListLineLimitTest,
    ::testing::Values(
        LimitCase{"LinesAtTheLimits", "12345678\r\nabc", {8, 13}, 13, {"12345678", "abc"}, ""},
        LimitCase{"ALineOverTheLimit",
                  "ab\n123456789\nc",
                  {8, 100},
                  std::nullopt,
                  {"ab"},
                  "line 2 is longer than 8 bytes"},
        LimitCase{
            "ALastLineOverTheLimit", "123456789", {8, 100}, 9, {}, "line 1 is longer than 8 bytes"},
        LimitCase{"ALineLongerThanAPiece",
                  "a\n" + std::string(300000, 'x') + "\nb\n",
                  {200000, 1024 * 1024},
                  std::nullopt,
                  {"a"},
                  "line 2 is longer than 200000 bytes"},
        LimitCase{"AMebibyte",
                  std::string(1024 * 1024 + 1, 'x'),
                  {1024 * 1024, 4 * 1024 * 1024},
                  std::nullopt,
                  {},
                  "line 1 is longer than 1 MiB"},
        LimitCase{"InputOverTheLimit",
                  "a\nb\nc\n",
                  {8, 5},
                  std::nullopt,
                  {},
                  "the input is larger than 5 bytes"},
        LimitCase{
            "InputOverTheLimitAfterPieces",
            kAsciiPieces,
            {100, 100 * 1024},
            std::nullopt,
            splitListLines(kAsciiPieces.substr(0, kAsciiPieces.rfind('\n', 64 * 1024 - 1) + 1)),
            "the input is larger than 102400 bytes"},
        LimitCase{
            "AKnownSizeOverTheLimit", "a\n", {8, 5}, 6, {}, "the input is larger than 5 bytes"}),
    [](const auto& info) { return info.param.name; });

TEST(ListLineReader, AStreamThatFailsIsAnErrorNotTheEnd) {
  struct Failing : std::streambuf {
    int_type underflow() override { throw std::runtime_error("I/O error"); }
  } failing;
  std::istream in(&failing);
  const ReadOut read = readLines(in, {8, 100});
  EXPECT_TRUE(read.lines.empty());
  EXPECT_EQ(read.error, "the input cannot be read");
}

}  // namespace
}  // namespace pelmora
