#pragma once

// Ctrl+C or a SIGTERM during a long command: the command notices the request
// between two items, ends the run there and says what it did, rather than
// being killed mid-item with nothing reported.

#include <atomic>

namespace pelmora::cli {

class StopOnSignal {
 public:
  StopOnSignal();
  ~StopOnSignal();
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

  bool requested() const;
  // Raised by the signal, for work that watches a flag.
  const std::atomic<bool>* flag() const;
};

}  // namespace pelmora::cli
