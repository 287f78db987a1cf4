#include "support/table_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/csv_reader.h"

namespace pelmora {
namespace {

Table sampleTable() {
  Table table;
  table.columns = {"域名", "长度", "标价", "备注", "到期时间"};
  table.rows.push_back({std::string("a.com"), std::int64_t{1}, 12.5,
                        std::string("say \"hi\", then\nbye"), std::monostate{}});
  table.rows.push_back({std::string("b.net"), std::int64_t{1}, 0.1 + 0.2, std::string("tab\there"),
                        std::string("2017-03-16")});
  return table;
}

struct FormatCase {
  TableFormat format;
  bool tsvHeader;
  std::string expected;
};
void PrintTo(const FormatCase& c, std::ostream* out) {
  *out << static_cast<int>(c.format) << (c.tsvHeader ? " with header" : "");
}

class TableWriterFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TableWriterFormats, WritesHeaderAndTypedCells) {
  EXPECT_EQ(tableText(sampleTable(), GetParam().format, {GetParam().tsvHeader}),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, TableWriterFormats,
    ::testing::Values(FormatCase{TableFormat::Tsv, true,
                                 "域名\t长度\t标价\t备注\t到期时间\n"
                                 "a.com\t1\t12.5\tsay \"hi\", then\\nbye\t\n"
                                 "b.net\t1\t0.3\ttab\\there\t2017-03-16\n"},
                      FormatCase{TableFormat::Tsv, false,
                                 "a.com\t1\t12.5\tsay \"hi\", then\\nbye\t\n"
                                 "b.net\t1\t0.3\ttab\\there\t2017-03-16\n"},
                      FormatCase{TableFormat::Csv, true,
                                 "域名,长度,标价,备注,到期时间\r\n"
                                 "a.com,1,12.5,\"say \"\"hi\"\", then\nbye\",\r\n"
                                 "b.net,1,0.3,tab\there,2017-03-16\r\n"},
                      FormatCase{TableFormat::Json, true,
                                 "[\n"
                                 "  {\n"
                                 "    \"域名\": \"a.com\",\n"
                                 "    \"长度\": 1,\n"
                                 "    \"标价\": 12.5,\n"
                                 "    \"备注\": \"say \\\"hi\\\", then\\nbye\",\n"
                                 "    \"到期时间\": null\n"
                                 "  },\n"
                                 "  {\n"
                                 "    \"域名\": \"b.net\",\n"
                                 "    \"长度\": 1,\n"
                                 "    \"标价\": 0.30000000000000004,\n"
                                 "    \"备注\": \"tab\\there\",\n"
                                 "    \"到期时间\": \"2017-03-16\"\n"
                                 "  }\n"
                                 "]\n"}));

TEST(TableWriter, CsvFieldQuotesOnlyWhatItMust) {
  EXPECT_EQ(csvField("plain text"), "plain text");
  EXPECT_EQ(csvField("a,b"), "\"a,b\"");
  EXPECT_EQ(csvField("say \"x\""), "\"say \"\"x\"\"\"");
  EXPECT_EQ(csvField("line\rbreak"), "\"line\rbreak\"");
  EXPECT_EQ(csvField(""), "");
}

TEST(TableWriter, CsvReadsBackThroughTheCsvReader) {
  const CsvTable read = readCsv(tableText(sampleTable(), TableFormat::Csv));
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.header, sampleTable().columns);
  ASSERT_EQ(read.records.size(), 2u);
  EXPECT_EQ(read.records[0].fields,
            (std::vector<std::string>{"a.com", "1", "12.5", "say \"hi\", then\nbye", ""}));
  EXPECT_EQ(read.records[1].fields[3], "tab\there");
}

TEST(TableWriter, JsonIsOneArrayOfObjectsInColumnOrder) {
  const std::string text = tableText(sampleTable(), TableFormat::Json);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  const auto parsed = nlohmann::ordered_json::parse(text);
  ASSERT_TRUE(parsed.is_array());
  ASSERT_EQ(parsed.size(), 2u);
  const auto& first = parsed[0];
  std::vector<std::string> keys;
  for (const auto& [key, value] : first.items()) keys.push_back(key);
  EXPECT_EQ(keys, sampleTable().columns);
  EXPECT_TRUE(first["长度"].is_number_integer());
  EXPECT_EQ(first["标价"].get<double>(), 12.5);
  EXPECT_EQ(first["备注"], "say \"hi\", then\nbye");
  EXPECT_TRUE(first["到期时间"].is_null());
  EXPECT_EQ(parsed[1]["到期时间"], "2017-03-16");
}

TEST(TableWriter, JsonOfNoRowsIsAnEmptyArrayAndBadBytesAreReplaced) {
  Table table;
  table.columns = {"备注"};
  EXPECT_EQ(tableText(table, TableFormat::Json), "[]\n");
  table.rows.push_back({std::string("a\xff")});
  const auto parsed = nlohmann::json::parse(tableText(table, TableFormat::Json));
  EXPECT_EQ(parsed[0]["备注"], "a\xEF\xBF\xBD");
}

TEST(TableWriter, FormatNames) {
  EXPECT_EQ(parseTableFormat("tsv"), TableFormat::Tsv);
  EXPECT_EQ(parseTableFormat("csv"), TableFormat::Csv);
  EXPECT_EQ(parseTableFormat("json"), TableFormat::Json);
  EXPECT_EQ(parseTableFormat("CSV"), std::nullopt);
  EXPECT_EQ(parseTableFormat(""), std::nullopt);
}

}  // namespace
}  // namespace pelmora
