#pragma once

// Many domains' dates looked up politely: per server (a WHOIS host, an RDAP
// host, the web service) one request at a time and a pause between the
// starts of two, several servers at once. A server that answers HTTP 429 with
// Retry-After waits that long while the others go on; a web service over its
// query limit is not asked again in the run, and its domains go on to the
// registry.

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lookup/lookup_plan.h"

namespace pelmora {

class RdapBootstrap;

struct PacedRunOptions {
  SourceChoice choice = SourceChoice::Auto;
  CacheChoice cache = kUseCache;
  std::chrono::milliseconds pace{1000};     // WHOIS servers and the web service
  std::chrono::milliseconds rdapPace{500};  // RDAP servers
  int parallel = 4;                         // servers asked at the same time
  std::chrono::seconds longestPause{600};   // the most a Retry-After is obeyed
  CancelFlag cancel = nullptr;              // stops the run; in-flight lookups store nothing
  CancelFlag stop = nullptr;                // no new lookups start; those under way finish
};

// Sets the pace of WHOIS servers and the web service to `ms`, and RDAP's to
// half of it.
void setPace(PacedRunOptions& options, int ms);

// The defaults, or the pace the user set (查询间隔); PELMORA_PACE_MS, when
// set, replaces both (tests).
PacedRunOptions pacedOptions(std::optional<int> paceMs = std::nullopt);

// Domains looked up one after another: before each request, waits until its
// server's pace since the last request to it has passed.
class SequentialPacer {
 public:
  explicit SequentialPacer(const PacedRunOptions& options) : options_(options) {}
  // False when `cancel` was raised while waiting.
  bool waitTurn(const LookupStep& step, CancelFlag cancel);

 private:
  PacedRunOptions options_;
  std::map<std::string, std::chrono::steady_clock::time_point> lastStart_;
};

// Looks up every domain; `finished(index, outcome)` is called once for each
// domain whose lookup came to its end, one call at a time, from the workers.
// Returns when every domain is done or the run was cancelled.
void runPacedLookups(const std::vector<std::string>& domains, const RdapBootstrap& bootstrap,
                     const PacedRunOptions& options,
                     const std::function<void(std::size_t, const SourcedLookup&)>& finished);

// What is left at the rate so far: elapsed / done * (total - done).
std::chrono::seconds estimatedTimeLeft(int done, int total,
                                       std::chrono::steady_clock::duration elapsed);

// "约 1 小时 5 分" / "约 3 分 20 秒" / "约 12 秒".
std::string timeLeftText(std::chrono::seconds left);

}  // namespace pelmora
