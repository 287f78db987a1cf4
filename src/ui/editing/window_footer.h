#pragma once

// The parts the editing windows share: the two list boxes side by side (the
// list to work through and the failures), and the foot with the 确认/关闭
// buttons on the right, then the status bar "状态条1" with its message part.

#include <QString>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
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

// A group box around one list box: its caption and the objectNames of both.
struct ListBoxNames {
  QString caption;
  QString group;
  QString box;
};

struct ListBoxPair {
  QGroupBox* pendingGroup = nullptr;
  QPlainTextEdit* pending = nullptr;
  QGroupBox* failuresGroup = nullptr;
  QPlainTextEdit* failures = nullptr;
};

// The list to work through (three fifths of the width; `pendingBox` when the
// window brings its own kind of box) beside the failures, unwrapped, as the
// stretching row of `layout`.
ListBoxPair addListBoxPair(QVBoxLayout* layout, const ListBoxNames& pending,
                           const ListBoxNames& failures, QPlainTextEdit* pendingBox = nullptr);

WindowFooter addWindowFooter(QVBoxLayout* layout, const QString& confirmText,
                             const QString& closeText);

}  // namespace pelmora::ui
