#include "ui/listing_grid.h"

#include <QClipboard>
#include <QFont>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStyle>
#include <QToolTip>
#include <array>

#include "store/date_store.h"
#include "ui/column_visibility_window.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

struct PagingCase {
  int domains;
  int pageSize;
  QString caption;
  bool previous, next, list;
  int firstPageRows;
  int lastPageRows;
};

class PagingStates : public MainWindowTest, public ::testing::WithParamInterface<PagingCase> {};

TEST_P(PagingStates, CaptionButtonsAndRows) {
  const PagingCase& c = GetParam();
  addNumbered(c.domains);
  setSetting(kSettingPageSize, std::to_string(c.pageSize));
  open();
  auto* previous = control<QAbstractButton>("按钮_上一页");
  auto* next = control<QAbstractButton>("按钮_下一页");
  auto* list = control<QComboBox>("组合框_分页");
  EXPECT_EQ(caption(), c.caption);
  EXPECT_EQ(previous->isEnabled(), c.previous);
  EXPECT_EQ(next->isEnabled(), c.next);
  EXPECT_EQ(list->isEnabled(), c.list);
  EXPECT_EQ(model().rowCount(), c.firstPageRows);
  if (!c.next) return;

  // Next to the end, then back with the previous button.
  model().setTicked(0, true);
  while (next->isEnabled()) QTest::mouseClick(next, Qt::LeftButton);
  waitForPage();
  EXPECT_EQ(list->currentIndex(), list->count() - 1);
  EXPECT_EQ(model().rowCount(), c.lastPageRows);
  EXPECT_TRUE(model().tickedRows().empty());
  EXPECT_TRUE(previous->isEnabled());
  while (previous->isEnabled()) QTest::mouseClick(previous, Qt::LeftButton);
  waitForPage();
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_TRUE(next->isEnabled());
  EXPECT_EQ(model().cellText(0, 1), QString("n%1.com").arg(c.domains));
}

INSTANTIATE_TEST_SUITE_P(
    Totals, PagingStates,
    ::testing::Values(PagingCase{0, 100, "翻页,总数[0]个,共[1]页", false, false, false, 0, 0},
                      PagingCase{5, 5, "翻页,总数[5]个,共[1]页", false, false, false, 5, 5},
                      PagingCase{6, 5, "翻页,总数[6]个,共[2]页", false, true, true, 5, 1},
                      PagingCase{250, 100, "翻页,总数[250]个,共[3]页", false, true, true, 100,
                                 50}));

TEST_F(MainWindowTest, PickingAPageSetsBothButtons) {
  addNumbered(250);
  open();
  auto* list = control<QComboBox>("组合框_分页");
  auto* previous = control<QAbstractButton>("按钮_上一页");
  auto* next = control<QAbstractButton>("按钮_下一页");
  const auto pick = [&](int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
    waitForPage();
  };
  pick(1);
  EXPECT_TRUE(previous->isEnabled());
  EXPECT_TRUE(next->isEnabled());
  EXPECT_EQ(model().cellText(0, 1), "n150.com");
  pick(2);
  EXPECT_TRUE(previous->isEnabled());
  EXPECT_FALSE(next->isEnabled());
  pick(0);
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_TRUE(next->isEnabled());
}

TEST_F(MainWindowTest, HeaderClickSortsDescendingAndASecondClickAscending) {
  addNumbered(10);
  auto& window = open();
  auto* header = window.grid()->horizontalHeader();
  emit header->sectionClicked(13);  // 对外标价
  waitForPage();
  EXPECT_EQ(window.sortKey(), "标价");
  EXPECT_EQ(model().cellText(0, 13), "6");
  EXPECT_EQ(model().cellText(0, 1), "n6.com");
  EXPECT_EQ(model().cellText(9, 13), "0");
  emit header->sectionClicked(13);  // again: the order turns round
  waitForPage();
  EXPECT_TRUE(window.sortAscending());
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
  EXPECT_EQ(model().cellText(0, 13), "0");
  EXPECT_EQ(model().cellText(9, 13), "6");
  emit header->sectionClicked(0);  // the tick column does not sort
  EXPECT_EQ(window.sortKey(), "标价");
  emit header->sectionClicked(1);
  waitForPage();
  EXPECT_EQ(window.sortKey(), "域名");
  EXPECT_FALSE(window.sortAscending());  // another column starts descending
  EXPECT_EQ(model().cellText(0, 1), "n9.com");
}

TEST_F(MainWindowTest, SelectAllAndInvert) {
  addNumbered(4);
  open();
  model().setTicked(1, true);
  QTest::mouseClick(control<QAbstractButton>("按钮_反选"), Qt::LeftButton);
  EXPECT_EQ(model().tickedRows(), (std::vector<int>{0, 2, 3}));
  control<QCheckBox>("选择框_全选不选")->setChecked(true);
  EXPECT_EQ(model().tickedRows().size(), 4u);
  control<QCheckBox>("选择框_全选不选")->setChecked(false);
  EXPECT_TRUE(model().tickedRows().empty());
  // The box follows the rows: one unticked, or a reload without ticks.
  control<QCheckBox>("选择框_全选不选")->setChecked(true);
  model().setTicked(2, false);
  EXPECT_FALSE(control<QCheckBox>("选择框_全选不选")->isChecked());
  model().setAllTicked(true);
  EXPECT_TRUE(control<QCheckBox>("选择框_全选不选")->isChecked());
  window_->loadPage(true);
  waitForPage();
  EXPECT_FALSE(control<QCheckBox>("选择框_全选不选")->isChecked());
}

TEST_F(MainWindowTest, ReadOnlyCellsAndCellKinds) {
  add({makeDomain("abc.com", {{DomainField::Registrar, "-"},
                              {DomainField::OneTimeCost, "12.345"},
                              {DomainField::FinalPrice, "50"}})});
  open();
  for (int column = 0; column < kDomainFieldCount; ++column) {
    const bool editable = model().flags(model().index(0, column)) & Qt::ItemIsEditable;
    const bool readOnly = column == 0 || column == 1 || column == 2 || column == 3 ||
                          column == 11 || column == 15 || column == 16;
    EXPECT_EQ(editable, !readOnly) << column;
  }
  EXPECT_TRUE(model().flags(model().index(0, 0)) & Qt::ItemIsUserCheckable);
  EXPECT_EQ(model().data(model().index(0, 16), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(model().cellText(0, 4), "");
  EXPECT_EQ(model().cellText(0, 9), "12.35");
  EXPECT_EQ(model().headerData(13, Qt::Horizontal, Qt::DisplayRole).toString(), "对外标价");
  EXPECT_EQ(model().data(model().index(0, 5), Qt::BackgroundRole).value<QColor>(),
            QColor(255, 255, 255));
}

TEST_F(MainWindowTest, AlternatingRowsAndRestoreLook) {
  addNumbered(3);
  auto& window = open();
  EXPECT_EQ(model().data(model().index(1, 5), Qt::BackgroundRole).value<QColor>(),
            QColor(234, 234, 234));
  model().setEditState(0, ui::EditState::Stored);
  model().setDateState(1, ui::DateState::Failed);
  EXPECT_EQ(model().data(model().index(0, 3), Qt::ForegroundRole).value<QColor>(),
            QColor(0, 128, 255));
  EXPECT_TRUE(model().data(model().index(0, 3), Qt::FontRole).value<QFont>().bold());
  // A failed date update marks only the two date cells.
  EXPECT_EQ(model().data(model().index(1, 8), Qt::BackgroundRole).value<QColor>(),
            QColor(249, 200, 170));
  EXPECT_FALSE(model().data(model().index(1, 3), Qt::FontRole).value<QFont>().bold());
  menuAction("菜单_常用操作", "还原表格属性")->trigger();
  EXPECT_EQ(model().data(model().index(0, 3), Qt::ForegroundRole).value<QColor>(),
            QColor(Qt::black));
  EXPECT_FALSE(model().data(model().index(0, 3), Qt::FontRole).isValid());
  EXPECT_EQ(model().dateState(1), ui::DateState::Untouched);
  (void)window;
}

TEST_F(MainWindowTest, ColumnVisibilityWindowHidesColumnsAcrossReloads) {
  addNumbered(2);
  auto& window = open();
  EXPECT_EQ(window.grid()->columnWidth(17), window.grid()->defaultColumnWidth(17));
  QTest::mouseClick(control<QAbstractButton>("按钮_隐藏列"), Qt::LeftButton);
  auto* columns = window.columnWindow();
  ASSERT_NE(columns, nullptr);
  EXPECT_TRUE(columns->isVisible());
  columns->findChild<QCheckBox*>("选择框_备注")->setChecked(false);
  columns->findChild<QCheckBox*>("选择框_对外标价")->setChecked(false);
  QTest::mouseClick(columns->findChild<QPushButton*>("按钮_确认"), Qt::LeftButton);
  EXPECT_FALSE(columns->isVisible());
  EXPECT_TRUE(window.grid()->isColumnHidden(17));
  EXPECT_TRUE(window.grid()->isColumnHidden(13));
  window.loadPage(true);
  waitForPage();
  EXPECT_TRUE(window.grid()->isColumnHidden(17));
  EXPECT_FALSE(window.grid()->isColumnHidden(1));

  // The toggle shows it again; all/none ticks every box.
  QTest::mouseClick(control<QAbstractButton>("按钮_隐藏列"), Qt::LeftButton);
  EXPECT_TRUE(columns->isVisible());
  auto* all = columns->findChild<QCheckBox*>("选择框_全选不选");
  all->setChecked(false);
  all->setChecked(true);
  QTest::mouseClick(columns->findChild<QPushButton*>("按钮_确认"), Qt::LeftButton);
  EXPECT_FALSE(window.grid()->isColumnHidden(17));
  EXPECT_EQ(window.grid()->columnWidth(13), window.grid()->defaultColumnWidth(13));
}

// What a cell must show whole at the default widths, bold rows included.
struct TypicalCell {
  int column;
  QString text;
  friend void PrintTo(const TypicalCell& c, std::ostream* out) {
    *out << c.column << " \"" << c.text.toStdString() << '"';
  }
};

class DefaultColumnWidths : public MainWindowTest,
                            public ::testing::WithParamInterface<TypicalCell> {};

TEST_P(DefaultColumnWidths, FitTitleAndTypicalTextInBold) {
  const TypicalCell& c = GetParam();
  add({makeDomain("abc.com", {{static_cast<DomainField>(c.column), c.text.toStdString()}})});
  auto& window = open();
  ui::ListingGrid* grid = window.grid();
  ASSERT_EQ(model().cellText(0, c.column), c.text);
  model().setEditState(0, ui::EditState::Stored);
  QFont bold = grid->font();
  bold.setBold(true);
  const int margins =
      2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
  const int width = grid->columnWidth(c.column);
  EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(c.text) + margins);
  EXPECT_GE(width, grid->horizontalHeader()->sectionSizeHint(c.column));
  EXPECT_GE(width, gridColumns()[static_cast<std::size_t>(c.column)].width);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, DefaultColumnWidths,
    ::testing::Values(TypicalCell{4, "西部数码"}, TypicalCell{4, "Namecheap"},
                      TypicalCell{7, "2017-12-31"}, TypicalCell{8, "2028-09-30"},
                      TypicalCell{18, "2016-10-08"}, TypicalCell{9, "1234567.89"},
                      TypicalCell{10, "1234567.89"}, TypicalCell{12, "1234567.89"},
                      TypicalCell{13, "1234567.89"}, TypicalCell{14, "1234567.89"}));

TEST_F(MainWindowTest, DraggedColumnWidthsOutliveLoadsSortsAndFilters) {
  addNumbered(12);
  setSetting(kSettingPageSize, "5");
  auto& window = open();
  auto* header = window.grid()->horizontalHeader();
  header->resizeSection(17, 300);  // what a drag of the section edge does
  header->resizeSection(1, 41);
  const auto expectDragged = [&](const char* after) {
    EXPECT_EQ(window.grid()->columnWidth(17), 300) << after;
    EXPECT_EQ(window.grid()->columnWidth(1), 41) << after;
  };
  window.loadPage(true);
  waitForPage();
  expectDragged("reload");
  QTest::mouseClick(control<QAbstractButton>("按钮_下一页"), Qt::LeftButton);
  waitForPage();
  expectDragged("next page");
  emit header->sectionClicked(13);
  waitForPage();
  expectDragged("sort");
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  filterControl<QCheckBox>("选择框_域名")->setChecked(true);
  filterControl<QLineEdit>("编辑框_域名")->setText("n1");
  QTest::mouseClick(filterControl<QPushButton>("按钮_确定"), Qt::LeftButton);
  waitForPage();
  ASSERT_EQ(caption(), "翻页,总数[4]个,共[1]页");
  expectDragged("filter");
  // A column hidden and shown again comes back at the dragged width too.
  QTest::mouseClick(control<QAbstractButton>("按钮_隐藏列"), Qt::LeftButton);
  auto* columns = window.columnWindow();
  columns->findChild<QCheckBox*>("选择框_备注")->setChecked(false);
  QTest::mouseClick(columns->findChild<QPushButton*>("按钮_确认"), Qt::LeftButton);
  QTest::mouseClick(control<QAbstractButton>("按钮_隐藏列"), Qt::LeftButton);
  columns->findChild<QCheckBox*>("选择框_备注")->setChecked(true);
  QTest::mouseClick(columns->findChild<QPushButton*>("按钮_确认"), Qt::LeftButton);
  expectDragged("hidden and shown");
}

TEST_F(MainWindowTest, AmountsAreRightAlignedAndTextsAreNot) {
  add({makeDomain("abc.com", {{DomainField::OneTimeCost, "12"},
                              {DomainField::FinalPrice, "50"},
                              {DomainField::RegisteredOn, "2016-05-06"},
                              {DomainField::Note, "x"}})});
  open();
  for (int column = 1; column < kDomainFieldCount; ++column) {
    const QVariant alignment = model().data(model().index(0, column), Qt::TextAlignmentRole);
    const bool right = alignment.isValid() && (alignment.value<Qt::Alignment>() & Qt::AlignRight);
    const bool amount = column >= 9 && column <= 15;
    EXPECT_EQ(right, amount) << column;
  }
}

TEST_F(MainWindowTest, HeaderMarksTheSortColumnAndItsDirection) {
  addNumbered(3);
  auto& window = open();
  auto* header = window.grid()->horizontalHeader();
  const auto clickSection = [&](int column) {
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
  };
  EXPECT_EQ(header->sortIndicatorSection(), -1);  // insertion order at start
  clickSection(13);
  EXPECT_EQ(window.sortKey(), "标价");
  EXPECT_TRUE(header->isSortIndicatorShown());
  EXPECT_EQ(header->sortIndicatorSection(), 13);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  clickSection(13);  // the sort turns round, and so does its mark
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
  clickSection(0);  // the tick column does not sort: the mark stays
  EXPECT_EQ(header->sortIndicatorSection(), 13);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
  clickSection(7);
  EXPECT_EQ(header->sortIndicatorSection(), 7);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

TEST_F(MainWindowTest, EditingACellWritesTheRowBack) {
  add({makeDomain("abc.com",
                  {{DomainField::OneTimeCost, "25"}, {DomainField::RenewalCost, "400"}})});
  auto& window = open();
  ASSERT_TRUE(model().setData(model().index(0, 14), "500", Qt::EditRole));
  EXPECT_EQ(model().cellText(0, 15), "75");
  EXPECT_EQ(model().data(model().index(0, 16), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(window.statusText(1), " 提示: 修改 [abc.com]  成功!");
  EXPECT_EQ(model().data(model().index(0, 3), Qt::ForegroundRole).value<QColor>(),
            QColor(0, 128, 255));
  EXPECT_EQ(db().scalar("SELECT 出售 FROM 域名"), SqlValue(std::int64_t{1}));

  ASSERT_TRUE(model().setData(model().index(0, 9), "abc", Qt::EditRole));
  EXPECT_EQ(window.statusText(1), " 提示: 修改 [abc.com]  失败! 请检查字段是否填写正确!");
  EXPECT_EQ(model().data(model().index(0, 3), Qt::ForegroundRole).value<QColor>(),
            QColor(255, 0, 128));
  EXPECT_EQ(db().scalar("SELECT 一次成本 FROM 域名"), SqlValue(25.0));

  // The same text again emits nothing.
  window.loadPage(false);
  waitForPage();
  ASSERT_TRUE(model().setData(model().index(0, 17), "", Qt::EditRole));
  EXPECT_EQ(window.statusText(1), " 提示:数据加载完毕!");
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

const QColor kStoredText(0, 128, 255);
const QColor kRefusedText(255, 0, 128);

// Not valid UTF-8, as a note written by another program may be.
const std::string kRawNote = std::string("note \x80\xfe") + " end";

class CellEditingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    add({makeDomain("abc.com", {{DomainField::OneTimeCost, "12.345"},
                                {DomainField::RenewalCost, "400"},
                                {DomainField::RegisteredOn, "2016-05-06"}})});
    ASSERT_TRUE(db().run("UPDATE 域名 SET 备注=?", {kRawNote}));
    open();
  }
  // Types into the cell the way a user does: a key on the selected cell opens
  // its editor, Return stores it. No keys: F2, then the selected text erased.
  void typeIntoCell(int column, const QString& keys) {
    auto* grid = window_->grid();
    const QModelIndex index = model().index(0, column);
    grid->setCurrentIndex(index);
    if (keys.isEmpty()) {
      QTest::keyClick(grid, Qt::Key_F2);
    } else {
      QTest::keyClick(grid, keys.front().toLatin1());
    }
    QWidget* editor = grid->indexWidget(index);
    ASSERT_NE(editor, nullptr);
    if (keys.isEmpty()) {
      QTest::keyClick(editor, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(editor, keys.mid(1));
    }
    QTest::keyClick(editor, Qt::Key_Return);  // the view stores and closes queued
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->indexWidget(index) == nullptr; }, 5000));
  }
  SqlValue stored(const char* column) {
    return db().scalar(std::string("SELECT ") + column + " FROM 域名").value_or(SqlValue("?"));
  }
  QColor rowColour() {
    return model().data(model().index(0, 3), Qt::ForegroundRole).value<QColor>();
  }
};

TEST_F(CellEditingTest, AnEditStoresItsColumnAndLeavesTheOthersAsStored) {
  typeIntoCell(13, "9");
  EXPECT_EQ(window_->statusText(1), " 提示: 修改 [abc.com]  成功!");
  EXPECT_EQ(rowColour(), kStoredText);
  EXPECT_EQ(stored("标价"), SqlValue(9.0));
  EXPECT_EQ(stored("备注"), SqlValue(kRawNote));    // not U+FFFD
  EXPECT_EQ(stored("一次成本"), SqlValue(12.345));  // not the shown 12.35
  EXPECT_EQ(stored("注册时间"), SqlValue("2016-05-06"));

  typeIntoCell(10, "100");  // an amount: the derived columns follow
  EXPECT_EQ(stored("实际成本"), SqlValue(112.345));
  EXPECT_EQ(model().cellText(0, 11), "112.35");
  EXPECT_EQ(stored("备注"), SqlValue(kRawNote));
}

struct TypedDate {
  QString keys;
  SqlValue stored;  // what the database holds afterwards
  QString shown;
  bool accepted;
  friend void PrintTo(const TypedDate& c, std::ostream* out) {
    *out << '"' << c.keys.toStdString() << '"';
  }
};

class TypedDateCells : public CellEditingTest, public ::testing::WithParamInterface<TypedDate> {};

TEST_P(TypedDateCells, AreStoredAsTypedOrRefused) {
  const TypedDate& c = GetParam();
  typeIntoCell(8, c.keys);
  EXPECT_EQ(stored("到期时间"), c.stored);
  EXPECT_EQ(model().cellText(0, 8), c.shown);
  EXPECT_EQ(rowColour(), c.accepted ? kStoredText : kRefusedText);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TypedDateCells,
    ::testing::Values(TypedDate{"2030-01-02", SqlValue("2030-01-02"), "2030-01-02", true},
                      TypedDate{"2017-1-3", SqlValue("2017-01-03"), "2017-01-03", true},
                      TypedDate{"2017/01/03", SqlValue("2017-01-03"), "2017-01-03", true},
                      TypedDate{"2017.1.3", SqlValue("2017-01-03"), "2017-01-03", true},
                      TypedDate{"2017-02-30", SqlValue(), "", false},
                      TypedDate{"tomorrow", SqlValue(), "", false}));

TEST_F(CellEditingTest, AnEditRefusedByAnotherWritersLockNamesTheLock) {
  RawConnection other(dbPath());
  ASSERT_TRUE(other.exec("BEGIN IMMEDIATE"));
  typeIntoCell(10, "9");
  EXPECT_EQ(rowColour(), kRefusedText);
  EXPECT_EQ(window_->statusText(1), " 提示: 修改 [abc.com]  失败! database is locked");
  EXPECT_EQ(model().cellText(0, 10), "400");
  other.exec("ROLLBACK");
}

TEST_F(CellEditingTest, TheDateEditorHasRoomForAWholeDateAndItsButton) {
  auto* grid = window_->grid();
  const QModelIndex index = model().index(0, 7);
  grid->setCurrentIndex(index);
  QTest::keyClick(grid, Qt::Key_F2);
  QWidget* editor = grid->indexWidget(index);
  ASSERT_NE(editor, nullptr);
  EXPECT_GE(editor->width(),
            editor->fontMetrics().horizontalAdvance("2016-05-06") + editor->height());
  QTest::keyClick(editor, Qt::Key_Escape);
}

TEST_F(CellEditingTest, ADateCellCanBeEmptied) {
  typeIntoCell(7, "");
  EXPECT_EQ(stored("注册时间"), SqlValue());
  EXPECT_EQ(rowColour(), kStoredText);
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

// Rows selected as in a spreadsheet copy as TAB-separated lines under a title
// line of the visible columns, in the order they are shown.
TEST_F(MainWindowTest, CtrlCCopiesTheSelectedRowsUnderATitleLine) {
  addNumbered(3);
  auto& window = open();
  ui::ListingGrid* grid = window.grid();
  std::array<bool, kDomainFieldCount> visible{};
  visible.fill(true);
  visible[static_cast<std::size_t>(DomainField::Note)] = false;
  grid->applyColumnVisibility(visible);
  grid->horizontalHeader()->moveSection(grid->horizontalHeader()->visualIndex(13), 1);
  grid->selectRow(0);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                    grid->visualRect(model().index(2, 1)).center());
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  const QStringList lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
  EXPECT_TRUE(lines[0].startsWith("对外标价\t域名\t后缀\t长度\t注册商")) << lines[0].toStdString();
  EXPECT_FALSE(lines[0].contains("备注"));
  EXPECT_TRUE(lines[1].startsWith("3\tn3.com\tcom\t2\t")) << lines[1].toStdString();
  EXPECT_TRUE(lines[2].startsWith("1\tn1.com\t")) << lines[2].toStdString();
}

// A cell whose text is cut off shows it whole in a tooltip; one that fits
// shows none. The date cells tell the row's last lookup.
TEST_F(MainWindowTest, ACutOffCellShowsItsTextInATooltip) {
  addNumbered(2);
  ASSERT_TRUE(
      storeDomainDates(db(), "n2.com", std::nullopt, *parseDate("2027-01-02"),
                       {"2026-12-11 08:00:00", "whois.verisign-grs.com", "auto renew period"})
          .ok);
  auto& window = open();
  ui::ListingGrid* grid = window.grid();
  const auto tooltipAt = [&](int row, int column) {
    QToolTip::hideText();
    const QPoint at = grid->visualRect(model().index(row, column)).center();
    QHelpEvent event(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(tooltipAt(0, 1), "");
  EXPECT_EQ(tooltipAt(0, 8),
            "最后查询: 2026-12-11 08:00:00 (UTC)\n查询来源: whois.verisign-grs.com\n"
            "域名状态: auto renew period");
  EXPECT_EQ(tooltipAt(1, 7), "最后查询: 从未");
  grid->setColumnWidth(1, 12);
  EXPECT_EQ(tooltipAt(0, 1), "n2.com");
  QToolTip::hideText();
}

// Size, column order and widths and the sort come back at the next start.
TEST_F(MainWindowTest, PlacesColumnsAndSortComeBackAtTheNextStart) {
  addNumbered(3);
  const QString places = QString::fromStdString(folder_.file("window.ini").string());
  {
    auto& window = open({}, places);
    window.resize(1400, 800);
    QHeaderView* header = window.grid()->horizontalHeader();
    header->moveSection(header->visualIndex(13), 2);
    window.grid()->setColumnWidth(17, 333);
    emit header->sectionClicked(13);
    emit header->sectionClicked(13);
    waitForPage();
    ASSERT_TRUE(window.sortAscending());
    window_.reset();
  }
  auto& again = open({}, places);
  EXPECT_EQ(again.size(), QSize(1400, 800));
  EXPECT_EQ(again.sortKey(), "标价");
  EXPECT_TRUE(again.sortAscending());
  EXPECT_EQ(again.grid()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
  EXPECT_EQ(model().cellText(0, 13), "1");
  EXPECT_EQ(again.grid()->horizontalHeader()->visualIndex(13), 2);
  EXPECT_EQ(again.grid()->columnWidth(17), 333);
  // A layout that cannot be read is left alone.
  again.grid()->restoreLayout(QStringLiteral("w:1,2;o:9"));
  EXPECT_EQ(again.grid()->columnWidth(17), 333);
}

}  // namespace
}  // namespace pelmora::testing
