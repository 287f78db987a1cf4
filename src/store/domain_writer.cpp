#include "store/domain_writer.h"

#include "support/domain_syntax.h"
#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

std::string insertStatement() {
  std::string columns;
  std::string marks;
  for (int i = 1; i < kDomainFieldCount; ++i) {
    if (i > 1) {
      columns += ',';
      marks += ',';
    }
    columns += kDomainColumns[i];
    marks += '?';
  }
  return "INSERT INTO 域名(" + columns + ") VALUES(" + marks + ")";
}

}  // namespace

Result<SqlParams> domainValues(const DomainRecord& record) {
  const auto fail = [](std::string reason) -> Result<SqlParams> {
    return Failure{std::move(reason)};
  };
  SqlParams values;
  values.reserve(kDomainFieldCount - 1);
  for (int i = 1; i < kDomainFieldCount; ++i) {
    const auto field = static_cast<DomainField>(i);
    const std::string& text = record.fields[i];
    if (field == DomainField::Name && text.empty()) return fail("empty domain name");
    if (field == DomainField::Name && !isDomainName(text)) {
      return fail("not a domain name: " + escapeForTerminal(text));
    }
    if (isMoneyField(field)) {
      if (text.empty()) {
        values.emplace_back(0.0);
        continue;
      }
      const auto number = parseNumberStrict(text);
      if (!number) return fail(std::string(columnName(field)) + " is not a number: " + text);
      values.emplace_back(*number);
    } else if (isDateField(field)) {
      if (text.empty()) {
        values.emplace_back(std::monostate{});
        continue;
      }
      const auto date = parseDate(text);
      if (!date) return fail(std::string(columnName(field)) + " is not a date: " + text);
      values.emplace_back(formatDate(*date));
    } else if (field == DomainField::Length) {
      values.emplace_back(static_cast<std::int64_t>(readInt(text)));
    } else if (field == DomainField::Sold) {
      values.emplace_back(static_cast<std::int64_t>(text == kSoldText || text == "1" ? 1 : 0));
    } else {
      values.emplace_back(text);
    }
  }
  return values;
}

DomainInserter::DomainInserter(SqliteConnection& connection)
    : connection_(connection), statement_(connection.prepare(insertStatement())) {}

RowInsert DomainInserter::insert(const DomainRecord& record, std::string* why) {
  const auto fail = [&](RowInsert outcome, std::string reason) {
    if (why != nullptr) *why = std::move(reason);
    return outcome;
  };
  if (!statement_.valid()) return fail(RowInsert::Failed, connection_.lastError());
  const auto values = domainValues(record);
  if (!values) return fail(RowInsert::Refused, values.error());
  statement_.reset();
  if (statement_.bind(*values)) statement_.step();
  if (!statement_.failed()) return RowInsert::Added;
  // Some errors (a full disk, I/O) end the transaction: going on would store
  // the later rows one by one outside it.
  const bool rowAlone = connection_.inTransaction() && connection_.lastErrorIsConstraint();
  return fail(rowAlone ? RowInsert::Refused : RowInsert::Failed, connection_.lastError());
}

InsertSummary insertDomains(DomainDatabase& db, const std::vector<DomainRecord>& records,
                            const std::function<void(std::size_t, const std::string&)>& onFailure,
                            const InsertControl& control) {
  InsertSummary summary;
  std::string error;
  const bool committed = db.transaction(
      [&](SqliteConnection& connection) {
        DomainInserter inserter(connection);
        for (std::size_t i = 0; i < records.size(); ++i) {
          if (control.stop.stop_requested()) {
            summary.cancelled = true;
            return false;
          }
          if (control.progress && i > 0 && i % kInsertProgressStep == 0) {
            control.progress(i, records.size());
          }
          std::string why;
          switch (inserter.insert(records[i], &why)) {
            case RowInsert::Added:
              ++summary.added;
              break;
            case RowInsert::Refused:
              ++summary.failed;
              if (onFailure) onFailure(i, why);
              break;
            case RowInsert::Failed:
              summary.error = std::move(why);
              return false;
          }
        }
        if (control.progress) control.progress(records.size(), records.size());
        return true;
      },
      &error);
  if (!committed) {
    const bool cancelled = summary.cancelled;
    std::string reason = summary.error.empty() ? error : summary.error;
    summary = InsertSummary{};
    summary.failed = records.size();
    summary.cancelled = cancelled;
    if (!cancelled) summary.error = reason.empty() ? "the insert could not be stored" : reason;
  }
  return summary;
}

}  // namespace pelmora
