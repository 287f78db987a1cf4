#pragma once

// The one policy for the main window's tool windows. Each is created on first
// use; shown centred over the main window the first time and where the user
// left it afterwards (also when it was deleted and is created again); kept on
// top of others while the main window's always-on-top box is ticked, open or
// not yet made; hidden or deleted when closed; and, if its rule says so, holds
// the operation gate from opening to closing. Windows are known by their
// objectName.

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <optional>

#include "app/operation_gate.h"

class QWidget;

namespace pelmora::ui {

enum class WhenClosed { Hide, Delete };

struct ToolWindowRule {
  // Makes the window (a child of the main window); called on first use and
  // after a deleted one is wanted again.
  std::function<QWidget*()> create;
  WhenClosed whenClosed = WhenClosed::Hide;
  // The operation whose window holds the others off while it is open.
  std::optional<Operation> holdsGate;
  // Runs each time it opens, after the gate is taken, before it is shown.
  std::function<void(QWidget*)> beforeShow;
};

class ToolWindows : public QObject {
  Q_OBJECT

 public:
  ToolWindows(QWidget& owner, OperationGate& gate);

  // `name` is given to the window as its objectName.
  void add(const QString& name, ToolWindowRule rule);

  // The window, made now (hidden) if it does not exist.
  QWidget* window(const QString& name);
  template <typename W>
  W* window(const QString& name) {
    return qobject_cast<W*>(window(name));
  }
  // Opens it, or raises it when open. False (nothing shown) when it holds the
  // gate and the gate is not free.
  bool open(const QString& name);
  // Closes it the way its rule says.
  void close(const QString& name);
  bool toggle(const QString& name);
  bool isOpen(const QString& name) const;

  bool alwaysOnTop() const { return alwaysOnTop_; }
  void setAlwaysOnTop(bool on);

  // The main window is going: every window goes now, gates released.
  void destroyAll();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    ToolWindowRule rule;
    QPointer<QWidget> window;
    // Where it was when last closed, frame included: a window made anew
    // comes back there rather than a title bar's height off.
    QByteArray leftAt;
    bool holding = false;
  };

  Entry* find(const QString& name);
  Entry* entryOf(const QObject* window);
  void place(Entry& entry);
  void keepOnTop(QWidget* window);
  void closed(Entry& entry);
  void release(Entry& entry);

  QWidget& owner_;
  OperationGate& gate_;
  bool alwaysOnTop_ = false;
  bool reflagging_ = false;  // a flag change hides and shows a window: not a close
  std::map<QString, Entry> entries_;
};

}  // namespace pelmora::ui
