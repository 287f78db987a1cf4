// 软件设置: a modal window made anew at each opening; what it saves takes
// effect at once.

#include "app/windows/window_shell.h"
#include "ui/settings/settings_window.h"

namespace pelmora::ui {

void installSettingsWindow(WindowShell& shell) {
  const QString name = QStringLiteral("软件设置窗口");
  ToolWindowRule rule;
  rule.create = [&shell] {
    shell.rebuildLists();
    auto* window = new SettingsWindow(shell.owner, shell.db, shell.lists);
    window->setWindowModality(Qt::WindowModal);
    QObject::connect(window, &SettingsWindow::saved, shell.owner,
                     [&shell](const ProgramSettings& settings) { shell.applySettings(settings); });
    // Values added, renamed, deleted or reordered show once the window is gone.
    QObject::connect(window, &SettingsWindow::closed, shell.owner, [&shell] {
      shell.rebuildLists();
      shell.reloadPage(false);
    });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::Settings;
  offerWindow(shell, name, Operation::Settings, std::move(rule));
}

}  // namespace pelmora::ui
