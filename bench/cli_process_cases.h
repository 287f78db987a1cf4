#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "goal_table.h"
#include "store/filter_criteria.h"

namespace pelmora::bench {

inline constexpr int kProcessRuns = 10;
// What pelmora-cli may add over the sqlite3 shell running the same statements.
inline constexpr double kProcessOverheadGoalMs = 20;

// pelmora-cli as a whole process (start, open, schema check, count, page,
// output) against the sqlite3 shell running the count and page-1 statements
// of the same listing on the same file; output goes to /dev/null.
class CliProcessCases {
 public:
  CliProcessCases(std::filesystem::path database, std::filesystem::path workFolder, int pageSize);

  // `arguments` follow "pelmora-cli --db FILE"; `condition` is what they
  // filter by. Throws when either program fails or their outputs disagree.
  void add(const std::string& name, const SqlCondition& condition,
           const std::vector<std::string>& arguments);

  std::vector<GoalCase>& cases() { return cases_; }

 private:
  std::filesystem::path database_;
  std::filesystem::path workFolder_;
  int pageSize_;
  std::vector<GoalCase> cases_;
};

}  // namespace pelmora::bench
