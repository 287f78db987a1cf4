// pelmora-cli: the domain inventory from a terminal, for scripts and cron.

#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return pelmora::cli::runCommandLine(args, pelmora::Clock::system(), std::cout, std::cerr);
}
