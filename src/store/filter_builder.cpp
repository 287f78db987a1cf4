#include <algorithm>
#include <cmath>
#include <utility>

#include "store/classification_lists.h"
#include "store/filter_criteria.h"
#include "support/numbers.h"

namespace pelmora {
namespace {

class ConditionBuilder {
 public:
  void add(std::string fragment, SqlParams params = {}) {
    if (!condition_.sql.empty()) condition_.sql += " and ";
    condition_.sql += fragment;
    for (SqlValue& value : params) condition_.params.push_back(std::move(value));
  }

  // BETWEEN includes both ends whichever order they are given in; SQLite's
  // BETWEEN wants the lower one first.
  template <typename T>
  void between(std::string_view column, T a, T b) {
    if (b < a) std::swap(a, b);
    add(std::string(column) + " between ? and ?", {toValue(a), toValue(b)});
  }

  SqlCondition take() { return std::move(condition_); }

 private:
  static SqlValue toValue(double v) { return v; }
  static SqlValue toValue(const std::string& v) { return v; }
  static SqlValue toValue(SqlValue v) { return v; }

  SqlCondition condition_;
};

// LIKE texts match literally: the wildcards a user types are escaped.
std::string escapeLike(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '%' || c == '_' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

void addGroup(ConditionBuilder& builder, std::string_view column, const std::string& choice,
              bool notGroupedIsDash) {
  if (choice == kItemAll) return;
  const std::string value =
      notGroupedIsDash && choice == kItemNotGrouped ? std::string("-") : nameOfItem(choice);
  builder.add(std::string(column) + "=?", {value});
}

void addDates(ConditionBuilder& builder, std::string_view column, const DateRange& range) {
  if (range.on) builder.between(column, formatDate(range.from), formatDate(range.to));
}

// A range bound as typed. A text that is not a number ("1,000", "0x10") binds
// NULL, so the range selects no rows rather than a misread bound.
SqlValue rangeBound(const std::string& text) {
  const std::optional<double> number = parseNumberOrBlank(text);
  return number ? SqlValue(*number) : SqlValue();
}

void addMoney(ConditionBuilder& builder, std::string_view column, const MoneyRange& range) {
  if (!range.on) return;
  // Only the whole-number part of "to" decides: 0.5 means no upper bound.
  const std::optional<double> to = parseNumberOrBlank(range.to);
  if (!to || std::trunc(*to) != 0) {
    builder.between(column, rangeBound(range.from), rangeBound(range.to));
  } else {
    builder.add(std::string(column) + " >= ?", {rangeBound(range.from)});
  }
}

void addLike(ConditionBuilder& builder, std::string_view column, std::string pattern) {
  builder.add(std::string(column) + " LIKE ? ESCAPE '\\'", {std::move(pattern)});
}

bool hasAsciiLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

// "Contains" keeps LIKE's rule: ASCII letters compare without case, nothing
// else does. A term without ASCII letters is the same test as a plain
// substring search, which instr() does in a fifth less time.
void addContains(ConditionBuilder& builder, std::string_view column, const std::string& text) {
  if (hasAsciiLetter(text)) {
    addLike(builder, column, "%" + escapeLike(text) + "%");
  } else {
    builder.add("instr(" + std::string(column) + ", ?) > 0", {text});
  }
}

void addNameMatch(ConditionBuilder& builder, const FilterCriteria& c) {
  if (!c.nameOn) return;
  const std::string text = escapeLike(c.nameText);
  if (c.nameMode == kMatchAnywhere) {
    addContains(builder, "域名", c.nameText);
  } else if (c.nameMode == kMatchStart) {
    addLike(builder, "域名", text + "%");
  } else if (c.nameMode == kMatchEnd) {
    // The text must end the first label, just before a dot.
    addLike(builder, "域名", "%" + text + ".%");
  }
}

void addExpiryShortcut(ConditionBuilder& builder, const std::string& choice, const Date& today) {
  if (choice == kExpiryAny) return;
  if (choice == kExpiryToday) {
    builder.add("到期时间 = ?", {formatDate(today)});
  } else if (choice == kExpiryPast) {
    builder.add("到期时间 < ?", {formatDate(today)});
  } else if (const int days = readInt(choice); days != 0) {
    builder.between("到期时间", formatDate(addDays(today, days - 1)), formatDate(today));
  }
}

}  // namespace

void resetFilterCriteria(FilterCriteria& criteria) {
  FilterCriteria fresh;
  fresh.registered = {false, criteria.registered.from, criteria.registered.to};
  fresh.expires = {false, criteria.expires.from, criteria.expires.to};
  fresh.purchased = {false, criteria.purchased.from, criteria.purchased.to};
  fresh.soldOn = {false, criteria.soldOn.from, criteria.soldOn.to};
  criteria = std::move(fresh);
}

SqlCondition buildWhere(const FilterCriteria& c, const Date& today) {
  ConditionBuilder builder;
  addGroup(builder, "注册商", c.registrar, true);
  addGroup(builder, "域名类型", c.domainType, true);
  addGroup(builder, "自定义分类", c.category, true);
  addGroup(builder, "后缀", c.suffix, false);
  if (c.sold == kSoldNo) builder.add("出售=0");
  if (c.sold == kSoldYes) builder.add("出售=1");
  if (!c.lengthTo.empty() && c.lengthTo != "0") {
    builder.between("长度", rangeBound(c.lengthFrom), rangeBound(c.lengthTo));
  }
  addDates(builder, "注册时间", c.registered);
  addDates(builder, "到期时间", c.expires);
  addMoney(builder, "一次成本", c.oneTimeCost);
  addMoney(builder, "续费成本", c.renewalCost);
  addMoney(builder, "实际成本", c.actualCost);
  addMoney(builder, "预售底价", c.reservePrice);
  addMoney(builder, "标价", c.askingPrice);
  addMoney(builder, "最终售价", c.finalPrice);
  addMoney(builder, "利润", c.profit);
  addNameMatch(builder, c);
  addExpiryShortcut(builder, c.expiry, today);
  if (c.noteOn) addContains(builder, "备注", c.noteText);
  addDates(builder, "购买时间", c.purchased);
  addDates(builder, "出售时间", c.soldOn);
  return builder.take();
}

}  // namespace pelmora
