// Captions fit their controls at the default window sizes, in the CJK font.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <QTreeWidget>

#include "ui/about_dialog.h"
#include "ui/editing/advanced_modify_window.h"
#include "ui/editing/batch_add_window.h"
#include "ui/editing/batch_modify_window.h"
#include "ui/editing/single_add_window.h"
#include "ui/report/report_window.h"
#include "ui/settings/settings_window.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

// The width a control needs to show its whole text: the text in the
// control's font plus what the style puts around the text.
int neededWidth(const QWidget* widget) {
  const QFontMetrics metrics(widget->font());
  QStyle* style = widget->style();
  if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const int text = metrics.size(Qt::TextShowMnemonic, box->text()).width();
    return style->sizeFromContents(QStyle::CT_CheckBox, &option, QSize(text, 0), box).width();
  }
  if (const auto* button = qobject_cast<const QToolButton*>(widget)) {
    QStyleOptionToolButton option;
    option.initFrom(button);
    option.text = button->text();
    option.toolButtonStyle = button->toolButtonStyle();
    const int text = metrics.size(Qt::TextShowMnemonic, button->text()).width();
    return style->sizeFromContents(QStyle::CT_ToolButton, &option, QSize(text, 0), button).width();
  }
  if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    const int text = metrics.size(Qt::TextShowMnemonic, button->text()).width();
    // Without a text the style adds its frame and margins only (no minimum width).
    return text +
           style->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), button).width();
  }
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    return metrics.size(0, label->text()).width() + 2 * label->frameWidth() + 2 * label->margin() +
           std::max(label->indent(), 0);
  }
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
    return metrics.horizontalAdvance(group->title());
  }
  return 0;
}

QString textOf(const QWidget* widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  return {};
}

// Every visible captioned control of `window` shows its whole caption; the
// number of controls checked comes back so a test can see the walk found them.
int expectNothingClipped(QWidget* window) {
  int checked = 0;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (widget->window() != window || !widget->isVisible()) continue;
    const QString text = textOf(widget);
    if (text.isEmpty()) continue;
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && label->wordWrap()) {
      continue;
    }
    ++checked;
    EXPECT_GE(widget->width(), neededWidth(widget))
        << widget->metaObject()->className() << " " << widget->objectName().toStdString() << " \""
        << text.toStdString() << "\"";
  }
  return checked;
}

class LayoutTest : public MainWindowTest {};

TEST_F(LayoutTest, TestsRunInTheChineseFont) {
  EXPECT_TRUE(QApplication::font().families().contains("Noto Sans CJK SC"));
}

TEST_F(LayoutTest, MainWindowCaptionsFitAtTheDefaultSize) {
  addNumbered(250);
  auto& window = open(QStringLiteral("有新版本可用"));
  QApplication::processEvents();
  ASSERT_EQ(window.size(), QSize(1200, 665));
  EXPECT_GE(expectNothingClipped(&window), 16);
}

TEST_F(LayoutTest, MainWindowCaptionsStayWholeWhenResized) {
  addNumbered(250);
  auto& window = open();
  for (const QSize size : {QSize(1500, 900), QSize(1200, 665)}) {
    window.resize(size);
    QApplication::processEvents();
    EXPECT_EQ(window.size(), size);
    EXPECT_GE(expectNothingClipped(&window), 16);
  }
}

TEST_F(LayoutTest, ALargerFontWidensTheWindowInsteadOfClipping) {
  struct FontScope {
    QFont saved = QApplication::font();
    ~FontScope() { QApplication::setFont(saved); }
  } scope;
  QFont larger = scope.saved;
  larger.setPointSize(12);
  QApplication::setFont(larger);
  addNumbered(250);
  auto& window = open();
  QApplication::processEvents();
  EXPECT_GT(window.width(), 1200);
  EXPECT_GE(window.height(), 665);
  EXPECT_GE(expectNothingClipped(&window), 16);
}

TEST_F(LayoutTest, FilterWindowCaptionsFitAtItsDefaultSize) {
  open();
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  QWidget* filter = window_->filterWindow();
  ASSERT_TRUE(filter->isVisible());
  QApplication::processEvents();
  EXPECT_GE(expectNothingClipped(filter), 20);
}

TEST_F(LayoutTest, BatchModifyWindowCaptionsFitAtItsDefaultSize) {
  open();
  control<QAbstractButton>("按钮_修改选中")->click();
  auto* modify = window_->findChild<ui::BatchModifyWindow*>();
  ASSERT_NE(modify, nullptr);
  ASSERT_TRUE(modify->isVisible());
  modify->findChild<QCheckBox*>("选择框_最终售价")->setChecked(true);  // shows the tips
  QApplication::processEvents();
  EXPECT_GE(expectNothingClipped(modify), 19);
}

TEST_F(LayoutTest, AboutBoxHasAFixedSizeAndNoMaximiseButton) {
  ui::AboutDialog about(nullptr);
  about.show();
  QApplication::processEvents();
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_EQ(about.size(), about.minimumSize());
  EXPECT_FALSE(about.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_GE(expectNothingClipped(&about), 2);
}

TEST_F(LayoutTest, BatchAddWindowCaptionsFitAtItsDefaultSize) {
  open();
  control<QAbstractButton>("按钮_批量添加域名")->click();
  auto* batchAdd = window_->findChild<ui::BatchAddWindow*>();
  ASSERT_NE(batchAdd, nullptr);
  ASSERT_TRUE(batchAdd->isVisible());
  QApplication::processEvents();
  EXPECT_GE(expectNothingClipped(batchAdd), 6);
}

TEST_F(LayoutTest, AdvancedModifyWindowCaptionsAndFieldListFitAtItsDefaultSize) {
  open();
  control<QAbstractButton>("按钮_高级修改")->click();
  auto* modify = window_->findChild<ui::AdvancedModifyWindow*>();
  ASSERT_NE(modify, nullptr);
  ASSERT_TRUE(modify->isVisible());
  QApplication::processEvents();
  EXPECT_GE(expectNothingClipped(modify), 6);
  auto* fields = modify->findChild<QLineEdit*>("编辑框_例子1");
  ASSERT_NE(fields, nullptr);
  EXPECT_GE(fields->width(), fields->fontMetrics().horizontalAdvance(fields->text()));
}

TEST_F(LayoutTest, SingleAddWindowCaptionsFitAtItsDefaultSize) {
  open();
  control<QAbstractButton>("按钮_单个添加域名")->click();
  auto* singleAdd = window_->findChild<ui::SingleAddWindow*>();
  ASSERT_NE(singleAdd, nullptr);
  ASSERT_TRUE(singleAdd->isVisible());
  QApplication::processEvents();
  // The fetch label and the retry button are hidden at first: shown, they fit too.
  for (const char* name : {"透明标签_获取时间", "按钮_获取时间", "透明标签_出售时间"}) {
    singleAdd->findChild<QWidget*>(name)->setVisible(true);
  }
  QApplication::processEvents();
  EXPECT_GE(expectNothingClipped(singleAdd), 25);
}

TEST_F(LayoutTest, SettingsWindowCaptionsFitAtItsDefaultSize) {
  addEntry("注册商", "西数", 1);
  open();
  control<QAbstractButton>("按钮_软件设置")->click();
  auto* settings = window_->findChild<ui::SettingsWindow*>();
  ASSERT_NE(settings, nullptr);
  ASSERT_TRUE(settings->isVisible());
  auto* tree = settings->findChild<QTreeWidget*>("树型框_筛选条件");
  tree->setCurrentItem(tree->topLevelItem(0)->child(0));  // every button shown
  QApplication::processEvents();
  EXPECT_GE(expectNothingClipped(settings), 14);
}

TEST_F(LayoutTest, ReportWindowCaptionsFitAtItsDefaultAndMinimumSizes) {
  open();
  menuAction("菜单_文件", "报表统计")->trigger();
  auto* report = window_->findChild<ui::ReportWindow*>();
  ASSERT_NE(report, nullptr);
  ASSERT_TRUE(report->isVisible());
  for (const QSize size : {report->size(), report->minimumSize()}) {
    report->resize(size);
    QApplication::processEvents();
    EXPECT_EQ(report->size(), size);
    EXPECT_GE(expectNothingClipped(report), 21);
  }
}

}  // namespace
}  // namespace pelmora::testing
