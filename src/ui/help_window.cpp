#include "ui/help_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace pelmora::ui {

QString bundledHelpText() {
  QFile readme(QStringLiteral(":/pelmora/README.md"));
  if (!readme.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromUtf8(readme.readAll());
  const qsizetype from = text.indexOf(QStringLiteral("\n## Five minutes with Pelmora"));
  const qsizetype window = text.indexOf(QStringLiteral("\n## Using the window"), from);
  if (from < 0 || window < 0) return {};
  const qsizetype to = text.indexOf(QStringLiteral("\n## "), window + 1);
  return text.mid(from + 1, to < 0 ? -1 : to - from - 1);
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("帮助"));
  auto* layout = new QVBoxLayout(this);
  auto* browser = named(new QTextBrowser, QStringLiteral("超文本浏览框_帮助"));
  browser->setOpenExternalLinks(false);
  browser->setMarkdown(bundledHelpText());
  layout->addWidget(browser);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(760, 560);
}

}  // namespace pelmora::ui
