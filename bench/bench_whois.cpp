// WHOIS lookups against a local server that answers after 20 ms: ours in
// process beside Debian's `whois -h 127.0.0.1 -p PORT`, per lookup.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "fake_servers.h"
#include "lookup/whois_client.h"

extern char** environ;

namespace {

constexpr int kLookups = 500;
const std::string kAnswer =
    "   Domain Name: EXAMPLE.COM\r\n   Creation Date: 1995-08-14T04:00:00Z\r\n"
    "   Registry Expiry Date: 2026-08-13T04:00:00Z\r\n";

bool runPeer(int port, const std::string& domain) {
  const std::string portText = std::to_string(port);
  const char* argv[] = {"whois",          "-h",           "127.0.0.1", "-p",
                        portText.c_str(), domain.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "whois", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status);
}

}  // namespace

int main() {
  using pelmora::testing::FakeWhoisServer;
  FakeWhoisServer server({FakeWhoisServer::Reply{{kAnswer}, 20, 0}});
  pelmora::testing::ScopedEnv env("PELMORA_WHOIS_SERVER", server.hostPort());

  int ok = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLookups; ++i) {
    ok += pelmora::queryWhois("d" + std::to_string(i) + ".com") == "1995-08-14|2026-08-13";
  }
  const double ours =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
      kLookups;

  start = std::chrono::steady_clock::now();
  int peerOk = 0;
  for (int i = 0; i < kLookups; ++i)
    peerOk += runPeer(server.port(), "d" + std::to_string(i) + ".com");
  const double peer =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
      kLookups;

  std::printf("\nWHOIS benchmark: %d lookups, local server answering after 20 ms\n\n", kLookups);
  std::printf("| client | per lookup (ms) | answers |\n|---|---:|---:|\n");
  std::printf("| ours (queryWhois) | %.2f | %d |\n", ours, ok);
  if (peerOk == 0) {
    std::printf("| whois -h 127.0.0.1 -p PORT | not run (is the whois package installed?) | 0 |\n");
    return ok == kLookups ? 0 : 1;
  }
  std::printf("| whois -h 127.0.0.1 -p PORT | %.2f | %d |\n", peer, peerOk);
  std::printf("\nratio ours / whois: %.2f (target ≤ 1.00): %s\n", ours / peer,
              ours <= peer ? "met" : "MISSED");
  return ok == kLookups && ours <= peer ? 0 : 1;
}
