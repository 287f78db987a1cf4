#include "app/main_actions.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

namespace pelmora::ui {
namespace {

struct OperationItem {
  Operation operation;
  const char* text;  // the menu item's caption
  const char* shortcut;
};

constexpr OperationItem kOperations[] = {
    {Operation::SingleAdd, "单个添加域名", "Ctrl+Q"},
    {Operation::BatchAdd, "批量添加域名", "Ctrl+W"},
    {Operation::Settings, "软件设置", "Ctrl+R"},
    {Operation::Report, "报表统计", ""},
    {Operation::ExportListing, "导出列表", ""},
    {Operation::ExportCalendar, "导出日历", ""},
    {Operation::HideColumns, "隐藏列", ""},
    {Operation::ModifySelected, "批量修改选中", ""},
    {Operation::AdvancedModify, "高级修改", ""},
    {Operation::DeleteSelected, "删除选中域名", ""},
    {Operation::UpdateSelectedDates, "更新选中时间", ""},
    {Operation::UpdateRowDates, "更新该条日期", ""},
    {Operation::Filter, "高级筛选", "Ctrl+F"},
    {Operation::InvertTicks, "反选", ""},
};

}  // namespace

MainActions::MainActions(OperationGate& gate, QWidget* window) : QObject(window), gate_(gate) {
  for (const OperationItem& item : kOperations) {
    auto* action = new QAction(QString::fromUtf8(item.text), window);
    if (*item.shortcut != '\0')
      action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
    window->addAction(action);
    actions_[item.operation] = action;
  }
  connect(&gate_, &OperationGate::changed, this, &MainActions::refresh);
  refresh();
}

QAction* MainActions::action(Operation operation) const {
  const auto found = actions_.find(operation);
  return found == actions_.end() ? nullptr : found->second;
}

QToolButton* MainActions::button(Operation operation, const QString& caption,
                                 const QString& objectName) {
  QAction* shown = action(operation);
  shown->setIconText(caption);  // the menu keeps the action's own text
  auto* button = new QToolButton;
  button->setObjectName(objectName);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setDefaultAction(shown);
  return button;
}

void MainActions::follow(QWidget* control, Operation operation) {
  followers_.emplace_back(control, operation);
  control->setEnabled(gate_.allows(operation));
}

void MainActions::closeWhileToolWindowHolds(QMenu* menu) {
  menus_.emplace_back(menu);
  refresh();
}

void MainActions::refresh() {
  for (const auto& [operation, action] : actions_) {
    action->setEnabled(gate_.allows(operation));
  }
  for (const auto& [control, operation] : followers_) {
    if (control) control->setEnabled(gate_.allows(operation));
  }
  const bool menusOpen = gate_.state() != OperationGate::State::ToolWindow;
  for (const QPointer<QMenu>& menu : menus_) {
    if (menu) menu->menuAction()->setEnabled(menusOpen);
  }
}

}  // namespace pelmora::ui
