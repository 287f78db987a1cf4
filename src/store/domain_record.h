#pragma once

// One row of table 域名, twenty fields in storage order, held as text the way
// the row reads: numbers in the shortest decimal form, dates yyyy-MM-dd, the
// sold flag "TRUE"/"FALSE", null as empty text. The table's last three
// columns, the last lookup's answer, are not fields: no grid column shows
// them and no edit writes them.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "store/date_store.h"
#include "store/sqlite_connection.h"
#include "support/dates.h"

namespace pelmora {

enum class DomainField : int {
  Id = 0,
  Name = 1,
  Suffix = 2,
  Length = 3,
  Registrar = 4,
  DomainType = 5,
  Category = 6,
  RegisteredOn = 7,
  ExpiresOn = 8,
  OneTimeCost = 9,
  RenewalCost = 10,
  ActualCost = 11,
  ReservePrice = 12,
  AskingPrice = 13,
  FinalPrice = 14,
  Profit = 15,
  Sold = 16,
  Note = 17,
  PurchasedOn = 18,
  SoldOn = 19,
};

inline constexpr int kDomainFieldCount = 20;

inline constexpr std::array<std::string_view, kDomainFieldCount> kDomainColumns{
    "id",       "域名",     "后缀",     "长度",     "注册商",   "域名类型", "自定义分类",
    "注册时间", "到期时间", "一次成本", "续费成本", "实际成本", "预售底价", "标价",
    "最终售价", "利润",     "出售",     "备注",     "购买时间", "出售时间"};

// After the fields, in storage order: what LookupStamp holds.
inline constexpr std::array<std::string_view, 3> kLookupColumns{"最后查询", "查询来源", "域名状态"};

inline constexpr std::string_view kNotGrouped = "-";
inline constexpr std::string_view kSoldText = "TRUE";
inline constexpr std::string_view kUnsoldText = "FALSE";

bool isMoneyField(DomainField field);
bool isDateField(DomainField field);
bool isClassificationField(DomainField field);
std::string_view columnName(DomainField field);

// "id,域名,..." in storage order, for SELECT lists.
const std::string& domainColumnList();
// The same followed by kLookupColumns: every column of the table.
const std::string& domainColumnListWithLookup();

struct DomainRecord {
  std::array<std::string, kDomainFieldCount> fields;
  LookupStamp lookup;  // empty unless read with domainColumnListWithLookup()

  std::string& operator[](DomainField f) { return fields[static_cast<int>(f)]; }
  const std::string& operator[](DomainField f) const { return fields[static_cast<int>(f)]; }

  double money(DomainField f) const;
  std::optional<Date> date(DomainField f) const;
  bool sold() const { return (*this)[DomainField::Sold] == kSoldText; }
};

// Reads a row selected with domainColumnList() or domainColumnListWithLookup().
DomainRecord readDomainRecord(const SqlRow& row);

}  // namespace pelmora
