#include "editing/row_write_back.h"

#include <optional>

#include "store/derived_fields.h"
#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

bool isBlank(const std::string& text) { return trimSpaces(text).empty(); }

std::string& cell(RowCells& cells, DomainField field) {
  return cells[static_cast<std::size_t>(field)];
}

// A blank date is no date; anything else must be a date.
std::optional<SqlValue> dateValue(const std::string& text) {
  if (isBlank(text)) return SqlValue(std::monostate{});
  const auto date = parseDate(trimSpaces(text));
  if (!date) return std::nullopt;
  return SqlValue(formatDate(*date));
}

std::optional<SqlValue> amountValue(const std::string& text) {
  const auto number = parseNumberStrict(text);
  if (!number) return std::nullopt;
  return SqlValue(*number);
}

}  // namespace

RowWriteBack writeRowBack(DomainDatabase& db, RowCells cells) {
  const DerivedAmounts amounts = deriveAmounts(readNumber(cell(cells, DomainField::OneTimeCost)),
                                               readNumber(cell(cells, DomainField::RenewalCost)),
                                               readNumber(cell(cells, DomainField::FinalPrice)));
  cell(cells, DomainField::ActualCost) = formatNumber(amounts.actualCost);
  cell(cells, DomainField::Profit) = formatNumber(amounts.profit);
  cell(cells, DomainField::Sold) = amounts.sold ? "1" : "0";
  if (!amounts.sold) cell(cells, DomainField::SoldOn).clear();

  RowWriteBack result{cells, false};
  SqlParams params;
  for (DomainField group :
       {DomainField::Registrar, DomainField::DomainType, DomainField::Category}) {
    const std::string& text = cell(cells, group);
    params.emplace_back(isBlank(text) ? std::string(kNotGrouped) : text);
  }
  for (DomainField field : {DomainField::RegisteredOn, DomainField::ExpiresOn}) {
    const auto value = dateValue(cell(cells, field));
    if (!value) return result;
    params.push_back(*value);
  }
  for (DomainField field : {DomainField::OneTimeCost, DomainField::RenewalCost}) {
    const auto value = amountValue(cell(cells, field));
    if (!value) return result;
    params.push_back(*value);
  }
  params.emplace_back(amounts.actualCost);
  for (DomainField field :
       {DomainField::ReservePrice, DomainField::AskingPrice, DomainField::FinalPrice}) {
    const auto value = amountValue(cell(cells, field));
    if (!value) return result;
    params.push_back(*value);
  }
  params.emplace_back(amounts.profit);
  params.emplace_back(static_cast<std::int64_t>(amounts.sold ? 1 : 0));
  const std::string& note = cell(cells, DomainField::Note);
  params.emplace_back(isBlank(note) ? std::string() : note);
  for (DomainField field : {DomainField::PurchasedOn, DomainField::SoldOn}) {
    const auto value = dateValue(cell(cells, field));
    if (!value) return result;
    params.push_back(*value);
  }
  params.emplace_back(cell(cells, DomainField::Name));

  bool changedOne = false;
  db.withConnection([&](SqliteConnection& connection) {
    SqliteStatement statement = connection.prepare(
        "UPDATE 域名 SET 注册商=?,域名类型=?,自定义分类=?,注册时间=?,到期时间=?,一次成本=?,"
        "续费成本=?,实际成本=?,预售底价=?,标价=?,最终售价=?,利润=?,出售=?,备注=?,购买时间=?,"
        "出售时间=? WHERE 域名=?");
    if (!statement.bind(params)) return;
    statement.step();
    changedOne = !statement.failed() && connection.changes() == 1;
  });
  result.stored = changedOne;
  return result;
}

}  // namespace pelmora
