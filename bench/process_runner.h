#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelmora::bench {

// Runs a program (fork/exec, wait) with stdin read from `input` and stdout and
// stderr written to `output`; an empty path means /dev/null. Returns the exit
// status, or -1 when the program could not be started or did not exit.
int runProcess(const std::vector<std::string>& arguments, const std::filesystem::path& input = {},
               const std::filesystem::path& output = {});

}  // namespace pelmora::bench
