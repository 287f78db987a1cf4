// Settings saved by the settings window take effect at once: the title, the
// tray tip and the expiry reminder.

#include <QSystemTrayIcon>

#include "app/main_window.h"
#include "app/reminder_menu.h"
#include "support/program_texts.h"
#include "ui/qt_text.h"

namespace pelmora::ui {

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
