#pragma once

#include <string>
#include <vector>

namespace pelmora::bench {

// One measured case beside its baseline, both in milliseconds.
struct GoalCase {
  std::string name;
  double ours = 0;
  double baseline = 0;
  std::string goal;  // as shown, e.g. "≤ 100 ms"
  bool met = false;
};

// Prints "case | ours (ms) | baseline (ms) | ratio | goal | met?" for every
// case, then a one-line verdict. Returns the number of goals missed.
int printGoalTable(const std::vector<GoalCase>& cases);

}  // namespace pelmora::bench
