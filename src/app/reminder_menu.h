#pragma once

// The "#近期有域名要到期#" menu: counts of domains due, a caption that cycles
// while something is due, and the items that show the due domains.

#include <QObject>
#include <QTimer>
#include <array>

#include "reports/expiry_reminder.h"

class QAction;
class QMenu;
class QMenuBar;

namespace pelmora::ui {

class ReminderMenu : public QObject {
  Q_OBJECT

 public:
  static constexpr int kCycleMs = 300;

  // Adds the menu (hidden) at the end of `bar`.
  explicit ReminderMenu(QMenuBar* bar);

  // Writes the counts of one expiry check into the captions; shows the menu
  // and starts the caption cycle when something is due, hides it otherwise.
  void showCounts(const ExpiryCounts& counts);
  // Reminders switched off: no cycle, no menu.
  void switchOff();

  QMenu* menu() const { return menu_; }
  QAction* itemAction(int index) const { return items_[static_cast<std::size_t>(index)]; }
  QAction* stopAction() const { return stop_; }
  bool isCycling() const { return cycle_.isActive(); }

 signals:
  // One of the six 显示 items: 1 已到期, 2 今天, 3..6 the 3/5/10/30-day windows.
  void showDueRequested(int expiryChoiceIndex);

 private:
  void nextCaption();

  QMenu* menu_;
  std::array<QAction*, 6> items_{};
  QAction* stop_;
  QTimer cycle_;
  std::size_t captionIndex_ = 0;
};

}  // namespace pelmora::ui
