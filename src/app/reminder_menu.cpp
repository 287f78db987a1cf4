#include "app/reminder_menu.h"

#include <QMenu>
#include <QMenuBar>

#include "ui/qt_text.h"
namespace pelmora::ui {
ReminderMenu::ReminderMenu(QMenuBar* bar) : QObject(bar), menu_(new QMenu(bar)) {
  menu_->setObjectName(QStringLiteral("菜单_近期到期"));
  menu_->setTitle(q(kReminderMenuCaption));
  for (std::size_t i = 0; i < items_.size(); ++i) {
    items_[i] = menu_->addAction(q(kReminderItemCaptions[i]));
    const int choice = static_cast<int>(i) + 1;
    connect(items_[i], &QAction::triggered, this,
            [this, choice] { emit showDueRequested(choice); });
  }
  stop_ = menu_->addAction(q(kReminderStopCaption));
  connect(stop_, &QAction::triggered, this, [this] {
    stop_->setEnabled(false);
    cycle_.stop();  // the caption keeps the form last set
  });
  bar->addMenu(menu_);
  menu_->menuAction()->setVisible(false);
  // The cycle runs on the UI thread's timer: nothing outlives the window and
  // no widget is touched from another thread.
  cycle_.setInterval(kCycleMs);
  connect(&cycle_, &QTimer::timeout, this, &ReminderMenu::nextCaption);
}

void ReminderMenu::showCounts(const ExpiryCounts& counts) {
  bool due = false;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const std::string caption = reminderItemCaption(items_[i]->text().toStdString(), counts[i]);
    items_[i]->setText(QString::fromStdString(caption));
    items_[i]->setEnabled(counts[i] != 0);
    due = due || counts[i] != 0;
  }
  if (!due) {
    menu_->menuAction()->setVisible(false);
    return;
  }
  stop_->setEnabled(true);
  menu_->menuAction()->setVisible(true);
  if (!cycle_.isActive()) {
    captionIndex_ = 0;
    nextCaption();
    cycle_.start();
  }
}

void ReminderMenu::switchOff() {
  cycle_.stop();
  menu_->menuAction()->setVisible(false);
}

void ReminderMenu::nextCaption() {
  menu_->setTitle(q(kReminderCycleCaptions[captionIndex_]));
  captionIndex_ = (captionIndex_ + 1) % kReminderCycleCaptions.size();
}

}  // namespace pelmora::ui
