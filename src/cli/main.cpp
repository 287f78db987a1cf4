// pelmora-cli: the domain inventory from a terminal, for scripts and cron.

#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/standard_output.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  pelmora::cli::StandardOutput out;
  return pelmora::cli::runCommandLine(args, pelmora::Clock::system(), out, std::cerr);
}
