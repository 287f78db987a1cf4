#pragma once

// Runs a pelmora-cli command line in this process against the test's
// database, on the day the command tests share (2017-03-15).

#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora::testing {

struct RunResult {
  int code;
  std::string out;
  std::string err;
};

inline RunResult runInProcess(const std::vector<std::string>& args, DomainDatabase& db) {
  using namespace std::chrono;
  std::ostringstream out;
  std::ostringstream err;
  const int code =
      cli::runCommandLine(args, Clock::fixed(Date{year{2017}, month{3}, day{15}}), out, err, &db);
  return {code, out.str(), err.str()};
}

}  // namespace pelmora::testing
