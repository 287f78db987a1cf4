#include "ui/settings/settings_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "store/classification_edit.h"
#include "support/numbers.h"
#include "support/text_helpers.h"
#include "ui/qt_text.h"
#include "ui/settings/classification_tree.h"
#include "ui/settings/settings_texts.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

namespace texts = settings_texts;

QString unitName(ExpiryCheckUnit unit) {
  switch (unit) {
    case ExpiryCheckUnit::Hours:
      return texts::hours();
    case ExpiryCheckUnit::Days:
      return texts::days();
    case ExpiryCheckUnit::Minutes:
      break;
  }
  return texts::minutes();
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget* owner, DomainDatabase& db, const ClassificationLists& lists)
    : QDialog(owner), db_(db) {
  setWindowTitle(texts::title());
  auto* classGroup = named(new QGroupBox(texts::classGroup()), QStringLiteral("分组框_分类设置"));
  tree_ = new ClassificationTree(db_, classGroup);
  auto* classLayout = new QVBoxLayout(classGroup);
  classLayout->addWidget(tree_);

  auto* tips =
      named(new QLabel(texts::tips().replace(QStringLiteral("\r\n"), QStringLiteral("\n"))),
            QStringLiteral("透明标签_tips"));
  save_ = named(new QPushButton(texts::save()), QStringLiteral("按钮_保存设置"));
  close_ = named(new QPushButton(texts::close()), QStringLiteral("按钮_关闭"));
  for (QPushButton* button : {save_, close_}) button->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(tips, 1);
  buttons->addWidget(save_);
  buttons->addWidget(close_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(classGroup, 1);
  layout->addWidget(buildOtherSettings());
  layout->addLayout(buttons);

  connect(save_, &QPushButton::clicked, this, &SettingsWindow::save);
  connect(close_, &QPushButton::clicked, this, &SettingsWindow::close);
  save_->installEventFilter(this);

  tree_->fill(lists);
  load();
}

QWidget* SettingsWindow::buildOtherSettings() {
  auto* group = named(new QGroupBox(texts::otherGroup()), QStringLiteral("分组框_其他设置"));
  title_ = named(new QLineEdit, QStringLiteral("编辑框_自定义标题"));
  reminder_ = named(new QCheckBox(texts::reminderOn()), QStringLiteral("选择框_开启到期提醒"));
  period_ = named(new QLineEdit, QStringLiteral("编辑框_检测周期"));
  unit_ = named(new QComboBox, QStringLiteral("组合框_检测周期"));
  unit_->addItems({texts::minutes(), texts::hours(), texts::days()});
  closeToTray_ =
      named(new QCheckBox(texts::closeToTray()), QStringLiteral("选择框_关闭自动缩小到任务栏"));
  registryFirst_ =
      named(new QCheckBox(texts::registryFirst()), QStringLiteral("选择框_注册局优先"));
  autoRefresh_ =
      named(new QCheckBox(texts::autoRefresh()), QStringLiteral("选择框_自动更新到期时间"));
  pace_ = named(new QLineEdit, QStringLiteral("编辑框_查询间隔"));

  auto* layout = new QGridLayout(group);
  layout->addWidget(named(new QLabel(texts::customTitle()), QStringLiteral("透明标签_自定义标题")),
                    0, 0);
  layout->addWidget(title_, 0, 1, 1, 3);
  layout->addWidget(reminder_, 1, 0, 1, 4);
  layout->addWidget(named(new QLabel(texts::period()), QStringLiteral("透明标签_检测周期")), 2, 0);
  layout->addWidget(period_, 2, 1);
  layout->addWidget(unit_, 2, 2);
  layout->setColumnStretch(3, 1);
  layout->addWidget(closeToTray_, 3, 0, 1, 4);
  layout->addWidget(registryFirst_, 4, 0, 1, 4);
  layout->addWidget(autoRefresh_, 5, 0, 1, 4);
  layout->addWidget(named(new QLabel(texts::lookupPace()), QStringLiteral("透明标签_查询间隔")), 6,
                    0);
  layout->addWidget(pace_, 6, 1);

  connect(reminder_, &QCheckBox::toggled, this, [this](bool on) {
    period_->setEnabled(on);
    unit_->setEnabled(on);
  });
  return group;
}

void SettingsWindow::load() {
  const auto settings = readProgramSettings(db_);
  if (!settings) message(texts::readFailed(q(settings.error())));
  const ProgramSettings shown = settings.value_or(ProgramSettings{});
  closeToTray_->setChecked(shown.closeToTray);
  registryFirst_->setChecked(shown.registryFirst);
  autoRefresh_->setChecked(shown.autoRefreshDates);
  pace_->setText(QString::number(shown.lookupPaceMs));
  reminder_->setChecked(shown.expiryCheck.on);
  period_->setEnabled(shown.expiryCheck.on);
  unit_->setEnabled(shown.expiryCheck.on);
  period_->setText(QString::number(shown.expiryCheck.period));
  unit_->setCurrentIndex(static_cast<int>(shown.expiryCheck.unit));
  title_->setText(q(shown.customTitle));
}

void SettingsWindow::save() {
  const auto unit = static_cast<ExpiryCheckUnit>(std::max(unit_->currentIndex(), 0));
  const std::string periodText = period_->text().toStdString();
  switch (checkExpiryPeriodText(periodText, unit)) {
    case ExpiryPeriodCheck::UnderTenMinutes:
      message(texts::periodTooShort());
      return;
    case ExpiryPeriodCheck::NotAWholeNumber:
      message(texts::periodNotWhole());
      return;
    case ExpiryPeriodCheck::TooLong:
      message(texts::periodTooLong(maxExpiryCheckPeriod(unit), unitName(unit)));
      return;
    case ExpiryPeriodCheck::Ok:
      break;
  }
  const std::string paceText = pace_->text().toStdString();
  if (!isLookupPaceText(paceText)) {
    message(texts::lookupPaceInvalid());
    return;
  }
  if (const auto stored = storeClassificationOrder(db_, tree_->order()); !stored) {
    message(texts::saveFailed(q(stored.error())));
    return;
  }
  // The page size is the filter window's: it is written back as stored.
  auto stored = readProgramSettings(db_);
  if (!stored) {
    message(texts::saveFailed(q(stored.error())));
    return;
  }
  ProgramSettings settings = *stored;
  settings.customTitle = title_->text().toStdString();
  settings.expiryCheck = {reminder_->isChecked(), readInt(periodText), unit};
  settings.closeToTray = closeToTray_->isChecked();
  settings.registryFirst = registryFirst_->isChecked();
  settings.autoRefreshDates = autoRefresh_->isChecked();
  settings.lookupPaceMs = readInt(trimSpaces(paceText));
  if (const auto written = writeProgramSettings(db_, settings); !written) {
    message(texts::saveFailed(q(written.error())));
    return;
  }
  emit saved(settings);
  save_->setText(texts::savedCaption());
  message(texts::saved());
}

void SettingsWindow::message(const QString& text) {
  Toolkit::messageBox(this, text, texts::hintCaption());
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == save_ && event->type() == QEvent::FocusOut) {
    // Another control took the focus; the window losing it (a message box,
    // another program) does not count.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      save_->setText(texts::save());
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SettingsWindow::reject() { close(); }

void SettingsWindow::closeEvent(QCloseEvent* event) {
  // QDialog's own close handling would call reject(), which closes again.
  event->accept();
  emit closed();
}

}  // namespace pelmora::ui
