#include "editing/row_write_back.h"

#include <charconv>
#include <optional>

#include "store/derived_fields.h"
#include "store/listing.h"
#include "store/row_update.h"
#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

// The value to store and its text in the record, or nullopt when `text` does
// not fit the column.
struct Typed {
  SqlValue value;
  std::string text;
};

std::optional<Typed> typedValue(DomainField field, std::string_view text) {
  const std::string trimmed = trimSpaces(text);
  if (isMoneyField(field)) {
    const auto number = parseNumberStrict(text);
    if (!number) return std::nullopt;
    return Typed{*number, formatNumber(*number)};
  }
  if (isDateField(field)) {
    if (trimmed.empty()) return Typed{std::monostate{}, {}};  // a blank date is no date
    const auto date = parseDate(trimmed);
    if (!date) return std::nullopt;
    return Typed{formatDate(*date), formatDate(*date)};
  }
  if (isClassificationField(field)) {
    const std::string group = trimmed.empty() ? std::string(kNotGrouped) : std::string(text);
    return Typed{group, group};
  }
  const std::string note = trimmed.empty() ? std::string() : std::string(text);
  return Typed{note, note};
}

bool changesDerivedAmounts(DomainField field) {
  return field == DomainField::OneTimeCost || field == DomainField::RenewalCost ||
         field == DomainField::FinalPrice;
}

std::optional<std::int64_t> idOf(const DomainRecord& row) {
  const std::string& text = row[DomainField::Id];
  std::int64_t id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return id;
}

}  // namespace

CellWriteBack writeCellBack(DomainDatabase& db, const DomainRecord& row, DomainField field,
                            std::string_view text) {
  CellWriteBack result{row, {}, false, {}};
  const int column = static_cast<int>(field);
  if (column < 1 || column >= kDomainFieldCount || isReadOnlyColumn(column)) return result;
  const auto id = idOf(row);
  const auto typed = typedValue(field, text);
  if (!id || !typed) return result;

  DomainRecord updated = row;
  updated[field] = typed->text;
  std::vector<ColumnValue> values{{field, typed->value}};
  const DerivedAmounts amounts = deriveAmounts(updated.money(DomainField::OneTimeCost),
                                               updated.money(DomainField::RenewalCost),
                                               updated.money(DomainField::FinalPrice));
  if (changesDerivedAmounts(field)) {
    updated[DomainField::ActualCost] = formatNumber(amounts.actualCost);
    updated[DomainField::Profit] = formatNumber(amounts.profit);
    updated[DomainField::Sold] = std::string(amounts.sold ? kSoldText : kUnsoldText);
    appendColumn(values, DomainField::ActualCost, amounts.actualCost);
    appendColumn(values, DomainField::Profit, amounts.profit);
    appendColumn(values, DomainField::Sold, std::int64_t{amounts.sold ? 1 : 0});
  }
  // An unsold domain has no sale date: a typed one is refused rather than
  // dropped, and an amount that makes the domain unsold clears it, as does
  // any edit of a row that still holds one.
  if (!amounts.sold && field == DomainField::SoldOn && !typed->text.empty()) return result;
  const bool staleSaleDate = field != DomainField::SoldOn && !updated[DomainField::SoldOn].empty();
  if (!amounts.sold && (changesDerivedAmounts(field) || staleSaleDate)) {
    updated[DomainField::SoldOn].clear();
    appendColumn(values, DomainField::SoldOn, std::monostate{});
  }

  if (const auto written = updateDomainColumns(db, *id, values, kCellWriteWaitMs); !written) {
    result.error = written.error();
    return result;
  }
  result.record = std::move(updated);
  for (const ColumnValue& value : values) result.written.push_back(value.field);
  result.stored = true;
  return result;
}

}  // namespace pelmora
