// The main window's side of 软件设置: the window, its action, and applying the
// saved title and reminder settings at once.

#include <QAction>
#include <QSystemTrayIcon>

#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/reminder_menu.h"
#include "app/tool_windows.h"
#include "store/program_settings.h"
#include "support/program_texts.h"
#include "ui/qt_text.h"
#include "ui/settings/settings_window.h"

namespace pelmora::ui {
namespace {

const QString kSettingsWindow = QStringLiteral("软件设置窗口");

}  // namespace

void MainWindow::registerSettingsWindow() {
  ToolWindowRule rule;
  rule.create = [this] {
    rebuildLists();
    auto* window = new SettingsWindow(this, db_, lists_);
    window->setWindowModality(Qt::WindowModal);
    connect(window, &SettingsWindow::saved, this, [this](const ProgramSettings& settings) {
      applySavedSettings(settings.customTitle, settings.expiryCheck.on);
    });
    // Values added, renamed, deleted or reordered show once the window is gone.
    connect(window, &SettingsWindow::closed, this, [this] {
      rebuildLists();
      loadPage(false);
    });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::Settings;
  tools_->add(kSettingsWindow, std::move(rule));
  connect(actions_->action(Operation::Settings), &QAction::triggered, this,
          [this] { tools_->open(kSettingsWindow); });
}

void MainWindow::applySavedSettings(const std::string& customTitle, bool reminderOn) {
  setWindowTitle(q(mainWindowTitle(customTitle)));
  if (tray_ != nullptr) tray_->setToolTip(q(trayTip(customTitle)));
  if (reminderOn) {
    startExpiryMonitor();
  } else {
    stopExpiryMonitor();
  }
}

void MainWindow::stopExpiryMonitor() {
  expiryTimer_.setInterval(0);
  expiryTimer_.stop();
  reminders_->switchOff();
}

}  // namespace pelmora::ui
