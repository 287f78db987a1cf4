#include "app/tool_windows.h"

#include <QEvent>
#include <QWidget>

namespace pelmora::ui {

ToolWindows::ToolWindows(QWidget& owner, OperationGate& gate)
    : QObject(&owner), owner_(owner), gate_(gate) {}

void ToolWindows::add(const QString& name, ToolWindowRule rule) {
  entries_[name].rule = std::move(rule);
}

ToolWindows::Entry* ToolWindows::find(const QString& name) {
  const auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : &found->second;
}

ToolWindows::Entry* ToolWindows::entryOf(const QObject* window) {
  for (auto& [name, entry] : entries_) {
    if (entry.window == window) return &entry;
  }
  return nullptr;
}

QWidget* ToolWindows::window(const QString& name) {
  Entry* entry = find(name);
  if (entry == nullptr) return nullptr;
  if (entry->window) return entry->window;
  QWidget* made = entry->rule.create();
  made->setObjectName(name);
  if (entry->rule.whenClosed == WhenClosed::Delete) made->setAttribute(Qt::WA_DeleteOnClose);
  made->setWindowFlag(Qt::WindowStaysOnTopHint, alwaysOnTop_);
  made->installEventFilter(this);
  // Deleted while open (its owner going, or a delete-on-close window that
  // never saw a hide): whatever it held is given back.
  connect(made, &QObject::destroyed, this, [this, name] {
    if (Entry* gone = find(name)) release(*gone);
  });
  entry->window = made;
  return made;
}

bool ToolWindows::open(const QString& name) {
  Entry* entry = find(name);
  if (entry == nullptr) return false;
  if (entry->window && entry->window->isVisible()) {
    entry->window->raise();
    return true;
  }
  if (entry->rule.holdsGate) {
    if (!gate_.holdForToolWindow(*entry->rule.holdsGate)) return false;
    entry->holding = true;
  }
  QWidget* shown = window(name);
  if (entry->rule.beforeShow) entry->rule.beforeShow(shown);
  place(*entry);
  shown->show();
  shown->raise();
  return true;
}

void ToolWindows::close(const QString& name) {
  Entry* entry = find(name);
  if (entry == nullptr || !entry->window) return;
  if (entry->rule.whenClosed == WhenClosed::Delete) {
    entry->window->close();
  } else {
    entry->window->hide();
  }
}

bool ToolWindows::toggle(const QString& name) {
  if (isOpen(name)) {
    close(name);
    return true;
  }
  return open(name);
}

bool ToolWindows::isOpen(const QString& name) const {
  const auto found = entries_.find(name);
  return found != entries_.end() && found->second.window && found->second.window->isVisible();
}

void ToolWindows::place(Entry& entry) {
  QWidget* window = entry.window;
  if (!entry.leftAt.isEmpty() && window->restoreGeometry(entry.leftAt)) return;
  // Its size is settled first: showing would otherwise resize it after the move.
  window->ensurePolished();
  if (!window->testAttribute(Qt::WA_Resized)) window->adjustSize();
  const QSize size = window->frameGeometry().size();
  const QPoint centre = owner_.frameGeometry().center();
  window->move(centre.x() - size.width() / 2, centre.y() - size.height() / 2);
}

void ToolWindows::setAlwaysOnTop(bool on) {
  alwaysOnTop_ = on;
  for (auto& [name, entry] : entries_) {
    if (entry.window) keepOnTop(entry.window);
  }
}

void ToolWindows::keepOnTop(QWidget* window) {
  if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == alwaysOnTop_) return;
  // Changing a window's flags hides it; an open one is shown again in place.
  const bool shown = window->isVisible();
  const QPoint at = window->pos();
  reflagging_ = true;
  window->setWindowFlag(Qt::WindowStaysOnTopHint, alwaysOnTop_);
  if (shown) {
    window->move(at);
    window->show();
  }
  reflagging_ = false;
}

void ToolWindows::destroyAll() {
  for (auto& [name, entry] : entries_) {
    if (!entry.window) continue;
    if (entry.window->isVisible()) entry.window->hide();
    release(entry);
    entry.window->deleteLater();
  }
}

bool ToolWindows::eventFilter(QObject* watched, QEvent* event) {
  Entry* entry = entryOf(watched);
  if (entry == nullptr) return false;
  if (event->type() == QEvent::Close && entry->rule.whenClosed == WhenClosed::Hide) {
    event->ignore();
    entry->window->hide();
    return true;
  }
  // A minimised window (a hide from the window system) is still open.
  if (event->type() == QEvent::Hide && !event->spontaneous() && !reflagging_) closed(*entry);
  return false;
}

void ToolWindows::closed(Entry& entry) {
  entry.leftAt = entry.window->saveGeometry();
  release(entry);
}

void ToolWindows::release(Entry& entry) {
  if (!entry.holding) return;
  entry.holding = false;
  gate_.releaseToolWindow(*entry.rule.holdsGate);
}

}  // namespace pelmora::ui
