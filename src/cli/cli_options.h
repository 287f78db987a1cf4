#pragma once

#include <functional>
#include <optional>
#include <string>

#include "lookup/lookup_plan.h"
#include "store/filter_criteria.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace pelmora::cli {

// Declares an option that takes one value. Every occurrence is handed to
// `check` as it is parsed, so repeated options apply in command-line order;
// a non-empty answer is the reason the value is refused (a usage error).
CLI::Option* addValueOption(CLI::App& command, const std::string& name,
                            const std::string& valueName, const std::string& help,
                            std::function<std::string(const std::string& value)> check);

// Declares `--db PATH`; the last one given wins, before or after the command.
void declareDatabaseOption(CLI::App& command, std::optional<std::string>& path);

struct ListOptions {
  FilterCriteria criteria;
  bool filtered = false;  // any filter option was given
  std::optional<int> pageSize;
  long long page = 1;
  std::string sortKey = "id";
  bool ascending = false;
  bool wholeListing = false;  // --all
};

// The filter options of the listing (--registrar ... --date), read into
// `out.criteria`.
void declareFilterOptions(CLI::App& command, ListOptions& out);

// `--source registry|service|auto` read into `choice`.
void declareSourceOption(CLI::App& command, SourceChoice& choice, const std::string& help);

// --page, --page-size, --sort and --order.
void declarePagingOptions(CLI::App& command, ListOptions& out);

}  // namespace pelmora::cli
