#include "editing/row_write_back.h"

#include <gtest/gtest.h>

#include "store/listing.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

class RowWriteBackTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    add({makeDomain("abc.com", {{DomainField::Registrar, "西数"},
                                {DomainField::OneTimeCost, "25"},
                                {DomainField::RenewalCost, "400"},
                                {DomainField::ExpiresOn, "2030-01-02"}})});
  }
  RowCells shownCells() {
    DomainRecord record;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名='abc.com'", {},
               [&](const SqlRow& row) { record = readDomainRecord(row); });
    RowCells cells;
    const auto texts = displayTexts(record);
    std::copy(texts.begin(), texts.end(), cells.begin());
    return cells;
  }
  std::string stored(const char* column) {
    std::string text = "NULL";
    db().query(std::string("SELECT ") + column + " FROM 域名 WHERE 域名='abc.com'", {},
               [&](const SqlRow& row) { text = row.isNull(0) ? "NULL" : row.asText(0); });
    return text;
  }
};

TEST_F(RowWriteBackTest, SellingRecomputesProfitAndKeepsTheSaleDate) {
  RowCells cells = shownCells();
  cells[14] = "500";
  cells[19] = "2020-5-6";
  cells[17] = "Tom's";
  const RowWriteBack result = writeRowBack(db(), cells);
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(result.cells[11], "425");
  EXPECT_EQ(result.cells[15], "75");
  EXPECT_EQ(result.cells[16], "1");
  EXPECT_EQ(stored("出售"), "1");
  EXPECT_EQ(stored("出售时间"), "2020-05-06");
  EXPECT_EQ(stored("备注"), "Tom's");
  EXPECT_EQ(stored("利润"), "75");
}

TEST_F(RowWriteBackTest, UnsoldEmptiesTheSaleDateAndBlankGroupsAreNotGrouped) {
  RowCells cells = shownCells();
  cells[19] = "2020-05-06";
  cells[4] = "  ";
  cells[8] = "";
  const RowWriteBack result = writeRowBack(db(), cells);
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(result.cells[19], "");
  EXPECT_EQ(stored("出售时间"), "NULL");
  EXPECT_EQ(stored("注册商"), "-");
  EXPECT_EQ(stored("到期时间"), "NULL");
}

struct BadCell {
  int column;
  std::string text;
};

class RowWriteBackFailures : public RowWriteBackTest,
                             public ::testing::WithParamInterface<BadCell> {};

TEST_P(RowWriteBackFailures, StoreNothing) {
  RowCells cells = shownCells();
  cells[17] = "changed";
  cells[static_cast<std::size_t>(GetParam().column)] = GetParam().text;
  EXPECT_FALSE(writeRowBack(db(), cells).stored);
  EXPECT_EQ(stored("备注"), "");
}

INSTANTIATE_TEST_SUITE_P(Cells, RowWriteBackFailures,
                         ::testing::Values(BadCell{9, ""}, BadCell{10, "12abc"}, BadCell{12, "x"},
                                           BadCell{7, "2017-02-30"}, BadCell{18, "tomorrow"},
                                           BadCell{1, "gone.com"}));

}  // namespace
}  // namespace pelmora::testing
