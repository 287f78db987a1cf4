#include "editing/single_add.h"

#include <cmath>
#include <vector>

#include "store/classification_lists.h"
#include "store/derived_fields.h"
#include "store/domain_writer.h"
#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

constexpr double kNonZero = 0.0000001;

// "-" for "不选", else the name without its count.
std::string classificationValue(std::string_view comboText) {
  if (comboText == kItemNone) return std::string(kNotGrouped);
  return nameOfItem(comboText);
}

// "0" for an empty edit, else the number rounded to two decimals.
std::string amountValue(std::string_view text) {
  if (text.empty()) return "0";
  // + 0.0 turns a rounded -0 into 0.
  return formatNumber(roundMoney(readNumber(text)) + 0.0);
}

}  // namespace

std::string normaliseAddedDomain(std::string_view typed) { return lowerAscii(trimSpaces(typed)); }

DomainShape addedDomainShape(std::string_view typed) {
  const std::string domain = normaliseAddedDomain(typed);
  return {deriveSuffix(domain), std::to_string(deriveLength(domain))};
}

std::string addedActualCost(std::string_view oneTimeCost, std::string_view renewalCost) {
  return formatNumber(roundMoney(readNumber(oneTimeCost) + readNumber(renewalCost)) + 0.0);
}

AddedProfit addedProfit(std::string_view finalPrice, std::string_view actualCost) {
  const double profit = readNumber(finalPrice) - readNumber(actualCost);
  return {formatNumber(profit + 0.0), std::fabs(profit) > kNonZero};
}

DomainRecord singleAddRecord(const SingleAddFields& f) {
  DomainRecord record;
  record[DomainField::Name] = normaliseAddedDomain(f.domain);
  record[DomainField::Suffix] = f.suffix;
  record[DomainField::Length] = f.length;
  record[DomainField::Registrar] = classificationValue(f.registrar);
  record[DomainField::DomainType] = classificationValue(f.domainType);
  record[DomainField::Category] = classificationValue(f.category);
  record[DomainField::RegisteredOn] = formatDate(f.registeredOn);
  record[DomainField::ExpiresOn] = formatDate(f.expiresOn);
  record[DomainField::OneTimeCost] = amountValue(f.oneTimeCost);
  record[DomainField::RenewalCost] = amountValue(f.renewalCost);
  record[DomainField::ActualCost] = amountValue(f.actualCost);
  record[DomainField::ReservePrice] = amountValue(f.reservePrice);
  record[DomainField::AskingPrice] = amountValue(f.askingPrice);
  record[DomainField::FinalPrice] = amountValue(f.finalPrice);
  record[DomainField::Profit] = f.profit.empty() ? "0" : f.profit;
  record[DomainField::Sold] = readNumber(f.finalPrice) > kNonZero ? "1" : "0";
  record[DomainField::Note] = f.note.empty() ? " " : f.note;
  record[DomainField::PurchasedOn] = formatDate(f.purchasedOn);
  if (f.soldOn) record[DomainField::SoldOn] = formatDate(*f.soldOn);
  return record;
}

SingleAddOutcome insertSingleDomain(DomainDatabase& db, const SingleAddFields& fields) {
  const DomainRecord record = singleAddRecord(fields);
  const std::string& domain = record[DomainField::Name];
  SingleAddOutcome outcome;
  const std::pair<const char*, const std::string*> amounts[] = {{"一次成本", &fields.oneTimeCost},
                                                                {"续费成本", &fields.renewalCost},
                                                                {"预售底价", &fields.reservePrice},
                                                                {"标价", &fields.askingPrice},
                                                                {"最终售价", &fields.finalPrice}};
  for (const auto& [caption, text] : amounts) {
    if (parseNumberOrBlank(*text)) continue;
    outcome.status = singleAddFailedStatus(domain);
    outcome.error = std::string(caption) + " is not a number";
    outcome.message = std::string(caption) + " [" + *text + "] 不是数字, 没有添加.";
    return outcome;
  }
  const InsertSummary summary = insertDomains(
      db, {record}, [&](std::size_t, const std::string& why) { outcome.error = why; });
  if (outcome.error.empty()) outcome.error = summary.error;
  outcome.ok = summary.added == 1 && summary.failed == 0 && summary.error.empty();
  outcome.status = outcome.ok ? singleAddedStatus(domain) : singleAddFailedStatus(domain);
  return outcome;
}

std::string singleAddedStatus(std::string_view domain) {
  return " 提示: 新增 [" + std::string(domain) + "]  成功, 可以继续添加!";
}

std::string singleAddFailedStatus(std::string_view domain) {
  return " 提示: 新增 [" + std::string(domain) +
         "]  失败,请检查是否域名已经存在,或字段是否填写正确!";
}

}  // namespace pelmora
