#include "store/domain_record.h"

#include "support/numbers.h"

namespace pelmora {

bool isMoneyField(DomainField field) {
  const int f = static_cast<int>(field);
  return f >= static_cast<int>(DomainField::OneTimeCost) &&
         f <= static_cast<int>(DomainField::Profit);
}

bool isDateField(DomainField field) {
  return field == DomainField::RegisteredOn || field == DomainField::ExpiresOn ||
         field == DomainField::PurchasedOn || field == DomainField::SoldOn;
}

bool isClassificationField(DomainField field) {
  return field == DomainField::Registrar || field == DomainField::DomainType ||
         field == DomainField::Category;
}

std::string_view columnName(DomainField field) { return kDomainColumns[static_cast<int>(field)]; }

const std::string& domainColumnList() {
  static const std::string list = [] {
    std::string joined;
    for (std::string_view column : kDomainColumns) {
      if (!joined.empty()) joined += ',';
      joined += column;
    }
    return joined;
  }();
  return list;
}

const std::string& domainColumnListWithLookup() {
  static const std::string list = [] {
    std::string joined = domainColumnList();
    for (std::string_view column : kLookupColumns) (joined += ',') += column;
    return joined;
  }();
  return list;
}

double DomainRecord::money(DomainField f) const { return readNumber((*this)[f]); }

std::optional<Date> DomainRecord::date(DomainField f) const { return parseDate((*this)[f]); }

DomainRecord readDomainRecord(const SqlRow& row) {
  DomainRecord record;
  for (int i = 0; i < kDomainFieldCount; ++i) {
    if (i == static_cast<int>(DomainField::Sold)) {
      record.fields[i] = std::string(row.integer(i) != 0 ? kSoldText : kUnsoldText);
    } else {
      record.fields[i] = row.asText(i);
    }
  }
  if (row.columnCount() >= kDomainFieldCount + static_cast<int>(kLookupColumns.size())) {
    record.lookup.checkedAt = row.asText(kDomainFieldCount);
    record.lookup.source = row.asText(kDomainFieldCount + 1);
    record.lookup.status = row.asText(kDomainFieldCount + 2);
  }
  return record;
}

}  // namespace pelmora
