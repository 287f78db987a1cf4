#pragma once

// The foot of the editing windows: the 确认/关闭 buttons on the right, then
// the status bar "状态条1" with its message part.

#include <QString>

class QLabel;
class QPushButton;
class QStatusBar;
class QVBoxLayout;

namespace pelmora::ui {

struct WindowFooter {
  QPushButton* confirm = nullptr;  // 按钮_确认
  QPushButton* close = nullptr;    // 按钮_关闭
  QStatusBar* bar = nullptr;       // 状态条1
  QLabel* status = nullptr;        // 状态条1_提示
};

WindowFooter addWindowFooter(QVBoxLayout* layout, const QString& confirmText,
                             const QString& closeText);

}  // namespace pelmora::ui
