#include "store/derived_fields.h"

#include "support/gbk.h"
#include "support/numbers.h"

namespace pelmora {
namespace {
constexpr double kSoldThreshold = 0.0000001;
}

std::string deriveSuffix(std::string_view name) {
  const std::size_t dot = name.find('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

int deriveLength(std::string_view name) {
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) return 0;
  return static_cast<int>(gbkByteLength(name.substr(0, dot)));
}

DerivedAmounts deriveAmounts(double oneTimeCost, double renewalCost, double finalPrice) {
  DerivedAmounts result;
  result.actualCost = oneTimeCost + renewalCost;
  if (finalPrice > kSoldThreshold) {
    result.profit = finalPrice - result.actualCost;
    result.sold = true;
  }
  return result;
}

void applyDerivedFields(DomainRecord& record) {
  const std::string& name = record[DomainField::Name];
  record[DomainField::Suffix] = deriveSuffix(name);
  record[DomainField::Length] = std::to_string(deriveLength(name));
  const DerivedAmounts amounts =
      deriveAmounts(record.money(DomainField::OneTimeCost), record.money(DomainField::RenewalCost),
                    record.money(DomainField::FinalPrice));
  record[DomainField::ActualCost] = formatNumber(amounts.actualCost);
  record[DomainField::Profit] = formatNumber(amounts.profit);
  record[DomainField::Sold] = std::string(amounts.sold ? kSoldText : kUnsoldText);
  if (!amounts.sold) record[DomainField::SoldOn].clear();
}

}  // namespace pelmora
