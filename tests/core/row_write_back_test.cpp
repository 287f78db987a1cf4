#include "editing/row_write_back.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "store/listing.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

// Not valid UTF-8: a lone continuation byte and a truncated sequence.
const std::string kRawNote = std::string("Tom's \x80\xfe") + "\xe4\xb8" + " end";

class CellWriteBackTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    add({makeDomain("abc.com", {{DomainField::Registrar, "西数"},
                                {DomainField::OneTimeCost, "12.345"},
                                {DomainField::RenewalCost, "400"},
                                {DomainField::ExpiresOn, "2030-01-02"}})});
    ASSERT_TRUE(db().run("UPDATE 域名 SET 备注=? WHERE 域名='abc.com'", {kRawNote}));
  }
  DomainRecord storedRecord() {
    DomainRecord record;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名='abc.com'", {},
               [&](const SqlRow& row) { record = readDomainRecord(row); });
    return record;
  }
  std::vector<SqlValue> storedValues() {
    std::vector<SqlValue> values;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名='abc.com'", {},
               [&](const SqlRow& row) {
                 for (int i = 0; i < kDomainFieldCount; ++i) values.push_back(row.value(i));
               });
    return values;
  }
  SqlValue stored(DomainField field) { return storedValues().at(static_cast<std::size_t>(field)); }
  CellWriteBack edit(DomainField field, std::string_view text) {
    return writeCellBack(db(), storedRecord(), field, text);
  }
  // Every column but `changed` holds what it held before.
  void expectOthersUnchanged(const std::vector<SqlValue>& before,
                             std::initializer_list<DomainField> changed) {
    const std::vector<SqlValue> after = storedValues();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
      if (std::find(changed.begin(), changed.end(), static_cast<DomainField>(i)) != changed.end())
        continue;
      EXPECT_EQ(after[i], before[i]) << kDomainColumns[i];
    }
  }
};

TEST_F(CellWriteBackTest, AnEditLeavesEveryOtherColumnAsStoredByteForByte) {
  const auto before = storedValues();
  const CellWriteBack result = edit(DomainField::AskingPrice, "99");
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(result.written, std::vector<DomainField>{DomainField::AskingPrice});
  EXPECT_EQ(stored(DomainField::AskingPrice), SqlValue(99.0));
  expectOthersUnchanged(before, {DomainField::AskingPrice});
  EXPECT_EQ(stored(DomainField::Note), SqlValue(kRawNote));
  EXPECT_EQ(stored(DomainField::OneTimeCost), SqlValue(12.345));  // not the shown 12.35
  EXPECT_EQ(result.record[DomainField::AskingPrice], "99");
  EXPECT_EQ(result.record[DomainField::Note], kRawNote);
}

TEST_F(CellWriteBackTest, AnAmountWritesTheDerivedColumnsFromTheStoredOnes) {
  const auto before = storedValues();
  CellWriteBack result = edit(DomainField::FinalPrice, "500");
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(result.written,
            (std::vector<DomainField>{DomainField::FinalPrice, DomainField::ActualCost,
                                      DomainField::Profit, DomainField::Sold}));
  EXPECT_EQ(stored(DomainField::ActualCost), SqlValue(412.345));
  EXPECT_EQ(stored(DomainField::Profit), SqlValue(500 - 412.345));
  EXPECT_EQ(stored(DomainField::Sold), SqlValue(std::int64_t{1}));
  EXPECT_EQ(result.record[DomainField::Sold], kSoldText);
  expectOthersUnchanged(before, {DomainField::FinalPrice, DomainField::ActualCost,
                                 DomainField::Profit, DomainField::Sold});

  ASSERT_TRUE(edit(DomainField::SoldOn, "2020/5/6").stored);
  EXPECT_EQ(stored(DomainField::SoldOn), SqlValue("2020-05-06"));

  // Unsold again: the sale date goes with it.
  result = edit(DomainField::FinalPrice, "0");
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(result.written.back(), DomainField::SoldOn);
  EXPECT_EQ(stored(DomainField::SoldOn), SqlValue());
  EXPECT_EQ(stored(DomainField::Sold), SqlValue(std::int64_t{0}));
  EXPECT_EQ(stored(DomainField::Profit), SqlValue(0.0));
  EXPECT_EQ(stored(DomainField::Note), SqlValue(kRawNote));
}

TEST_F(CellWriteBackTest, UnsoldHasNoSaleDateAndBlankGroupsAreNotGrouped) {
  // A sale date typed for an unsold domain is refused, not silently dropped.
  EXPECT_FALSE(edit(DomainField::SoldOn, "2020-05-06").stored);
  EXPECT_EQ(stored(DomainField::SoldOn), SqlValue());
  EXPECT_TRUE(edit(DomainField::SoldOn, "").stored);
  EXPECT_TRUE(edit(DomainField::Registrar, "  ").stored);
  EXPECT_EQ(stored(DomainField::Registrar), SqlValue("-"));
  EXPECT_TRUE(edit(DomainField::ExpiresOn, "").stored);
  EXPECT_EQ(stored(DomainField::ExpiresOn), SqlValue());
  EXPECT_TRUE(edit(DomainField::Note, "it's fine").stored);
  EXPECT_EQ(stored(DomainField::Note), SqlValue("it's fine"));
}

// A row left unsold with a sale date (written by an older version, or by
// hand) loses the date at its next edit, whichever cell that is.
class EditsOfAnUnsoldRowWithASaleDate : public CellWriteBackTest,
                                        public ::testing::WithParamInterface<DomainField> {
 protected:
  void SetUp() override {
    CellWriteBackTest::SetUp();
    ASSERT_TRUE(db().run("UPDATE 域名 SET 出售时间='2020-05-06' WHERE 域名='abc.com'"));
  }
};

TEST_P(EditsOfAnUnsoldRowWithASaleDate, ClearTheSaleDate) {
  const DomainField field = GetParam();
  const auto before = storedValues();
  const std::string text = isMoneyField(field) ? "0" : isDateField(field) ? "2018-02-03" : "new";
  const CellWriteBack result = edit(field, text);
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(stored(DomainField::SoldOn), SqlValue());
  EXPECT_EQ(result.record[DomainField::SoldOn], "");
  EXPECT_EQ(result.written.back(), DomainField::SoldOn);
  EXPECT_EQ(result.written.front(), field);
  if (!isMoneyField(field)) {
    expectOthersUnchanged(before, {field, DomainField::SoldOn});
  }
}

INSTANTIATE_TEST_SUITE_P(Cells, EditsOfAnUnsoldRowWithASaleDate,
                         ::testing::Values(DomainField::Note, DomainField::Registrar,
                                           DomainField::ExpiresOn, DomainField::PurchasedOn,
                                           DomainField::AskingPrice, DomainField::FinalPrice),
                         [](const ::testing::TestParamInfo<DomainField>& info) {
                           return "Column" + std::to_string(static_cast<int>(info.param));
                         });

TEST_F(CellWriteBackTest, EditsOfASoldRowKeepItsSaleDate) {
  ASSERT_TRUE(edit(DomainField::FinalPrice, "500").stored);
  ASSERT_TRUE(edit(DomainField::SoldOn, "2020-05-06").stored);
  const CellWriteBack result = edit(DomainField::Note, "new");
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(result.written, std::vector<DomainField>{DomainField::Note});
  EXPECT_EQ(stored(DomainField::SoldOn), SqlValue("2020-05-06"));
}

class TypedDates : public CellWriteBackTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TypedDates, AreStoredAsTheDateTyped) {
  const CellWriteBack result = edit(DomainField::RegisteredOn, GetParam());
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(stored(DomainField::RegisteredOn), SqlValue("2017-01-03"));
  EXPECT_EQ(result.record[DomainField::RegisteredOn], "2017-01-03");
}

INSTANTIATE_TEST_SUITE_P(Forms, TypedDates,
                         ::testing::Values("2017-1-3", "2017/01/03", "2017.1.3", " 2017-01-03 ",
                                           "2017-01-03 12:30:00"));

struct BadCell {
  DomainField field;
  std::string text;
  friend void PrintTo(const BadCell& cell, std::ostream* out) {
    *out << columnName(cell.field) << " \"" << cell.text << '"';
  }
};

class CellWriteBackFailures : public CellWriteBackTest,
                              public ::testing::WithParamInterface<BadCell> {};

TEST_P(CellWriteBackFailures, StoreNothing) {
  const auto before = storedValues();
  const DomainRecord row = storedRecord();
  const CellWriteBack result = writeCellBack(db(), row, GetParam().field, GetParam().text);
  EXPECT_FALSE(result.stored);
  EXPECT_TRUE(result.written.empty());
  EXPECT_EQ(result.record.fields, row.fields);
  expectOthersUnchanged(before, {});
}

INSTANTIATE_TEST_SUITE_P(Cells, CellWriteBackFailures,
                         ::testing::Values(BadCell{DomainField::OneTimeCost, ""},
                                           BadCell{DomainField::RenewalCost, "12abc"},
                                           BadCell{DomainField::ReservePrice, "x"},
                                           BadCell{DomainField::ExpiresOn, "2017-02-30"},
                                           BadCell{DomainField::PurchasedOn, "tomorrow"},
                                           BadCell{DomainField::Name, "other.com"},
                                           BadCell{DomainField::Profit, "5"},
                                           BadCell{DomainField::Sold, "1"},
                                           BadCell{DomainField::Id, "7"}));

TEST_F(CellWriteBackTest, ADomainThatIsGoneFails) {
  const DomainRecord row = storedRecord();
  ASSERT_TRUE(db().run("DELETE FROM 域名"));
  const CellWriteBack result = writeCellBack(db(), row, DomainField::Note, "x");
  EXPECT_FALSE(result.stored);
  EXPECT_EQ(result.record[DomainField::Note], kRawNote);
}

}  // namespace
}  // namespace pelmora::testing
