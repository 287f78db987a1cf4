#include "editing/advanced_modify.h"

#include <algorithm>
#include <array>
#include <optional>

#include "editing/batch_modify.h"
#include "store/batch_update.h"
#include "support/dates.h"
#include "support/domain_syntax.h"
#include "support/list_lines.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

// Lines committed together; a stop request is honoured between chunks.
constexpr std::size_t kChunkSize = 500;

struct KeyRule {
  std::string_view key;
  DomainField field;
  std::optional<CategoryKind> listed;  // the value must name an entry of this list
  std::string_view notListed;
};

constexpr std::array<KeyRule, 8> kKeys{
    KeyRule{"注册商", DomainField::Registrar, CategoryKind::Registrar, kReasonNoSuchRegistrar},
    KeyRule{"域名类型", DomainField::DomainType, CategoryKind::DomainType, kReasonNoSuchDomainType},
    KeyRule{"自定义分类", DomainField::Category, CategoryKind::Category, kReasonNoSuchCategory},
    KeyRule{"注册时间", DomainField::RegisteredOn, std::nullopt, {}},
    KeyRule{"到期时间", DomainField::ExpiresOn, std::nullopt, {}},
    KeyRule{"备注", DomainField::Note, std::nullopt, {}},
    KeyRule{"购买时间", DomainField::PurchasedOn, std::nullopt, {}},
    KeyRule{"出售时间", DomainField::SoldOn, std::nullopt, {}},
};

const KeyRule* ruleOf(std::string_view key) {
  for (const KeyRule& rule : kKeys) {
    if (rule.key == key) return &rule;
  }
  return nullptr;
}

bool isListed(const std::vector<ClassItem>& items, std::string_view name) {
  return std::any_of(items.begin(), items.end(),
                     [name](const ClassItem& item) { return item.name == name; });
}

// The columns a line that passed its checks sets on a domain that is stored
// with the sold flag `sold`; nullopt when no update can be made of the line
// (no recognised pair, or a date that is not a date). A later pair of the
// same key wins.
std::optional<std::vector<ColumnValue>> columnsFor(const AdvancedModifyLine& line) {
  if (line.pairs.empty()) return std::nullopt;
  std::vector<ColumnValue> columns;
  for (const AdvancedModifyPair& pair : line.pairs) {
    SqlValue value = pair.value;
    if (isDateField(pair.field)) {
      const auto date = parseDate(pair.value);
      if (!date) return std::nullopt;
      value = formatDate(*date);
    }
    const auto same = std::find_if(columns.begin(), columns.end(),
                                   [&](const ColumnValue& c) { return c.field == pair.field; });
    if (same != columns.end()) {
      same->value = std::move(value);
    } else {
      columns.push_back({pair.field, std::move(value)});
    }
  }
  return columns;
}

struct LineOutcome {
  bool ok = false;
  std::string reason;
};

// One line inside the chunk's transaction.
LineOutcome modifyOne(NamedRowWriter& writer, const std::string& text,
                      const ClassificationLists& lists) {
  const AdvancedModifyLine line = parseAdvancedModifyLine(text, lists);
  const StoredAmountsRead read = writer.storedAmounts(line.domain);
  if (!read.ok) return {false, read.error};
  if (!read.amounts) return {false, std::string(kReasonNoSuchDomain)};
  if (!line.reason.empty()) return {false, std::string(line.reason)};
  // An unsold domain has no sale date (every writer keeps to that): the line
  // is refused rather than stored half or counted as done.
  const bool setsSaleDate =
      std::any_of(line.pairs.begin(), line.pairs.end(),
                  [](const AdvancedModifyPair& pair) { return pair.field == DomainField::SoldOn; });
  if (setsSaleDate && !read.amounts->sold) return {false, std::string(kReasonUnsoldSaleDate)};
  const auto columns = columnsFor(line);
  if (!columns) return {false, std::string(kReasonBadFormat)};
  NamedRowUpdate update = writer.updateColumns(line.domain, *columns);
  if (update.ok) return {true, {}};
  return {false, std::move(update.error)};
}

}  // namespace

std::string_view advancedModifyFieldList() {
  return "注册商,域名类型,自定义分类,注册时间,到期时间,备注,购买时间,出售时间";
}

AdvancedModifyLine parseAdvancedModifyLine(std::string_view text,
                                           const ClassificationLists& lists) {
  const std::vector<std::string> fields = splitText(text, ",");
  AdvancedModifyLine line;
  line.domain = fields.front();
  if (!line.domain.empty() && !isDomainName(line.domain)) {
    line.reason = kReasonBadFormat;
    return line;
  }
  for (std::size_t i = 1; i < fields.size(); ++i) {
    const std::vector<std::string> parts = splitText(fields[i], "=");
    if (parts.size() != 2) {
      line.reason = kReasonBadFormat;
      return line;
    }
    const KeyRule* rule = ruleOf(parts[0]);
    if (rule == nullptr) continue;
    if (rule->listed && !isListed(lists.list(*rule->listed), parts[1])) {
      line.reason = rule->notListed;
      return line;
    }
    line.pairs.push_back({rule->field, parts[1]});
  }
  return line;
}

std::vector<std::string> advancedModifyLines(std::string_view text) {
  std::vector<std::string> lines = splitListLines(text);
  dropEmptyLastLines(lines);
  return lines;
}

void dropEmptyLastLines(std::vector<std::string>& lines) {
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
}

AdvancedModifyResult runAdvancedModify(DomainDatabase& db, const std::vector<std::string>& lines,
                                       const ClassificationLists& lists,
                                       const AdvancedModifyProgress& progress,
                                       std::stop_token stop) {
  AdvancedModifyResult result;
  result.total = lines.size();
  std::size_t done = 0;
  const auto report = [&](const std::string& line, const LineOutcome& outcome) {
    if (outcome.ok) {
      ++result.succeeded;
    } else {
      ++result.failed;
      result.failures.push_back({splitText(line, ",").front(), outcome.reason});
    }
    ++done;
  };

  std::vector<LineOutcome> outcomes;
  outcomes.reserve(kChunkSize);
  for (std::size_t first = 0; first < lines.size(); first += kChunkSize) {
    const std::size_t end = std::min(lines.size(), first + kChunkSize);
    outcomes.clear();
    bool committed = false;
    if (result.error.empty()) {
      std::string reason;
      committed = db.transaction(
          [&](SqliteConnection& connection) {
            // Asked once the database is ours, so a stop that came while
            // waiting for it is honoured.
            if (stop.stop_requested()) {
              result.cancelled = true;
              return false;
            }
            NamedRowWriter writer(connection);
            for (std::size_t i = first; i < end; ++i) {
              outcomes.push_back(modifyOne(writer, lines[i], lists));
              // A failure that ended the transaction takes the chunk with it.
              if (!outcomes.back().ok && !connection.inTransaction()) return false;
            }
            return true;
          },
          &reason);
      if (result.cancelled) break;
      if (!committed) result.error = "the changes could not be stored: " + reason;
    }
    if (!committed) {
      // Nothing of this chunk was stored, and the run cannot go on.
      outcomes.assign(end - first, LineOutcome{false, result.error});
    }
    for (std::size_t i = first; i < end; ++i) report(lines[i], outcomes[i - first]);
    // Progress is what has been committed (or has failed for good).
    if (progress) progress(done, result.total);
  }
  return result;
}

std::string advancedModifyFailureText(const std::vector<AdvancedModifyFailure>& failures) {
  std::string text;
  for (const AdvancedModifyFailure& failure : failures) {
    text += failure.domain + "[" + failure.reason + "]\r\n";
  }
  return text;
}

std::string advancedModifyResultText(const AdvancedModifyResult& result) {
  BatchModifyResult counts;
  counts.total = result.total;
  counts.succeeded = result.succeeded;
  counts.failed = result.failed;
  counts.cancelled = result.cancelled;
  counts.error = result.error;
  return batchModifyResultText(counts);
}

}  // namespace pelmora
