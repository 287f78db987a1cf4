#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/filter_criteria.h"

namespace pelmora::cli {

struct GlobalOptions {
  std::optional<std::string> databasePath;
  std::string command;
  std::vector<std::string> commandArgs;
};

// Splits "--db PATH" and the command from its arguments.
bool parseGlobalOptions(const std::vector<std::string>& args, GlobalOptions& out,
                        std::string& error);

struct ListOptions {
  FilterCriteria criteria;
  std::optional<int> pageSize;
  long long page = 1;
  std::string sortKey = "id";
};

// Parses the options of `list` (and of every command that works on the
// filtered listing); false with a message on a bad option.
bool parseListOptions(const std::vector<std::string>& args, ListOptions& out, std::string& error);

}  // namespace pelmora::cli
