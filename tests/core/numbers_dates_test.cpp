#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "support/dates.h"
#include "support/numbers.h"

namespace pelmora {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

Date ymd(int y, unsigned m, unsigned d) { return Date{year{y}, month{m}, day{d}}; }

TEST(FormatNumber, ShortestGeneralFormWith13Digits) {
  const std::vector<std::pair<double, std::string>> cases{{25, "25"},
                                                          {0.5, "0.5"},
                                                          {1234.56, "1234.56"},
                                                          {-0.0, "0"},
                                                          {0.1 + 0.2, "0.3"},
                                                          {-12.5, "-12.5"},
                                                          {1e15, "1e+15"},
                                                          {123456789012.5, "123456789012.5"},
                                                          {1.0 / 3, "0.3333333333333"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(formatNumber(value), text) << value;
}

TEST(RoundMoney, HalvesAwayFromZero) {
  const std::vector<std::pair<double, double>> cases{
      {1.005, 1.01}, {-1.005, -1.01}, {12.345, 12.35}, {2.675, 2.68},
      {0.004, 0},    {25, 25},        {-0.125, -0.13}, {1.994999, 1.99}};
  for (const auto& [value, rounded] : cases) EXPECT_DOUBLE_EQ(roundMoney(value), rounded) << value;
}

TEST(ReadNumber, ReadsLeadingNumberLikeAtofWhateverTheLocale) {
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may not exist; the reading must not care
  const std::vector<std::pair<std::string, double>> cases{
      {"12.5", 12.5}, {" 3abc", 3}, {"abc", 0}, {"", 0}, {"-1.5e2", -150}, {".5", 0.5}, {"1,5", 1}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(readNumber(text), value) << text;
  std::setlocale(LC_NUMERIC, "C");
}

TEST(ParseNumberStrict, AcceptsOnlyWholeDecimalNumbers) {
  const std::vector<std::pair<std::string, double>> numbers{
      {"12.5", 12.5}, {" 7 ", 7},    {"\t-3\t", -3},     {"+4", 4}, {".5", 0.5},
      {"5.", 5},      {"1e3", 1000}, {"-1.5E-1", -0.15}, {"0", 0},  {"007", 7}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(parseNumberStrict(text), value) << text;

  for (const std::string text :
       {"12abc", "",      " ",     "inf",   "-inf",  "infinity", "nan", "NAN", "0x10",
        "0X1A",  "-0x10", "0x1p4", "1,000", "1 000", "12元",     "abc", "1e",  "1e+",
        ".",     "-",     "+.",    "1.2.3", "--1",   "1e999",    "\n5", "5\n", "１２"}) {
    EXPECT_FALSE(parseNumberStrict(text)) << text;
  }
}

TEST(ReadInt, ReadsLikeAtoiAndSaturates) {
  const std::vector<std::pair<std::string, int>> cases{{"42", 42},
                                                       {"  -7x", -7},
                                                       {"12.9", 12},
                                                       {"abc", 0},
                                                       {"", 0},
                                                       {"+3", 3},
                                                       {"99999999999", 2147483647},
                                                       {"-99999999999", -2147483647 - 1}};
  for (const auto& [text, value] : cases) EXPECT_EQ(readInt(text), value) << text;
}

TEST(LimitTwoDecimals, DropsTheThirdDecimal) {
  EXPECT_EQ(limitTwoDecimals("12.345"), "12.34");
  EXPECT_EQ(limitTwoDecimals("12.34"), "12.34");
  EXPECT_EQ(limitTwoDecimals("12"), "12");
  EXPECT_EQ(limitTwoDecimals("1.2.345"), "1.2.34");
  // Characters count, not bytes; a character is never cut in half.
  EXPECT_EQ(limitTwoDecimals("1.中"), "1.中");
  EXPECT_EQ(limitTwoDecimals("1.2é"), "1.2é");
  EXPECT_EQ(limitTwoDecimals("1.23中"), "1.23");
}

struct DateCase {
  std::string text;
  std::optional<Date> expected;
};

class ParseDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(ParseDateTest, ReadsTypedForms) {
  EXPECT_EQ(parseDate(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseDateTest,
    ::testing::Values(
        DateCase{"2017-01-03", ymd(2017, 1, 3)}, DateCase{"2017-1-3", ymd(2017, 1, 3)},
        DateCase{"2017/01/03", ymd(2017, 1, 3)}, DateCase{"2017.1.3", ymd(2017, 1, 3)},
        DateCase{"2017-01-03 10:22:01", ymd(2017, 1, 3)},
        DateCase{"2015-03-04T10:00:00Z", ymd(2015, 3, 4)}, DateCase{"2020-02-29", ymd(2020, 2, 29)},
        DateCase{"2019-02-29", std::nullopt}, DateCase{"2017-13-01", std::nullopt},
        DateCase{"2017/01-03", std::nullopt}, DateCase{"17-01-03", std::nullopt},
        DateCase{"", std::nullopt}, DateCase{"2017-01-03x", std::nullopt},
        DateCase{"0000-01-01", std::nullopt}, DateCase{"abc", std::nullopt}));

TEST(Dates, FormatAndArithmetic) {
  EXPECT_EQ(formatDate(ymd(2017, 3, 5)), "2017-03-05");
  EXPECT_EQ(formatDate(addDays(ymd(2017, 3, 15), 2)), "2017-03-17");
  EXPECT_EQ(formatDate(addDays(ymd(2016, 12, 31), 1)), "2017-01-01");
  EXPECT_EQ(formatDate(addDays(ymd(2017, 3, 1), -1)), "2017-02-28");
}

TEST(Clock, FixedAndFromEnvironment) {
  EXPECT_EQ(Clock::fixed(ymd(2017, 3, 15)).today(), ymd(2017, 3, 15));
  ::setenv("PELMORA_TODAY", "2020-02-29", 1);
  EXPECT_EQ(Clock::system().today(), ymd(2020, 2, 29));
  ::setenv("PELMORA_TODAY", "not a date", 1);
  EXPECT_TRUE(Clock::system().today().ok());
  EXPECT_NE(Clock::system().today(), ymd(2020, 2, 29));
  ::unsetenv("PELMORA_TODAY");
}

}  // namespace
}  // namespace pelmora
