#include "cli/stop_signal.h"

#include <csignal>

namespace pelmora::cli {
namespace {

volatile std::sig_atomic_t stopRequested = 0;
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

void requestStop(int) { stopRequested = 1; }

}  // namespace

StopOnSignal::StopOnSignal() {
  stopRequested = 0;
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

bool StopOnSignal::requested() const { return stopRequested != 0; }

}  // namespace pelmora::cli
