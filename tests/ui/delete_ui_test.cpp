// Deleting the ticked rows from the main window over a real database: the
// YES confirmation, which rows go, the page count and the status texts.

#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

const QString kPrompt = QStringLiteral(
    "警告:|一旦删除将无法恢复!!!\r\n如确认要删除,请输入大写的 "
    "YES\r\n否则请点击取消或者输入别的文字.");

class DeleteTest : public MainWindowTest {
 protected:
  // n1.com .. n6.com, shown newest first: row r (from 0) holds n(6-r).com.
  ui::MainWindow& openWithSix() {
    addNumbered(6);
    return open();
  }
  void clickDelete() {
    control<QAbstractButton>("按钮_删除选中域名")->click();
    QApplication::processEvents();
    waitForPage();
  }
  QStringList shownDomains() {
    QStringList domains;
    for (int row = 0; row < model().rowCount(); ++row) domains << model().cellText(row, 1);
    return domains;
  }
  std::int64_t storedCount() {
    return std::get<std::int64_t>(db().scalar("SELECT count(*) FROM 域名").value());
  }
};

TEST_F(DeleteTest, ThePrefilledYesDeletesTheTickedRowsAndLeavesTheOthers) {
  auto& window = openWithSix();
  // Rows 2 and 5 of the grid, counting from 1.
  model().setTicked(1, true);
  model().setTicked(4, true);
  const QString keptPrice = model().cellText(2, 13);
  clickDelete();

  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{kPrompt});
  EXPECT_EQ(shownDomains(), (QStringList{"n6.com", "n4.com", "n3.com", "n1.com"}));
  EXPECT_EQ(model().cellText(1, 13), keptPrice);
  EXPECT_TRUE(model().tickedRows().empty());
  EXPECT_EQ(storedCount(), 4);
  EXPECT_EQ(db().scalar("SELECT count(*) FROM 域名 WHERE 域名 IN ('n5.com','n2.com')"),
            SqlValue(std::int64_t{0}));
  EXPECT_EQ(caption(), "翻页,总数[4]个,共[1]页");
  EXPECT_EQ(window.statusText(1), " 提示: 删除 [2]  个成功! 删除 [0] 个失败");
  EXPECT_TRUE(control<QAbstractButton>("按钮_删除选中域名")->isEnabled());
}

struct Refusal {
  const char* typed;
  bool ok;  // false: the box was cancelled
  const char* label;
};
void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.label; }

class DeleteRefusals : public DeleteTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(DeleteRefusals, AnythingButExactlyYesDeletesNothing) {
  auto& window = openWithSix();
  model().setTicked(0, true);
  model().setTicked(3, true);
  ui::Toolkit::queueInput({QString::fromUtf8(GetParam().typed), GetParam().ok});
  clickDelete();
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{kPrompt});
  EXPECT_EQ(shownDomains().size(), 6);
  EXPECT_EQ(model().tickedRows(), (std::vector<int>{0, 3}));
  EXPECT_EQ(storedCount(), 6);
  EXPECT_EQ(window.statusText(1), " 提示:数据加载完毕!");
  EXPECT_TRUE(control<QAbstractButton>("按钮_删除选中域名")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Answers, DeleteRefusals,
                         ::testing::Values(Refusal{"yes", true, "lower_case"},
                                           Refusal{" YES", true, "leading_blank"},
                                           Refusal{"YES ", true, "trailing_blank"},
                                           Refusal{"", true, "emptied"},
                                           Refusal{"YES", false, "cancelled"}));

TEST_F(DeleteTest, NothingTickedSaysSoAndCountsNothing) {
  auto& window = openWithSix();
  clickDelete();
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{"提示:|没有勾选任何域名."});
  EXPECT_EQ(window.statusText(1), " 提示: 删除 [0]  个成功! 删除 [0] 个失败");
  EXPECT_EQ(shownDomains().size(), 6);
  EXPECT_EQ(storedCount(), 6);
}

TEST_F(DeleteTest, AFailingDeleteLeavesEveryRowTickedAndSaysWhy) {
  auto& window = openWithSix();
  ASSERT_TRUE(
      db().run("CREATE TRIGGER keep_n3 BEFORE DELETE ON 域名 WHEN old.域名='n3.com' "
               "BEGIN SELECT RAISE(ABORT, 'n3.com is kept'); END"));
  control<QCheckBox>("选择框_全选不选")->setChecked(true);
  clickDelete();

  const QStringList messages = ui::Toolkit::takeMessages();
  ASSERT_EQ(messages.size(), 2);
  EXPECT_EQ(messages[0], kPrompt);
  EXPECT_TRUE(messages[1].startsWith("提示:|删除失败,域名都保持原样."))
      << messages[1].toStdString();
  EXPECT_TRUE(messages[1].contains("n3.com is kept")) << messages[1].toStdString();
  EXPECT_EQ(storedCount(), 6);
  EXPECT_EQ(shownDomains().size(), 6);
  EXPECT_EQ(model().tickedRows().size(), 6u);
  EXPECT_EQ(caption(), "翻页,总数[6]个,共[1]页");
  EXPECT_EQ(window.statusText(1), " 提示: 删除 [0]  个成功! 删除 [6] 个失败");
  EXPECT_FALSE(control<QCheckBox>("选择框_全选不选")->isChecked());
}

TEST_F(DeleteTest, ThePageCountFollowsWithoutReloadingTheGrid) {
  setSetting(kSettingPageSize, "4");
  auto& window = openWithSix();
  ASSERT_EQ(caption(), "翻页,总数[6]个,共[2]页");
  model().setTicked(0, true);
  model().setTicked(2, true);
  clickDelete();
  EXPECT_EQ(caption(), "翻页,总数[4]个,共[1]页");
  // The page shows what is left of it, not a new first page.
  EXPECT_EQ(shownDomains(), (QStringList{"n5.com", "n3.com"}));
  EXPECT_EQ(control<QComboBox>("组合框_分页")->count(), 1);
  EXPECT_EQ(window.statusText(1), " 提示: 删除 [2]  个成功! 删除 [0] 个失败");
}

}  // namespace
}  // namespace pelmora::testing
