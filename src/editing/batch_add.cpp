#include "editing/batch_add.h"

#include <algorithm>
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

namespace {

// Puts the next row in `row`; false after the last one, with the reason in
// `error` when the input could not go on.
using BatchRowSource = std::function<bool(BatchAddRow& row, std::string& error)>;

BatchAddResult runRows(DomainDatabase& db, const BatchRowSource& next,
                       const BatchAddControl& control) {
  BatchAddResult result;
  std::size_t done = 0;
  std::size_t failed = 0;
  const auto fail = [&](const std::string& name, std::string_view tag) {
    ++failed;
    if (control.onFailure) {
      control.onFailure(BatchAddFailure{name, tag});
      return;
    }
    result.failedLines.push_back(BatchAddFailure{name, tag});
    result.failures += name;
    result.failures += tag;
    result.failures += "\r\n";
  };
  const std::size_t total = control.total;
  const BatchProgress& progress = control.progress;
  std::string runError;
  std::string commitError;
  const bool committed = db.transaction(
      [&](SqliteConnection& connection) {
        DomainInserter inserter(connection);
        BatchAddRow row;
        while (true) {
          if (control.stop.stop_requested()) {
            result.cancelled = true;
            return false;
          }
          if (!next(row, runError)) break;
          ++done;
          if (!row.record) {
            fail(row.name, row.tag);
          } else {
            std::string why;
            switch (inserter.insert(*row.record, &why)) {
              case RowInsert::Added:
                ++result.added;
                break;
              case RowInsert::Refused:
                fail(row.name, kTagNotStored);
                break;
              case RowInsert::Failed:
                runError = std::move(why);
                return false;
            }
          }
          if (progress && done % kInsertProgressStep == 0) progress(done, std::max(total, done));
        }
        if (!runError.empty()) return false;
        if (progress) progress(done, std::max(total, done));
        return true;
      },
      &commitError);

  result.total = std::max(total, done);
  if (committed) {
    result.failed = failed;
    return result;
  }
  result.added = 0;
  result.failed = result.total;
  if (!result.cancelled) {
    result.error = !runError.empty()      ? runError
                   : !commitError.empty() ? commitError
                                          : "the lines could not be stored";
  }
  return result;
}

}  // namespace

BatchAddResult runBatchAddStream(DomainDatabase& db, const BatchLineSource& next,
                                 const ClassificationLists& lists, const BatchAddControl& control) {
  std::string line;
  return runRows(
      db,
      [&](BatchAddRow& row, std::string& error) {
        if (!next(line, error)) return false;
        row = buildBatchAddRow(line, lists);
        return true;
      },
      control);
}

BatchAddResult runBatchAdd(DomainDatabase& db, const std::vector<std::string>& lines,
                           const ClassificationLists& lists, const BatchProgress& progress,
                           std::stop_token stop) {
  std::size_t at = 0;
  return runBatchAddStream(db,
                           [&](std::string& line, std::string&) {
                             if (at == lines.size()) return false;
                             line = lines[at++];
                             return true;
                           },
                           lists, {progress, std::move(stop), lines.size(), {}});
}

BatchAddResult runBatchAddRows(DomainDatabase& db, const std::vector<BatchAddRow>& rows,
                               const BatchProgress& progress, std::stop_token stop) {
  std::size_t at = 0;
  return runRows(db,
                 [&](BatchAddRow& row, std::string&) {
                   if (at == rows.size()) return false;
                   row = rows[at++];
                   return true;
                 },
                 {progress, std::move(stop), rows.size(), {}});
}

std::string batchAddProgressText(std::size_t done, std::size_t total) {
  return "进度: [ " + std::to_string(done) + " / " + std::to_string(total) + "]";
}

std::string batchAddResultText(const BatchAddResult& result) {
  return "结果: 总计[ " + std::to_string(result.total) + " ],成功[ " +
         std::to_string(result.added) + " ],失败[ " + std::to_string(result.failed) + " ]";
}

}  // namespace pelmora
