#include "goal_table.h"

#include <cstdio>

namespace pelmora::bench {

int printGoalTable(const std::vector<GoalCase>& cases) {
  std::printf(
      "| case | ours (ms) | baseline (ms) | ratio | goal | met? |\n"
      "|---|---:|---:|---:|---|---|\n");
  int missed = 0;
  for (const GoalCase& c : cases) {
    if (!c.met) ++missed;
    const double ratio = c.baseline > 0 ? c.ours / c.baseline : 0;
    std::printf("| %s | %.2f | %.2f | %.2f | %s | %s |\n", c.name.c_str(), c.ours, c.baseline,
                ratio, c.goal.c_str(), c.met ? "met" : "MISSED");
  }
  if (missed == 0) {
    std::printf("\nverdict: all %zu goals met\n", cases.size());
  } else {
    std::printf("\nverdict: %d of %zu goals missed\n", missed, cases.size());
  }
  return missed;
}

}  // namespace pelmora::bench
