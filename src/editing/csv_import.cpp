#include "editing/csv_import.h"

#include <algorithm>
#include <array>
#include <optional>

#include "support/csv_reader.h"
#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

struct ColumnName {
  std::string_view chinese;
  std::string_view english;
};

// In batch-add field order.
constexpr std::array<ColumnName, kBatchAddFieldCount> kColumnNames{{
    {"域名", "domain"},
    {"注册商", "registrar"},
    {"域名类型", "type"},
    {"自定义分类", "category"},
    {"注册时间", "registered"},
    {"到期时间", "expires"},
    {"一次成本", "cost"},
    {"续费成本", "renewal"},
    {"预售底价", "reserve"},
    {"标价", "price"},
    {"最终售价", "final"},
    {"备注", "note"},
    {"购买时间", "purchased"},
    {"出售时间", "sold_on"},
}};

// Columns of the program's own listing export that are worked out from the
// others, or written by the date lookups alone: skipped without a word.
constexpr std::array<std::string_view, 8> kDerivedColumns{
    "后缀", "长度", "实际成本", "利润", "出售", "最后查询", "查询来源", "域名状态"};

constexpr std::string_view kListedPriceAlias = "对外标价";
constexpr std::size_t kListedPriceField = 9;

// The batch-add field a header names, if any.
std::optional<std::size_t> fieldOfColumn(std::string_view header) {
  const std::string name = trimSpaces(header);
  if (name == kListedPriceAlias) return kListedPriceField;
  const std::string lower = lowerAscii(name);
  for (std::size_t i = 0; i < kColumnNames.size(); ++i) {
    if (name == kColumnNames[i].chinese || lower == kColumnNames[i].english) return i;
  }
  return std::nullopt;
}

std::string malformedName(std::size_t line) { return "第 " + std::to_string(line) + " 行"; }

// A semicolon-separated file comes from a decimal-comma locale, so "12,5"
// there reads 12.5. A comma followed by exactly three digits may as well
// separate thousands ("12,345", "1,000"): such an amount is left as it is and
// refused as not a number rather than guessed.
void readDecimalCommas(std::vector<std::string>& fields, char separator) {
  constexpr std::array<std::size_t, 5> kAmountFields{6, 7, 8, 9, 10};
  if (separator != ';') return;
  for (std::size_t field : kAmountFields) {
    std::string text = trimSpaces(fields[field]);
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find('.') != std::string::npos ||
        text.find(',', comma + 1) != std::string::npos) {
      continue;
    }
    const std::string_view after = std::string_view(text).substr(comma + 1);
    if (after.size() == 3 &&
        std::all_of(after.begin(), after.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    text[comma] = '.';
    fields[field] = std::move(text);
  }
}

}  // namespace

CsvImport readCsvImport(std::string_view text, const ClassificationLists& lists) {
  CsvImport result;
  const CsvTable table = readCsv(text);
  if (!table.ok()) {
    result.error = table.error;
    return result;
  }

  // For each CSV column, the batch-add field it fills (nullopt: skipped).
  std::vector<std::optional<std::size_t>> targets;
  std::array<bool, kBatchAddFieldCount> named{};
  for (const std::string& header : table.header) {
    const auto field = fieldOfColumn(header);
    if (field) {
      if (named[*field]) {
        result.error = "column " + std::string(kColumnNames[*field].chinese) + " is named twice";
        return result;
      }
      named[*field] = true;
    } else if (std::find(kDerivedColumns.begin(), kDerivedColumns.end(), trimSpaces(header)) ==
               kDerivedColumns.end()) {
      result.unknownColumns.push_back(header);
    }
    targets.push_back(field);
  }
  if (!named[0]) {
    result.error = "the header names no 域名 (domain) column";
    return result;
  }

  result.rows.reserve(table.records.size());
  for (const CsvRecord& record : table.records) {
    if (!record.ok()) {
      result.rows.push_back(BatchAddRow{malformedName(record.line), std::nullopt, kTagBadFormat});
      continue;
    }
    std::vector<std::string> fields(kBatchAddFieldCount);
    for (std::size_t c = 0; c < targets.size(); ++c) {
      if (targets[c]) fields[*targets[c]] = record.fields[c];
    }
    readDecimalCommas(fields, table.separator);
    result.rows.push_back(buildBatchAddRow(fields, lists));
  }
  return result;
}

std::string unknownColumnsWarning(const std::vector<std::string>& columns) {
  if (columns.empty()) return {};
  std::string text = "未知的列已跳过: ";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) text += ", ";
    text += columns[i];
  }
  return text;
}

}  // namespace pelmora
