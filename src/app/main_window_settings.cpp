// Settings saved by the settings window take effect at once: the title, the
// tray tip, the expiry reminder and who the date lookups ask.

#include <QSystemTrayIcon>

#include "app/main_window.h"
#include "app/reminder_menu.h"
#include "store/program_settings.h"
#include "support/program_texts.h"
#include "ui/qt_text.h"

namespace pelmora::ui {

void MainWindow::applySavedSettings(const ProgramSettings& settings) {
  setWindowTitle(q(mainWindowTitle(settings.customTitle)));
  if (tray_ != nullptr) tray_->setToolTip(q(trayTip(settings.customTitle)));
  configureLookups(settings);
  if (settings.expiryCheck.on) {
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
