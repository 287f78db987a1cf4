#include "lookup/paced_lookups.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "support/numbers.h"

namespace pelmora {
namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A server that keeps asking to wait is believed this often for a domain,
// which then goes on to its next source.
constexpr int kPausesPerDomain = 3;

// Waits are cut into slices so that a cancel is seen soon.
constexpr auto kWaitSlice = 50ms;

bool raised(CancelFlag flag) { return flag != nullptr && *flag; }

class PacedRun {
 public:
  PacedRun(const std::vector<std::string>& domains, const RdapBootstrap& bootstrap,
           const PacedRunOptions& options,
           const std::function<void(std::size_t, const SourcedLookup&)>& finished)
      : options_(options), finished_(finished), items_(domains.size()) {
    for (std::size_t i = 0; i < domains.size(); ++i) {
      items_[i].domain = domains[i];
      items_[i].plan = lookupPlan(domains[i], options.choice, bootstrap);
    }
    remaining_ = items_.size();
  }

  void run() {
    for (std::size_t i = 0; i < items_.size() && !raised(options_.cancel); ++i) place(i);
    std::vector<std::jthread> workers;
    const int count = std::max(1, options_.parallel);
    for (int i = 0; i < count; ++i) workers.emplace_back([this] { work(); });
  }

 private:
  struct Item {
    std::string domain;
    std::vector<LookupStep> plan;
    std::size_t step = 0;
    int pauses = 0;  // Retry-After waits obeyed for this domain
    SourcedLookup outcome;
  };
  struct Server {
    std::deque<std::size_t> queue;
    SteadyClock::time_point nextStart{};
    bool busy = false;
    bool closed = false;  // over its limit for the rest of the run
  };
  struct Pick {
    std::size_t item = 0;
    std::string server;
    bool closed = false;
  };

  // Queues the item at its current step or a later one whose server can be
  // asked; finishes it when none is left.
  void place(std::size_t index) {
    Item& item = items_[index];
    while (item.step < item.plan.size()) {
      // IANA's referral may be asked here, outside the lock.
      if (auto resolved = resolveStep(item.plan[item.step], options_.cancel)) {
        item.plan[item.step] = std::move(*resolved);
        std::lock_guard lock(mutex_);
        Server& server = servers_[item.plan[item.step].serverKey()];
        if (!server.closed) {
          server.queue.push_back(index);
          changed_.notify_all();
          return;
        }
      }
      ++item.step;
    }
    finish(index);
  }

  void finish(std::size_t index) {
    Item& item = items_[index];
    if (item.outcome.result.empty()) item.outcome.result = std::string(kLookupNoAnswer);
    {
      std::lock_guard lock(reportMutex_);
      finished_(index, item.outcome);
    }
    std::lock_guard lock(mutex_);
    --remaining_;
    changed_.notify_all();
  }

  std::chrono::milliseconds paceOf(const LookupStep& step) const {
    return step.kind == SourceKind::Rdap ? options_.rdapPace : options_.pace;
  }

  // The next item to ask about, once its server may be asked; none when the
  // run is over or cancelled.
  std::optional<Pick> next() {
    std::unique_lock lock(mutex_);
    while (remaining_ > 0 && !raised(options_.cancel) && !raised(options_.stop)) {
      std::map<std::string, Server>::iterator best = servers_.end();
      for (auto it = servers_.begin(); it != servers_.end(); ++it) {
        const Server& server = it->second;
        if (server.busy || server.queue.empty()) continue;
        if (server.closed) {
          best = it;
          break;
        }
        if (best == servers_.end() || server.nextStart < best->second.nextStart) best = it;
      }
      const auto now = SteadyClock::now();
      if (best == servers_.end() || (!best->second.closed && best->second.nextStart > now)) {
        const auto until = best == servers_.end()
                               ? now + kWaitSlice
                               : std::min(best->second.nextStart, now + kWaitSlice);
        changed_.wait_until(lock, until);
        continue;
      }
      Server& server = best->second;
      Pick pick{server.queue.front(), best->first, server.closed};
      server.queue.pop_front();
      if (!server.closed) {
        server.busy = true;
        server.nextStart = now + paceOf(items_[pick.item].plan[items_[pick.item].step]);
      }
      return pick;
    }
    return std::nullopt;
  }

  void work() {
    while (const std::optional<Pick> pick = next()) {
      Item& item = items_[pick->item];
      if (pick->closed) {
        // As if it had answered so: what a run that asks nothing else reports.
        const LookupStep& skipped = item.plan[item.step];
        keepAnswer(item.outcome, skipped, {std::string(kLookupQueryLimit), {}, {}}, item.step == 0);
        ++item.step;
        place(pick->item);
        continue;
      }
      const LookupStep& step = item.plan[item.step];
      const LookupAnswer answer = askStep(step, item.domain, options_.cache, options_.cancel);
      if (raised(options_.cancel)) return;  // an abandoned lookup stores nothing
      if (answer.result == kLookupQueryLimit && answer.retryAfterSeconds &&
          ++item.pauses <= kPausesPerDomain) {
        const auto pause = std::min<std::chrono::seconds>(
            std::chrono::seconds(*answer.retryAfterSeconds), options_.longestPause);
        release(pick->server, pick->item, pause);
        continue;
      }
      release(pick->server, std::nullopt, {},
              step.kind == SourceKind::WebService && answer.result == kLookupQueryLimit);
      keepAnswer(item.outcome, step, answer, item.step == 0);
      if (!asksNextStep(step, answer.result)) {
        finish(pick->item);
        continue;
      }
      ++item.step;
      place(pick->item);
    }
  }

  // Frees the server; `again` goes back to the front of its queue after
  // `pause`; `close` stops asking it for the rest of the run.
  void release(const std::string& key, std::optional<std::size_t> again, std::chrono::seconds pause,
               bool close = false) {
    std::lock_guard lock(mutex_);
    Server& server = servers_[key];
    server.busy = false;
    server.closed = server.closed || close;
    if (again) {
      server.queue.push_front(*again);
      server.nextStart = std::max(server.nextStart, SteadyClock::now() + pause);
    }
    changed_.notify_all();
  }

  const PacedRunOptions& options_;
  const std::function<void(std::size_t, const SourcedLookup&)>& finished_;
  std::vector<Item> items_;  // each owned by one worker at a time
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, Server> servers_;
  std::size_t remaining_ = 0;
  std::mutex reportMutex_;
};

}  // namespace

bool SequentialPacer::waitTurn(const LookupStep& step, CancelFlag cancel) {
  const std::string key = step.serverKey();
  const auto pace = step.kind == SourceKind::Rdap ? options_.rdapPace : options_.pace;
  const auto last = lastStart_.find(key);
  if (last != lastStart_.end()) {
    const auto turn = last->second + pace;
    while (SteadyClock::now() < turn) {
      if (raised(cancel)) return false;
      std::this_thread::sleep_for(
          std::min<SteadyClock::duration>(kWaitSlice, turn - SteadyClock::now()));
    }
  }
  lastStart_[key] = SteadyClock::now();
  return !raised(cancel);
}

void setPace(PacedRunOptions& options, int ms) {
  options.pace = std::chrono::milliseconds(std::max(0, ms));
  options.rdapPace = options.pace / 2;
}

PacedRunOptions pacedOptions(std::optional<int> paceMs) {
  PacedRunOptions options;
  if (paceMs) setPace(options, *paceMs);
  const char* value = std::getenv("PELMORA_PACE_MS");
  if (value != nullptr && *value != '\0') {
    options.pace = options.rdapPace = std::chrono::milliseconds(std::max(0, readInt(value)));
  }
  return options;
}

void runPacedLookups(const std::vector<std::string>& domains, const RdapBootstrap& bootstrap,
                     const PacedRunOptions& options,
                     const std::function<void(std::size_t, const SourcedLookup&)>& finished) {
  PacedRun(domains, bootstrap, options, finished).run();
}

std::chrono::seconds estimatedTimeLeft(int done, int total,
                                       std::chrono::steady_clock::duration elapsed) {
  if (done <= 0 || total <= done) return std::chrono::seconds(0);
  const auto perItem = elapsed / done;
  return std::chrono::duration_cast<std::chrono::seconds>(perItem * (total - done));
}

std::string timeLeftText(std::chrono::seconds left) {
  const long long s = left.count();
  if (s >= 3600)
    return "约 " + std::to_string(s / 3600) + " 小时 " + std::to_string(s % 3600 / 60) + " 分";
  if (s >= 60) return "约 " + std::to_string(s / 60) + " 分 " + std::to_string(s % 60) + " 秒";
  return "约 " + std::to_string(s) + " 秒";
}

}  // namespace pelmora
