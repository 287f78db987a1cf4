#include "ui/editing/window_footer.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <tuple>

#include "ui/qt_text.h"

namespace pelmora::ui {

ListBoxPair addListBoxPair(QVBoxLayout* layout, const ListBoxNames& pending,
                           const ListBoxNames& failures, QPlainTextEdit* pendingBox) {
  ListBoxPair pair;
  pair.pendingGroup = named(new QGroupBox(pending.caption), pending.group);
  pair.pending = named(pendingBox != nullptr ? pendingBox : new QPlainTextEdit, pending.box);
  pair.failuresGroup = named(new QGroupBox(failures.caption), failures.group);
  pair.failures = named(new QPlainTextEdit, failures.box);
  auto* row = new QHBoxLayout;
  for (auto [group, box, stretch] : {std::tuple{pair.pendingGroup, pair.pending, 3},
                                     std::tuple{pair.failuresGroup, pair.failures, 2}}) {
    (new QVBoxLayout(group))->addWidget(box);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setMinimumHeight(180);
    row->addWidget(group, stretch);
  }
  layout->addLayout(row, 1);
  return pair;
}

WindowFooter addWindowFooter(QVBoxLayout* layout, const QString& confirmText,
                             const QString& closeText) {
  WindowFooter footer;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  footer.confirm = named(new QPushButton(confirmText), QStringLiteral("按钮_确认"));
  footer.close = named(new QPushButton(closeText), QStringLiteral("按钮_关闭"));
  for (QPushButton* button : {footer.confirm, footer.close}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);

  footer.bar = named(new QStatusBar, QStringLiteral("状态条1"));
  footer.bar->setSizeGripEnabled(false);
  footer.status = named(new QLabel, QStringLiteral("状态条1_提示"));
  footer.bar->addWidget(footer.status, 1);
  layout->addWidget(footer.bar);
  return footer;
}

}  // namespace pelmora::ui
