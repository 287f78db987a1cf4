#pragma once

// Runs the built pelmora-cli as a separate process, as scripts do.

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <utility>

#include "test_paths.h"

namespace pelmora::testing {

// Exit code and the combined standard output and error of
// `prefix program arguments`; `prefix` may run it as another user.
inline std::pair<int, std::string> runProgramAs(const std::string& prefix,
                                                const std::string& program,
                                                const std::string& arguments) {
  const std::string command = prefix + program + " " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string output;
  if (pipe == nullptr) return {-1, output};
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

inline std::pair<int, std::string> runCli(const std::string& arguments) {
  return runProgramAs("", PELMORA_CLI_PATH, arguments);
}

}  // namespace pelmora::testing
