#include "ui/editing/window_footer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace pelmora::ui {

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
