#include "cli/modify_batch_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "editing/batch_modify.h"
#include "store/classification_lists.h"
#include "store/listing.h"
#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

constexpr const char* kSetHelp =
    "a column and its new value, repeatable: 注册商, 域名类型, 自定义分类 (an existing name, or "
    "未分组), 一次成本, 续费成本, 预售底价, 标价 (or 对外标价), 最终售价 (numbers, empty reads 0), "
    "备注, 购买时间, 出售时间 (dates)";

struct ModifyBatchOptions {
  ListOptions listing;
  std::vector<std::string> domains;
  bool all = false;
  BatchModifyChoices choices;
};

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && findText(a, b, 0, true) == 0;
}

// The reason `value` cannot be set as `column`; empty when it was set.
std::string setChoice(BatchModifyChoices& c, const std::string& column, const std::string& value) {
  const auto amount = [&](std::optional<std::string>& field) -> std::string {
    if (!parseNumberOrBlank(value)) return "\"" + escapeForTerminal(value) + "\" is not a number";
    field = value;
    return {};
  };
  const auto date = [&](std::optional<Date>& field) -> std::string {
    const auto parsed = parseDate(value);
    if (!parsed) return "\"" + escapeForTerminal(value) + "\" is not a date";
    field = *parsed;
    return {};
  };
  const auto group = [&](std::optional<std::string>& field) -> std::string {
    field = value == kItemNotGrouped ? std::string(kNotGrouped) : value;
    return {};
  };
  if (column == "注册商") return group(c.registrar);
  if (column == "域名类型") return group(c.domainType);
  if (column == "自定义分类") return group(c.category);
  if (column == "一次成本") return amount(c.oneTimeCost);
  if (column == "续费成本") return amount(c.renewalCost);
  if (column == "预售底价") return amount(c.reservePrice);
  if (column == "标价" || column == "对外标价") return amount(c.askingPrice);
  if (column == "最终售价") return amount(c.finalPrice);
  if (column == "购买时间") return date(c.purchasedOn);
  if (column == "出售时间") return date(c.soldOn);
  if (column == "备注") {
    c.note = value;
    return {};
  }
  return "not a column batch modify can set";
}

// A chosen classification value becomes the list's own spelling; the reason
// when it is not in the list.
std::string checkGroup(const ClassificationLists& lists, CategoryKind kind,
                       std::optional<std::string>& value) {
  if (!value || *value == kNotGrouped) return {};
  for (const ClassItem& item : lists.list(kind)) {
    if (sameName(item.name, *value)) {
      value = item.name;
      return {};
    }
  }
  return "--set " + std::string(categoryTable(kind)) + "=" + escapeForTerminal(*value) +
         ": not in the list of " + std::string(categoryTable(kind));
}

int runModifyBatch(DomainDatabase& db, ModifyBatchOptions options, const Clock& clock,
                   std::ostream& out, std::ostream& err) {
  constexpr const char* kName = "pelmora-cli modify-batch: ";
  ClassificationLists lists;
  if (const auto rebuilt = lists.rebuild(db); !rebuilt) {
    err << kName << escapeForTerminal(rebuilt.error()) << "\n";
    return 2;
  }
  BatchModifyChoices& choices = options.choices;
  for (const std::string& why : {checkGroup(lists, CategoryKind::Registrar, choices.registrar),
                                 checkGroup(lists, CategoryKind::DomainType, choices.domainType),
                                 checkGroup(lists, CategoryKind::Category, choices.category)}) {
    if (!why.empty()) {
      err << kName << why << "\n";
      return 2;
    }
  }

  std::vector<std::string> domains = std::move(options.domains);
  if (domains.empty()) {
    auto names = listDomainNames(db, buildWhere(options.listing.criteria, clock.today()));
    if (!names) {
      err << kName << escapeForTerminal(names.error()) << "\n";
      return 2;
    }
    domains = std::move(*names);
  }

  const BatchModifyResult result =
      runBatchModify(db, domains, choices, [&out](const BatchModifyItem& item) {
        if (!item.ok) {
          out << escapeForTerminal(item.domain) << '[' << escapeForTerminal(item.why) << "]\n";
        }
      });
  if (!result.error.empty()) err << kName << escapeForTerminal(result.error) << "\n";
  out << batchModifyResultText(result) << "\n";
  if (!result.error.empty()) return 2;
  return result.failed == 0 ? 0 : 1;
}

}  // namespace

CommandRun declareModifyBatch(CLI::App& command) {
  auto options = std::make_shared<ModifyBatchOptions>();
  command
      .add_option(
          "DOMAIN", options->domains,
          "the domains to modify (none: the domains the filter options select, or all with --all)")
      ->type_name("");
  addValueOption(command, "--set", "COLUMN=VALUE", kSetHelp,
                 [options](const std::string& value) -> std::string {
                   const std::size_t equals = value.find('=');
                   if (equals == std::string::npos) return "use 列名=值";
                   return setChoice(options->choices, value.substr(0, equals),
                                    value.substr(equals + 1));
                 });
  command.add_flag("--all", options->all,
                   "modify every domain (give domains, filter options or --all: one of them)");
  declareFilterOptions(command, options->listing);
  command.callback([options] {
    if (options->choices.nothingChosen()) throw UsageError("give at least one --set 列名=值");
    const int selections = (options->domains.empty() ? 0 : 1) +
                           (options->listing.filtered ? 1 : 0) + (options->all ? 1 : 0);
    if (selections == 0) throw UsageError("give domains, filter options or --all");
    if (selections > 1) throw UsageError("give only one of: domains, filter options, --all");
  });
  return [options](const CommandContext& context) {
    return runModifyBatch(*context.db, *options, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli
