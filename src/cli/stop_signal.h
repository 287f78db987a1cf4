#pragma once

// Ctrl+C or a SIGTERM during a long command: the command notices the request
// between two items, ends the run there and says what it did, rather than
// being killed mid-item with nothing reported.

namespace pelmora::cli {

class StopOnSignal {
 public:
  StopOnSignal();
  ~StopOnSignal();
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

  bool requested() const;
};

}  // namespace pelmora::cli
