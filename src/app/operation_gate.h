#pragma once

// Which of the main window's operations may start now. The gate is idle (all
// may), held by a tool window (only that window's own operation, which closes
// it), or held by a run in progress (none). Windows and runs ask the gate
// before they start and tell it when they end; nothing else decides whether an
// operation is enabled.

#include <QObject>
#include <optional>

namespace pelmora::ui {

enum class Operation {
  SingleAdd,
  BatchAdd,
  Settings,
  Report,
  ExportListing,
  ExportCalendar,
  HideColumns,
  ModifySelected,
  AdvancedModify,
  DeleteSelected,
  UpdateSelectedDates,
  UpdateRowDates,
  Filter,
  InvertTicks,
  TickAll,
};

class OperationGate : public QObject {
  Q_OBJECT

 public:
  enum class State { Idle, ToolWindow, Run };

  using QObject::QObject;

  State state() const { return state_; }
  // The tool window or run that holds the gate; none while idle.
  std::optional<Operation> holder() const { return holder_; }

  // False (nothing changes) unless the gate is idle.
  bool holdForToolWindow(Operation window);
  void releaseToolWindow(Operation window);
  bool beginRun(Operation run);
  void endRun(Operation run);

  bool allows(Operation operation) const;

 signals:
  void changed();

 private:
  bool take(State state, Operation holder);
  void release(State state, Operation holder);

  State state_ = State::Idle;
  std::optional<Operation> holder_;
};

}  // namespace pelmora::ui
