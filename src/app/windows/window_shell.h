#pragma once

// What a tool window may use of the main window. Each window is plugged in by
// one installer (listed in window_list.h) that gets this and wires the window
// through it alone: the main window keeps the grid, the page, the status bar
// and the menus to itself.

#include <QString>
#include <functional>

#include "app/operation_gate.h"
#include "app/tool_windows.h"
#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "store/program_settings.h"
#include "support/dates.h"
#include "ui/export/listing_export_window.h"

class QWidget;

namespace pelmora::ui {

class ListingGrid;
class MainActions;

struct WindowShell {
  QWidget* owner;  // the parent of the windows, and the context of connections
  DomainDatabase& db;
  Clock clock;
  // The registrar, type and category lists as last read; rebuildLists rereads
  // them (a failure is reported and they stay as they were).
  ClassificationLists& lists;
  std::function<void()> rebuildLists;
  ListingGrid& grid;
  MainActions& actions;
  OperationGate& gate;
  ToolWindows& tools;
  // Reads the current page again; with `refreshCounts` the total and the
  // page list too, back to page 1.
  std::function<void(bool refreshCounts)> reloadPage;
  // Settings just saved take effect: the title, the tray tip, the reminder.
  std::function<void(const ProgramSettings&)> applySettings;
  // The filter and order of the listing the main window shows.
  std::function<ListingView()> listingView;
};

// Plugs every window of window_list.h into the shell.
void installWindows(WindowShell& shell);

enum class OpenedBy { Open, Toggle };

// Gives `rule` to the tool-window policy under `name`, and the operation's
// action opens it (or toggles it).
void offerWindow(WindowShell& shell, const QString& name, Operation operation, ToolWindowRule rule,
                 OpenedBy openedBy = OpenedBy::Open);

}  // namespace pelmora::ui
