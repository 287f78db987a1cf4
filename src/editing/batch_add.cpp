#include "editing/batch_add.h"

#include <array>

#include "store/derived_fields.h"
#include "store/domain_writer.h"
#include "support/domain_syntax.h"
#include "support/numbers.h"
#include "support/text_encoding.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

constexpr std::string_view kSeparator = "|";
constexpr std::string_view kBareDomainFill = "|||||||||||||";

// Input field positions (0-based) of the columns they fill.
constexpr std::array<DomainField, kBatchAddFieldCount> kFieldColumns{
    DomainField::Name,        DomainField::Registrar,    DomainField::DomainType,
    DomainField::Category,    DomainField::RegisteredOn, DomainField::ExpiresOn,
    DomainField::OneTimeCost, DomainField::RenewalCost,  DomainField::ReservePrice,
    DomainField::AskingPrice, DomainField::FinalPrice,   DomainField::Note,
    DomainField::PurchasedOn, DomainField::SoldOn};

struct ClassificationCheck {
  std::size_t input;  // field position in the line
  CategoryKind kind;
  std::string_view tag;
};

// In this order; a later failure replaces an earlier one.
constexpr std::array<ClassificationCheck, 3> kChecks{
    ClassificationCheck{1, CategoryKind::Registrar, kTagBadRegistrar},
    ClassificationCheck{2, CategoryKind::DomainType, kTagBadDomainType},
    ClassificationCheck{3, CategoryKind::Category, kTagBadCategory}};

bool isListed(const std::vector<ClassItem>& items, std::string_view name) {
  for (const ClassItem& item : items) {
    if (item.name == name) return true;
  }
  return false;
}

// The tag of an amount field that is not a plain number.
std::string_view badAmountTag(DomainField column) {
  switch (column) {
    case DomainField::OneTimeCost:
      return kTagBadOneTimeCost;
    case DomainField::RenewalCost:
      return kTagBadRenewalCost;
    case DomainField::ReservePrice:
      return kTagBadReservePrice;
    case DomainField::AskingPrice:
      return kTagBadAskingPrice;
    default:
      return kTagBadFinalPrice;
  }
}

// A date the parser reads is stored in its usual form; any other text is
// kept, so the insert refuses it.
std::string dateValue(const std::string& text) {
  if (text.empty()) return text;
  const auto date = parseDate(text);
  return date ? formatDate(*date) : text;
}

BatchAddRow failedRow(std::string name, std::string_view tag) {
  return BatchAddRow{std::move(name), std::nullopt, tag};
}

}  // namespace

BatchAddRow buildBatchAddRow(const std::vector<std::string>& fields,
                             const ClassificationLists& lists) {
  std::string name = fields.empty() ? std::string() : fields.front();
  if (fields.size() != kBatchAddFieldCount) return failedRow(std::move(name), kTagBadFormat);
  for (const std::string& field : fields) {
    if (!isValidUtf8(field)) return failedRow(std::move(name), kTagBadFormat);
  }
  // An empty name is left for the insert to refuse, as it always was.
  if (!name.empty() && !isDomainName(name)) return failedRow(std::move(name), kTagBadFormat);

  std::string_view tag;
  for (const ClassificationCheck& check : kChecks) {
    const std::string& text = fields[check.input];
    if (!text.empty() && !isListed(lists.list(check.kind), text)) tag = check.tag;
  }
  if (!tag.empty()) return failedRow(std::move(name), tag);

  DomainRecord record;
  for (std::size_t i = 0; i < kBatchAddFieldCount; ++i) {
    const DomainField column = kFieldColumns[i];
    const std::string& text = fields[i];
    if (isClassificationField(column)) {
      record[column] = text.empty() ? std::string(kNotGrouped) : text;
    } else if (isDateField(column)) {
      record[column] = dateValue(text);
    } else if (isMoneyField(column)) {
      const std::optional<double> amount = parseNumberOrBlank(text);
      if (!amount) return failedRow(std::move(name), badAmountTag(column));
      // + 0.0 turns a rounded -0 into 0.
      record[column] = formatNumber(roundMoney(*amount) + 0.0);
    } else {
      record[column] = text;
    }
  }
  applyDerivedFields(record);
  return BatchAddRow{std::move(name), std::move(record), {}};
}

BatchAddRow buildBatchAddRow(std::string_view line, const ClassificationLists& lists) {
  if (line.find(kSeparator) == std::string_view::npos) {
    return buildBatchAddRow(splitText(std::string(line) + std::string(kBareDomainFill), kSeparator),
                            lists);
  }
  return buildBatchAddRow(splitText(line, kSeparator), lists);
}

BatchAddResult runBatchAddRows(DomainDatabase& db, const std::vector<BatchAddRow>& rows,
                               const BatchProgress& progress, std::stop_token stop) {
  BatchAddResult result;
  result.total = rows.size();

  std::vector<DomainRecord> records;
  std::vector<std::size_t> rowOfRecord;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].record) continue;
    records.push_back(*rows[i].record);
    rowOfRecord.push_back(i);
  }

  std::vector<std::string_view> tags(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) tags[i] = rows[i].tag;
  InsertControl control;
  control.stop = stop;
  if (progress) {
    // Rows that fail before the insert are done as soon as the next record is.
    control.progress = [&](std::size_t done, std::size_t) {
      progress(done == records.size() ? rows.size() : rowOfRecord[done], rows.size());
    };
  }
  const InsertSummary summary = insertDomains(
      db, records, [&](std::size_t k, const std::string&) { tags[rowOfRecord[k]] = kTagNotStored; },
      control);
  if (records.empty() && progress) progress(rows.size(), rows.size());

  const bool stored = !summary.cancelled && summary.error.empty();
  result.cancelled = summary.cancelled;
  result.error = summary.error;
  result.added = summary.added;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string_view tag = tags[i];
    if (!stored && tag.empty()) tag = kTagNotStored;
    if (tag.empty()) continue;
    ++result.failed;
    result.failedLines.push_back(BatchAddFailure{rows[i].name, tag});
    result.failures += rows[i].name;
    result.failures += tag;
    result.failures += "\r\n";
  }
  return result;
}

BatchAddResult runBatchAdd(DomainDatabase& db, const std::vector<std::string>& lines,
                           const ClassificationLists& lists, const BatchProgress& progress,
                           std::stop_token stop) {
  std::vector<BatchAddRow> rows;
  rows.reserve(lines.size());
  for (const std::string& line : lines) rows.push_back(buildBatchAddRow(line, lists));
  return runBatchAddRows(db, rows, progress, std::move(stop));
}

std::string batchAddProgressText(std::size_t done, std::size_t total) {
  return "进度: [ " + std::to_string(done) + " / " + std::to_string(total) + "]";
}

std::string batchAddResultText(const BatchAddResult& result) {
  return "结果: 总计[ " + std::to_string(result.total) + " ],成功[ " +
         std::to_string(result.added) + " ],失败[ " + std::to_string(result.failed) + " ]";
}

}  // namespace pelmora
