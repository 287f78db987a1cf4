#include "cli_process_cases.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "bench_data.h"
#include "process_runner.h"

namespace pelmora::bench {
namespace {

// A value as the sqlite3 shell's ".parameter set" reads it: text in single
// quotes inside double quotes, so that a date stays text.
std::string shellLiteral(const SqlValue& value) {
  if (const auto* n = std::get_if<std::int64_t>(&value)) return std::to_string(*n);
  if (const auto* d = std::get_if<double>(&value)) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", *d);
    return text;
  }
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (s->find_first_of("\"\\\n") != std::string::npos) {
      throw std::runtime_error("a bench value the sqlite3 shell cannot take: " + *s);
    }
    std::string quoted = "\"'";
    for (char c : *s) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'\"";
  }
  return "NULL";
}

std::vector<std::string> linesOf(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string firstLine(const std::filesystem::path& path) {
  const auto lines = linesOf(path);
  return lines.empty() ? std::string() : lines.front();
}

double medianProcessMs(const std::vector<std::string>& arguments,
                       const std::filesystem::path& input) {
  return medianMs(
      [&] {
        if (runProcess(arguments, input) != 0) {
          throw std::runtime_error(arguments.front() + " failed during the timed runs");
        }
      },
      kProcessRuns);
}

}  // namespace

CliProcessCases::CliProcessCases(std::filesystem::path database, std::filesystem::path workFolder,
                                 int pageSize)
    : database_(std::move(database)), workFolder_(std::move(workFolder)), pageSize_(pageSize) {}

void CliProcessCases::add(const std::string& name, const SqlCondition& condition,
                          const std::vector<std::string>& arguments) {
  SqlParams params = condition.params;
  params.emplace_back(std::int64_t{pageSize_});
  params.emplace_back(std::int64_t{0});
  const auto script = workFolder_ / "sqlite3-statements.sql";
  {
    std::ofstream out(script);
    for (std::size_t i = 0; i < params.size(); ++i) {
      out << ".parameter set ?" << i + 1 << " " << shellLiteral(params[i]) << "\n";
    }
    out << "SELECT COUNT(*) FROM 域名" << condition.whereClause() << ";\n"
        << "SELECT * FROM 域名" << condition.whereClause()
        << " ORDER BY id DESC LIMIT ? OFFSET ?;\n";
    if (!out) throw std::runtime_error("cannot write " + script.string());
  }
  const std::vector<std::string> shell{"sqlite3", database_.string()};
  std::vector<std::string> ours{PELMORA_CLI_PATH, "--db", database_.string()};
  ours.insert(ours.end(), arguments.begin(), arguments.end());

  // One checked run of each: both succeed, count the same rows and print the
  // same number of lines (the caption or the count, then the rows).
  const auto oursOut = workFolder_ / "cli-output.txt";
  const auto shellOut = workFolder_ / "sqlite3-output.txt";
  if (runProcess(ours, {}, oursOut) != 0) {
    throw std::runtime_error(name + " failed: " + firstLine(oursOut));
  }
  if (runProcess(shell, script, shellOut) != 0) {
    throw std::runtime_error("sqlite3 failed for " + name + ": " + firstLine(shellOut));
  }
  const std::string caption = firstLine(oursOut);
  const std::string count = firstLine(shellOut);
  const bool same = caption.find("总数[" + count + "]") != std::string::npos &&
                    linesOf(oursOut).size() == linesOf(shellOut).size();

  const double oursMs = medianProcessMs(ours, {});
  const double shellMs = medianProcessMs(shell, script);
  GoalCase c{name + " (whole process, vs sqlite3)", oursMs, shellMs,
             "≤ sqlite3 + " + std::to_string(static_cast<int>(kProcessOverheadGoalMs)) + " ms",
             same && oursMs - shellMs <= kProcessOverheadGoalMs};
  if (!same) c.name += " — output differs from sqlite3's";
  std::cerr << "  " << c.name << ": " << oursMs << " ms / " << shellMs << " ms\n";
  cases_.push_back(std::move(c));
}

}  // namespace pelmora::bench
