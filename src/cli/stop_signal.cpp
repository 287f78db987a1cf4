#include "cli/stop_signal.h"

#include <atomic>
#include <csignal>

namespace pelmora::cli {
namespace {

// A lock-free atomic may be set from a signal handler; lookups watch it.
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> stopRequested{false};
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

void requestStop(int) { stopRequested = true; }

}  // namespace

StopOnSignal::StopOnSignal() {
  stopRequested = false;
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previousInterrupt);
  sigaction(SIGTERM, &action, &previousTerminate);
}

StopOnSignal::~StopOnSignal() {
  sigaction(SIGINT, &previousInterrupt, nullptr);
  sigaction(SIGTERM, &previousTerminate, nullptr);
}

bool StopOnSignal::requested() const { return stopRequested; }

const std::atomic<bool>* StopOnSignal::flag() const { return &stopRequested; }

}  // namespace pelmora::cli
