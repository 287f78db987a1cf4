#pragma once

// The programs and the source tree the tests use, found from the test
// executable's own folder: the compile commands name no folder of the clone,
// so another clone's build hits the same compiler cache.

#include <filesystem>
#include <string>
#include <system_error>

namespace pelmora::testing {

inline std::string besideTests(const char* relative) {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (exe.parent_path() / relative).lexically_normal().string();
}

}  // namespace pelmora::testing

#ifdef PELMORA_CLI_FROM_TESTS
#define PELMORA_CLI_PATH ::pelmora::testing::besideTests(PELMORA_CLI_FROM_TESTS)
#endif
#ifdef PELMORA_APP_FROM_TESTS
#define PELMORA_APP_PATH ::pelmora::testing::besideTests(PELMORA_APP_FROM_TESTS)
#endif
#ifdef PELMORA_SOURCE_FROM_TESTS
#define PELMORA_SOURCE_DIR ::pelmora::testing::besideTests(PELMORA_SOURCE_FROM_TESTS)
#endif
