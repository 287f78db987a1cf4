#include "ui/about_dialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/endpoints.h"

namespace pelmora::ui {

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("关于"));
  setWindowTitle(QStringLiteral("关于"));
  auto* layout = new QVBoxLayout(this);
  auto* version = new QLabel(
      QStringLiteral("青禾名簿(Pelmora) Ver:") +
      QString::fromUtf8(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size())));
  version->setObjectName(QStringLiteral("透明标签_版本"));
  layout->addWidget(version);
  auto* contact = new QPlainTextEdit(this);
  contact->setObjectName(QStringLiteral("编辑框_联系方式"));
  contact->setReadOnly(true);
  contact->setPlainText(QStringLiteral("官网: http://") + QString::fromStdString(siteHost()) +
                        QStringLiteral("/pelmora/\n问题与建议请在官网留言。"));
  layout->addWidget(contact);
  auto* ok = new QPushButton(QStringLiteral("确定"));
  ok->setObjectName(QStringLiteral("按钮_ok"));
  layout->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  // A box of fixed size: nothing to gain from resizing or maximising it.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(QSize(360, 220).expandedTo(sizeHint()));
}

}  // namespace pelmora::ui
