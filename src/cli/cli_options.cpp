#include "cli/cli_options.h"

#include <array>
#include <functional>
#include <map>

#include "store/listing.h"
#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

bool isPositiveInteger(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return readInt(text) > 0;
}

bool oneOf(const std::string& value, std::initializer_list<std::string_view> allowed) {
  for (std::string_view a : allowed) {
    if (value == a) return true;
  }
  return false;
}

// "A:B" of a range, each side a number or empty (0; an empty or 0 "to" is no
// upper bound). False with the reason for anything else.
bool splitRange(const std::vector<std::string>& parts, std::size_t first, std::string& from,
                std::string& to, std::string& why) {
  for (std::size_t k = first; k < parts.size(); ++k) {
    if (!parseNumberOrBlank(parts[k])) {
      why = "\"" + escapeForTerminal(parts[k]) + "\" is not a number";
      return false;
    }
  }
  from = parts[first];
  to = parts[first + 1];
  return true;
}

MoneyRange* moneyRangeFor(FilterCriteria& c, const std::string& column) {
  const std::map<std::string, MoneyRange*> ranges{
      {"一次成本", &c.oneTimeCost},  {"续费成本", &c.renewalCost}, {"实际成本", &c.actualCost},
      {"预售底价", &c.reservePrice}, {"标价", &c.askingPrice},     {"对外标价", &c.askingPrice},
      {"最终售价", &c.finalPrice},   {"利润", &c.profit},          {"销售利润", &c.profit}};
  const auto hit = ranges.find(column);
  return hit == ranges.end() ? nullptr : hit->second;
}

DateRange* dateRangeFor(FilterCriteria& c, const std::string& column) {
  if (column == "注册时间") return &c.registered;
  if (column == "到期时间") return &c.expires;
  if (column == "购买时间") return &c.purchased;
  if (column == "出售时间") return &c.soldOn;
  return nullptr;
}

}  // namespace

bool parseGlobalOptions(const std::vector<std::string>& args, GlobalOptions& out,
                        std::string& error) {
  std::size_t i = 0;
  while (i < args.size() && args[i].rfind("--", 0) == 0) {
    if (args[i] == "--db") {
      if (i + 1 >= args.size()) {
        error = "--db needs a path";
        return false;
      }
      out.databasePath = args[i + 1];
      i += 2;
    } else {
      error = "unknown option " + escapeForTerminal(args[i]);
      return false;
    }
  }
  if (i >= args.size()) {
    error = "no command given";
    return false;
  }
  out.command = args[i];
  out.commandArgs.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  // "--db" may also follow the command.
  for (std::size_t k = 0; k < out.commandArgs.size(); ++k) {
    if (out.commandArgs[k] == "--db") {
      if (k + 1 >= out.commandArgs.size()) {
        error = "--db needs a path";
        return false;
      }
      out.databasePath = out.commandArgs[k + 1];
      out.commandArgs.erase(out.commandArgs.begin() + static_cast<std::ptrdiff_t>(k),
                            out.commandArgs.begin() + static_cast<std::ptrdiff_t>(k) + 2);
      --k;
    }
  }
  return true;
}

bool parseListOptions(const std::vector<std::string>& args, ListOptions& out, std::string& error) {
  FilterCriteria& c = out.criteria;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (i + 1 >= args.size()) {
      const std::string shown = escapeForTerminal(option);
      error = option.rfind("--", 0) == 0 ? shown + " needs a value" : "unexpected " + shown;
      return false;
    }
    const std::string value = args[++i];
    const auto fail = [&](const std::string& why) {
      error = escapeForTerminal(option) + " " + escapeForTerminal(value) + ": " + why;
      return false;
    };
    if (option == "--page") {
      if (!isPositiveInteger(value)) return fail("not a page number");
      out.page = readInt(value);
    } else if (option == "--page-size") {
      if (!isPositiveInteger(value)) return fail("not a positive number of rows");
      out.pageSize = readInt(value);
    } else if (option == "--sort") {
      std::string key = sortKeyForHeader(value).value_or(value);
      if (!isSortKey(key)) return fail("not a column name");
      out.sortKey = key;
    } else if (option == "--registrar") {
      c.registrar = value;
    } else if (option == "--type") {
      c.domainType = value;
    } else if (option == "--category") {
      c.category = value;
    } else if (option == "--suffix") {
      c.suffix = value;
    } else if (option == "--sold") {
      if (!oneOf(value, {kSoldNo, kSoldYes, kSoldAll})) return fail("use 未出售 or 已出售");
      c.sold = value;
    } else if (option == "--expiry") {
      if (!oneOf(value, {kExpiryPast, kExpiryToday, "3", "5", "10", "30", kExpiryAny})) {
        return fail("use 已到期, 今天, 3, 5, 10 or 30");
      }
      c.expiry = value;
    } else if (option == "--name") {
      c.nameOn = true;
      c.nameText = value;
    } else if (option == "--name-match") {
      if (!oneOf(value, {kMatchAnywhere, kMatchStart, kMatchEnd})) {
        return fail("use 任意, 开头 or 结束");
      }
      c.nameMode = value;
    } else if (option == "--note") {
      c.noteOn = true;
      c.noteText = value;
    } else if (option == "--length") {
      const auto parts = splitText(value, ":");
      if (parts.size() != 2) return fail("use A:B");
      std::string why;
      if (!splitRange(parts, 0, c.lengthFrom, c.lengthTo, why)) return fail(why);
    } else if (option == "--range") {
      const auto parts = splitText(value, ":");
      MoneyRange* range = parts.size() == 3 ? moneyRangeFor(c, parts[0]) : nullptr;
      if (range == nullptr) return fail("use 列名:A:B with a money column");
      std::string why;
      if (!splitRange(parts, 1, range->from, range->to, why)) return fail(why);
      range->on = true;
    } else if (option == "--date") {
      const auto parts = splitText(value, ":");
      DateRange* range = parts.size() == 3 ? dateRangeFor(c, parts[0]) : nullptr;
      if (range == nullptr) return fail("use 列名:yyyy-MM-dd:yyyy-MM-dd with a date column");
      const auto from = parseDate(parts[1]);
      const auto to = parseDate(parts[2]);
      if (!from || !to) return fail("not a date");
      *range = {true, *from, *to};
    } else {
      error = "unknown option " + escapeForTerminal(option);
      return false;
    }
  }
  return true;
}

}  // namespace pelmora::cli
