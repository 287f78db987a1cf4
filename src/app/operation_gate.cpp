#include "app/operation_gate.h"

namespace pelmora::ui {

bool OperationGate::take(State state, Operation holder) {
  if (state_ != State::Idle) return false;
  state_ = state;
  holder_ = holder;
  emit changed();
  return true;
}

void OperationGate::release(State state, Operation holder) {
  if (state_ != state || holder_ != holder) return;  // not the holder: nothing to give back
  state_ = State::Idle;
  holder_.reset();
  emit changed();
}

bool OperationGate::holdForToolWindow(Operation window) { return take(State::ToolWindow, window); }

void OperationGate::releaseToolWindow(Operation window) { release(State::ToolWindow, window); }

bool OperationGate::beginRun(Operation run) { return take(State::Run, run); }

void OperationGate::endRun(Operation run) { release(State::Run, run); }

bool OperationGate::allows(Operation operation) const {
  switch (state_) {
    case State::Idle:
      return true;
    case State::ToolWindow:
      return holder_ == operation;
    case State::Run:
      return false;
  }
  return false;
}

}  // namespace pelmora::ui
