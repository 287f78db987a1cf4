#pragma once

// The rules of 单个添加域名: what the window derives while the user types and
// the one row it inserts. The window's own rules decide the row: a domain
// without "." gets length 0, the actual cost is rounded to two decimals, the
// profit is whatever the window last worked out, and 出售 follows the final
// price alone.

#include <optional>
#include <string>
#include <string_view>

#include "store/domain_database.h"
#include "store/domain_record.h"
#include "support/dates.h"

namespace pelmora {

// Blanks around removed, then lower case: "  ABC.Com " -> "abc.com".
std::string normaliseAddedDomain(std::string_view typed);

// Suffix and length texts of the normalised domain ("com", "3"; "", "0"
// without a ".").
struct DomainShape {
  std::string suffix;
  std::string length;
};
DomainShape addedDomainShape(std::string_view typed);

// roundMoney(first cost + renewal cost) as number text; empty texts count 0.
std::string addedActualCost(std::string_view oneTimeCost, std::string_view renewalCost);

// Final price minus actual cost (unrounded) as number text; the sale date is
// shown while the profit is not zero.
struct AddedProfit {
  std::string text;
  bool showSaleDate = false;
};
AddedProfit addedProfit(std::string_view finalPrice, std::string_view actualCost);

// What the window holds when 确认 is clicked: the texts of its edits, the
// combo texts as shown ("不选" or "name(count)"), its dates; `soldOn` only
// while the sale date is shown.
struct SingleAddFields {
  std::string domain;
  std::string suffix;
  std::string length;
  std::string registrar;
  std::string domainType;
  std::string category;
  Date registeredOn;
  Date expiresOn;
  std::string oneTimeCost;
  std::string renewalCost;
  std::string actualCost;
  std::string reservePrice;
  std::string askingPrice;
  std::string finalPrice;
  std::string profit;
  std::string note;
  Date purchasedOn;
  std::optional<Date> soldOn;
};

// The row the window inserts, field by field as the window's rules say.
DomainRecord singleAddRecord(const SingleAddFields& fields);

struct SingleAddOutcome {
  bool ok = false;
  std::string status;   // the status bar text
  std::string error;    // why the row was refused (not shown)
  std::string message;  // shown in a box: a typed amount that is not a number
};

// Inserts the one row (every value bound). A typed amount that is not a
// plain number stores nothing and names the field in `message`; the database
// refusing the row (duplicate domain) is a failure with the failure text; a
// stored row gives the success text.
SingleAddOutcome insertSingleDomain(DomainDatabase& db, const SingleAddFields& fields);

std::string singleAddedStatus(std::string_view domain);
std::string singleAddFailedStatus(std::string_view domain);

}  // namespace pelmora
