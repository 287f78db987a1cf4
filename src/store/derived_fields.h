#pragma once

// The rules for the derived columns of a domain: suffix, length, actual cost,
// profit and the sold flag. Every writer of a domain goes through these.

#include <string>
#include <string_view>

#include "store/domain_record.h"

namespace pelmora {

// Everything after the first "."; empty without a dot.
std::string deriveSuffix(std::string_view name);

// GBK byte length of the part before the first "."; 0 without a dot.
int deriveLength(std::string_view name);

struct DerivedAmounts {
  double actualCost = 0;
  double profit = 0;
  bool sold = false;
};

DerivedAmounts deriveAmounts(double oneTimeCost, double renewalCost, double finalPrice);

// Sets suffix, length, actual cost, profit and the sold flag from the other
// fields; clears the sale date when the domain ends up unsold.
void applyDerivedFields(DomainRecord& record);

}  // namespace pelmora
