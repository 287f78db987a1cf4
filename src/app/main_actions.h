#pragma once

// One QAction per operation of the main window, shared by its button, its
// menu item and its shortcut: whatever disables one disables the others. The
// enabled states follow the operation gate; operations whose windows are not
// here yet stay off.

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <vector>

#include "app/operation_gate.h"

class QAction;
class QMenu;
class QToolButton;
class QWidget;

namespace pelmora::ui {

class MainActions : public QObject {
  Q_OBJECT

 public:
  // The actions belong to `window`, so their shortcuts work anywhere in it.
  MainActions(OperationGate& gate, QWidget* window);

  QAction* action(Operation operation) const;
  // A button for the operation's action, showing `caption`.
  QToolButton* button(Operation operation, const QString& caption, const QString& objectName);
  // A control that is not an action but is enabled like one (the tick-all box).
  void follow(QWidget* control, Operation operation);
  // A menu that is closed as a whole while a tool window holds the gate.
  void closeWhileToolWindowHolds(QMenu* menu);

 private:
  void refresh();

  OperationGate& gate_;
  std::map<Operation, QAction*> actions_;
  std::vector<std::pair<QPointer<QWidget>, Operation>> followers_;
  std::vector<QPointer<QMenu>> menus_;
};

}  // namespace pelmora::ui
