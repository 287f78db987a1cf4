#include "app/tool_windows.h"

#include <QDialog>

#include "app/main_actions.h"
#include "app/operation_gate.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

struct ToolCase {
  const char* name;  // the window's objectName
  bool holdsGate;
  const char* label;  // the case's name in the test list
};

void PrintTo(const ToolCase& tool, std::ostream* out) { *out << tool.label; }

class ToolWindowFixture : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    open();
    window_->move(150, 120);
    QApplication::processEvents();
  }

  // What the user does to open it: its button, or its menu item.
  void openTool(const QString& name) {
    if (name == "关于") {
      menuAction("菜单_帮助", "关于")->trigger();
    } else if (name == "筛选窗口") {
      control<QAbstractButton>("按钮_筛选")->click();
    } else {
      control<QAbstractButton>("按钮_隐藏列")->click();
    }
    QApplication::processEvents();
  }
  QWidget* tool(const QString& name) { return window_->findChild<QWidget*>(name); }
  static bool onTop(const QWidget* window) {
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  }
};

class ToolWindowsTest : public ToolWindowFixture, public ::testing::WithParamInterface<ToolCase> {};

TEST_P(ToolWindowsTest, TheFirstShowIsCentredOverTheMainWindow) {
  const QString name = QString::fromUtf8(GetParam().name);
  openTool(name);
  QWidget* shown = tool(name);
  ASSERT_NE(shown, nullptr);
  ASSERT_TRUE(shown->isVisible());
  const QPoint offset = shown->frameGeometry().center() - window_->frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
}

TEST_P(ToolWindowsTest, AMovedWindowComesBackWhereTheUserLeftIt) {
  const QString name = QString::fromUtf8(GetParam().name);
  openTool(name);
  const QPoint left = window_->pos() + QPoint(37, 41);
  tool(name)->move(left);
  tool(name)->resize(tool(name)->size() + QSize(23, 19));
  const QSize size = tool(name)->size();
  tool(name)->close();
  QApplication::processEvents();
  if (QWidget* closed = tool(name)) {
    EXPECT_FALSE(closed->isVisible());
  }

  openTool(name);
  ASSERT_NE(tool(name), nullptr);
  EXPECT_TRUE(tool(name)->isVisible());
  EXPECT_EQ(tool(name)->pos(), left);
  EXPECT_EQ(tool(name)->size(), size);
}

TEST_P(ToolWindowsTest, HoldsTheGateWhileOpenOnlyWhenItsRuleSaysSo) {
  const QString name = QString::fromUtf8(GetParam().name);
  openTool(name);
  const bool holding = window_->gate()->state() == ui::OperationGate::State::ToolWindow;
  EXPECT_EQ(holding, GetParam().holdsGate);
  EXPECT_EQ(control<QAbstractButton>("按钮_更新选中时间")->isEnabled(), !GetParam().holdsGate);
  tool(name)->close();
  QApplication::processEvents();
  EXPECT_EQ(window_->gate()->state(), ui::OperationGate::State::Idle);
  EXPECT_TRUE(control<QAbstractButton>("按钮_更新选中时间")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(EachToolWindow, ToolWindowsTest,
                         ::testing::Values(ToolCase{"筛选窗口", true, "Filter"},
                                           ToolCase{"隐藏显示列", false, "Columns"},
                                           ToolCase{"关于", false, "About"}),
                         [](const auto& info) { return std::string(info.param.label); });

class AlwaysOnTopTest : public ToolWindowFixture {};

TEST_F(AlwaysOnTopTest, ReachesWindowsAlreadyOpenAndWindowsMadeLater) {
  auto* box = control<QCheckBox>("选择框_总在最前");
  openTool("隐藏显示列");
  QWidget* columns = tool("隐藏显示列");
  const QPoint where = columns->pos();
  ASSERT_EQ(tool("关于"), nullptr);

  box->setChecked(true);
  EXPECT_TRUE(onTop(window_.get()));
  EXPECT_TRUE(onTop(columns));
  EXPECT_TRUE(columns->isVisible());  // still open, in its place
  EXPECT_EQ(columns->pos(), where);
  EXPECT_TRUE(onTop(window_->filterWindow()));  // made at start, not open yet
  columns->close();
  openTool("关于");
  ASSERT_NE(tool("关于"), nullptr);
  EXPECT_TRUE(onTop(tool("关于")));
  tool("关于")->close();
  QApplication::processEvents();

  // The filter window keeps the others off while the flag changes under it.
  openTool("筛选窗口");
  box->setChecked(false);
  EXPECT_FALSE(onTop(window_.get()));
  EXPECT_FALSE(onTop(window_->filterWindow()));
  EXPECT_FALSE(onTop(columns));
  EXPECT_TRUE(window_->filterWindow()->isVisible());
  EXPECT_EQ(window_->gate()->state(), ui::OperationGate::State::ToolWindow);
  EXPECT_FALSE(control<QAbstractButton>("按钮_更新选中时间")->isEnabled());
}

}  // namespace
}  // namespace pelmora::testing
