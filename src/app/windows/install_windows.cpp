#include <QAction>
#include <QWidget>

#include "app/main_actions.h"
#include "app/windows/window_shell.h"

namespace pelmora::ui {

#define PELMORA_WINDOW(installer) void installer(WindowShell& shell);
#include "app/windows/window_list.h"
#undef PELMORA_WINDOW

void offerWindow(WindowShell& shell, const QString& name, Operation operation, ToolWindowRule rule,
                 OpenedBy openedBy) {
  shell.tools.add(name, std::move(rule));
  QObject::connect(shell.actions.action(operation), &QAction::triggered, shell.owner,
                   [&shell, name, openedBy] {
                     if (openedBy == OpenedBy::Toggle) {
                       shell.tools.toggle(name);
                     } else {
                       shell.tools.open(name);
                     }
                   });
}

void installWindows(WindowShell& shell) {
#define PELMORA_WINDOW(installer) installer(shell);
#include "app/windows/window_list.h"
#undef PELMORA_WINDOW
}

}  // namespace pelmora::ui
