#include "process_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace pelmora::bench {

int runProcess(const std::vector<std::string>& arguments, const std::filesystem::path& input,
               const std::filesystem::path& output) {
  if (arguments.empty()) return -1;
  const std::string in = input.empty() ? "/dev/null" : input.string();
  const std::string out = output.empty() ? "/dev/null" : output.string();
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  bool ready = posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0) == 0 &&
               posix_spawn_file_actions_addopen(&actions, 1, out.c_str(),
                                                O_WRONLY | O_CREAT | O_TRUNC, 0644) == 0 &&
               posix_spawn_file_actions_adddup2(&actions, 1, 2) == 0;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = -1;
  ready = ready && posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!ready) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace pelmora::bench
