#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <initializer_list>
#include <map>
#include <string_view>
#include <vector>

#include "cli/command.h"
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

template <typename Choices>
bool oneOf(const std::string& value, const Choices& allowed) {
  return std::find(std::begin(allowed), std::end(allowed), value) != std::end(allowed);
}

// "A:B" of a range, each side a number or empty (0; an empty or 0 "to" is no
// upper bound). The reason for anything else.
std::string splitRange(const std::vector<std::string>& parts, std::size_t first, std::string& from,
                       std::string& to) {
  for (std::size_t k = first; k < parts.size(); ++k) {
    if (!parseNumberOrBlank(parts[k])) {
      return "\"" + escapeForTerminal(parts[k]) + "\" is not a number";
    }
  }
  from = parts[first];
  to = parts[first + 1];
  return {};
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

// A filter option: every one given marks the listing as filtered.
void addFilterOption(CLI::App& command, ListOptions& out, const std::string& name,
                     const std::string& valueName, const std::string& help,
                     std::function<std::string(const std::string&)> check) {
  addValueOption(command, name, valueName, help,
                 [&out, check = std::move(check)](const std::string& value) {
                   out.filtered = true;
                   return check(value);
                 });
}

// A classification filter: a name, or 未分组 for the rows without one.
void addGroupFilter(CLI::App& command, ListOptions& out, const std::string& name,
                    const std::string& what, std::string FilterCriteria::*field) {
  addFilterOption(command, out, name, "NAME", "only this " + what + " (未分组: none)",
                  [&out, field](const std::string& value) {
                    out.criteria.*field = value;
                    return std::string();
                  });
}

}  // namespace

CLI::Option* addValueOption(CLI::App& command, const std::string& name,
                            const std::string& valueName, const std::string& help,
                            std::function<std::string(const std::string& value)> check) {
  return command
      .add_option_function<std::string>(
          name,
          [name, check = std::move(check)](const std::string& value) {
            const std::string why = check(value);
            if (!why.empty()) {
              throw UsageError(escapeForTerminal(name) + " " + escapeForTerminal(value) + ": " +
                               why);
            }
          },
          help)
      ->type_name(valueName)
      ->trigger_on_parse();
}

void declareDatabaseOption(CLI::App& command, std::optional<std::string>& path) {
  addValueOption(command, "--db", "PATH",
                 "the database file (default: the window's, ~/.local/share/pelmora/domain.mdb or "
                 "domain.mdb beside the program)",
                 [&path](const std::string& value) {
                   path = value;
                   return std::string();
                 });
}

void declareFilterOptions(CLI::App& command, ListOptions& out) {
  FilterCriteria& c = out.criteria;
  addGroupFilter(command, out, "--registrar", "registrar", &FilterCriteria::registrar);
  addGroupFilter(command, out, "--type", "domain type", &FilterCriteria::domainType);
  addGroupFilter(command, out, "--category", "category", &FilterCriteria::category);
  addGroupFilter(command, out, "--suffix", "suffix", &FilterCriteria::suffix);
  addFilterOption(command, out, "--sold", "WHICH", "未出售 or 已出售",
                  [&c](const std::string& value) -> std::string {
                    if (!oneOf(value, kSoldChoices)) return "use 未出售 or 已出售";
                    c.sold = value;
                    return {};
                  });
  addFilterOption(command, out, "--expiry", "WHEN", "已到期, 今天, or within 3, 5, 10 or 30 days",
                  [&c](const std::string& value) -> std::string {
                    if (!oneOf(value, kExpiryChoices)) return "use 已到期, 今天, 3, 5, 10 or 30";
                    c.expiry = value;
                    return {};
                  });
  addFilterOption(command, out, "--name", "TEXT", "domain names containing TEXT",
                  [&c](const std::string& value) {
                    c.nameOn = true;
                    c.nameText = value;
                    return std::string();
                  });
  addFilterOption(command, out, "--name-match", "WHERE", "where --name matches: 任意, 开头 or 结束",
                  [&c](const std::string& value) -> std::string {
                    if (!oneOf(value, kNameMatchChoices)) return "use 任意, 开头 or 结束";
                    c.nameMode = value;
                    return {};
                  });
  addFilterOption(command, out, "--note", "TEXT", "notes containing TEXT",
                  [&c](const std::string& value) {
                    c.noteOn = true;
                    c.noteText = value;
                    return std::string();
                  });
  addFilterOption(command, out, "--length", "A:B",
                  "length from A to B (B empty or 0: no upper bound)",
                  [&c](const std::string& value) -> std::string {
                    const auto parts = splitText(value, ":");
                    if (parts.size() != 2) return "use A:B";
                    return splitRange(parts, 0, c.lengthFrom, c.lengthTo);
                  });
  addFilterOption(command, out, "--range", "COLUMN:A:B",
                  "a money column (一次成本 续费成本 实际成本 预售底价 标价 最终售价 利润) from A "
                  "to B (B empty or 0: no upper bound)",
                  [&c](const std::string& value) -> std::string {
                    const auto parts = splitText(value, ":");
                    MoneyRange* range = parts.size() == 3 ? moneyRangeFor(c, parts[0]) : nullptr;
                    if (range == nullptr) return "use 列名:A:B with a money column";
                    std::string why = splitRange(parts, 1, range->from, range->to);
                    if (why.empty()) range->on = true;
                    return why;
                  });
  addFilterOption(
      command, out, "--date", "COLUMN:FROM:TO",
      "a date column (注册时间 到期时间 购买时间 出售时间) between two yyyy-MM-dd dates",
      [&c](const std::string& value) -> std::string {
        const auto parts = splitText(value, ":");
        DateRange* range = parts.size() == 3 ? dateRangeFor(c, parts[0]) : nullptr;
        if (range == nullptr) return "use 列名:yyyy-MM-dd:yyyy-MM-dd with a date column";
        const auto from = parseDate(parts[1]);
        const auto to = parseDate(parts[2]);
        if (!from || !to) return "not a date";
        *range = {true, *from, *to};
        return {};
      });
}

void declarePagingOptions(CLI::App& command, ListOptions& out) {
  addValueOption(command, "--page", "N",
                 "the page to print (default 1); past the last page only the caption (json: [])",
                 [&out](const std::string& value) -> std::string {
                   if (!isPositiveInteger(value)) return "not a page number";
                   out.page = readInt(value);
                   return {};
                 });
  addValueOption(command, "--page-size", "S", "rows per page (default: the stored 每页数量)",
                 [&out](const std::string& value) -> std::string {
                   if (!isPositiveInteger(value)) return "not a positive number of rows";
                   out.pageSize = readInt(value);
                   return {};
                 });
  addValueOption(command, "--sort", "COLUMN", "the column to sort by (default id)",
                 [&out](const std::string& value) -> std::string {
                   std::string key = sortKeyForHeader(value).value_or(value);
                   if (!isSortKey(key)) return "not a column name";
                   out.sortKey = key;
                   return {};
                 });
  addValueOption(command, "--order", "asc|desc", "the direction of the sort (default desc)",
                 [&out](const std::string& value) -> std::string {
                   if (value != "asc" && value != "desc") return "use asc or desc";
                   out.ascending = value == "asc";
                   return {};
                 });
}

void declareSourceOption(CLI::App& command, SourceChoice& choice, const std::string& help) {
  addValueOption(command, "--source", "SOURCE", help,
                 [&choice](const std::string& value) -> std::string {
                   const auto parsed = parseSourceChoice(value);
                   if (!parsed) return "give registry, service or auto";
                   choice = *parsed;
                   return {};
                 });
}

}  // namespace pelmora::cli
