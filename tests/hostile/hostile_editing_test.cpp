// Every hostile text through the editing entry points, in every field they
// take: stored exactly as typed, or refused with a reason; nothing else moves.

#include <gtest/gtest.h>

#include <array>

#include "editing/advanced_modify.h"
#include "editing/batch_add.h"
#include "editing/batch_modify.h"
#include "editing/row_write_back.h"
#include "editing/single_add.h"
#include "hostile_fixture.h"
#include "store/listing.h"
#include "support/text_helpers.h"

namespace pelmora::testing {
namespace {

class HostileEditingTest : public HostileTest, public ::testing::WithParamInterface<HostileText> {
 protected:
  void removeRow(std::int64_t id) {
    ASSERT_TRUE(db().run("DELETE FROM 域名 WHERE id=?", {id}));
    rebase();
  }
};

// The batch-add line order of the columns.
constexpr std::array<DomainField, kBatchAddFieldCount> kBatchAddColumns{
    DomainField::Name,        DomainField::Registrar,    DomainField::DomainType,
    DomainField::Category,    DomainField::RegisteredOn, DomainField::ExpiresOn,
    DomainField::OneTimeCost, DomainField::RenewalCost,  DomainField::ReservePrice,
    DomainField::AskingPrice, DomainField::FinalPrice,   DomainField::Note,
    DomainField::PurchasedOn, DomainField::SoldOn};

TEST_P(HostileEditingTest, BatchAddInEveryFieldAndAsABareLine) {
  const std::string& text = GetParam().text;
  for (std::size_t position = 0; position <= kBatchAddFieldCount; ++position) {
    SCOPED_TRACE("field " + std::to_string(position));
    const bool bare = position == kBatchAddFieldCount;
    std::string line = text;
    if (!bare) {
      std::vector<std::string> fields(kBatchAddFieldCount);
      fields[0] = "new" + std::to_string(position) + ".com";
      fields[position] = text;
      line = fields[0];
      for (std::size_t k = 1; k < fields.size(); ++k) line += "|" + fields[k];
    }
    const BatchAddResult result = runBatchAdd(db(), {line}, lists_);
    ASSERT_TRUE(result.error.empty()) << result.error;
    if (result.added == 1) {
      const auto id = addedRow();
      ASSERT_TRUE(id.has_value());
      const DomainField field = bare ? DomainField::Name : kBatchAddColumns[position];
      // An empty classification field means no classification.
      const bool ungrouped = isClassificationField(field) && text.empty();
      expectStoredAs(kindOf(field), storedValue(*id, field), ungrouped ? "-" : text);
      expectOnly({{}, true, {}});
      removeRow(*id);
    } else {
      ASSERT_EQ(result.failedLines.size(), 1u);
      EXPECT_FALSE(result.failedLines[0].tag.empty());
      expectOnly({});
    }
  }
}

struct ModifyChoice {
  DomainField field;
  std::optional<std::string> BatchModifyChoices::*member;
};

constexpr std::array<ModifyChoice, 9> kBatchModifyChoices{{
    {DomainField::Registrar, &BatchModifyChoices::registrar},
    {DomainField::DomainType, &BatchModifyChoices::domainType},
    {DomainField::Category, &BatchModifyChoices::category},
    {DomainField::OneTimeCost, &BatchModifyChoices::oneTimeCost},
    {DomainField::RenewalCost, &BatchModifyChoices::renewalCost},
    {DomainField::ReservePrice, &BatchModifyChoices::reservePrice},
    {DomainField::AskingPrice, &BatchModifyChoices::askingPrice},
    {DomainField::FinalPrice, &BatchModifyChoices::finalPrice},
    {DomainField::Note, &BatchModifyChoices::note},
}};

TEST_P(HostileEditingTest, BatchModifyEveryFieldAndTheDomainList) {
  const std::string& text = GetParam().text;
  for (const ModifyChoice& choice : kBatchModifyChoices) {
    SCOPED_TRACE(std::string(columnName(choice.field)));
    BatchModifyChoices choices;
    choices.*choice.member = text;
    std::vector<BatchModifyItem> items;
    const BatchModifyResult result =
        runBatchModify(db(), {kTargetDomain}, choices,
                       [&](const BatchModifyItem& item) { items.push_back(item); });
    ASSERT_TRUE(result.error.empty()) << result.error;
    ASSERT_EQ(items.size(), 1u);
    if (items[0].ok) {
      // An empty note is stored as one blank, as the window always has.
      const std::string expected = choice.field == DomainField::Note && text.empty() ? " " : text;
      expectStoredAs(kindOf(choice.field), storedValue(targetId_, choice.field), expected);
      expectOnly({{targetId_}, false, {}});
    } else {
      EXPECT_FALSE(items[0].why.empty());
      expectOnly({});
    }
    rebase();
  }

  SCOPED_TRACE("the domain list");
  BatchModifyChoices choices;
  choices.note = "changed";
  std::vector<BatchModifyItem> items;
  const BatchModifyResult result = runBatchModify(
      db(), {text}, choices, [&](const BatchModifyItem& item) { items.push_back(item); });
  ASSERT_TRUE(result.error.empty()) << result.error;
  ASSERT_EQ(items.size(), 1u);
  EXPECT_FALSE(items[0].ok);
  EXPECT_FALSE(items[0].why.empty());
  expectOnly({});
}

constexpr std::array<std::pair<const char*, DomainField>, 8> kAdvancedKeys{{
    {"注册商", DomainField::Registrar},
    {"域名类型", DomainField::DomainType},
    {"自定义分类", DomainField::Category},
    {"注册时间", DomainField::RegisteredOn},
    {"到期时间", DomainField::ExpiresOn},
    {"备注", DomainField::Note},
    {"购买时间", DomainField::PurchasedOn},
    {"出售时间", DomainField::SoldOn},
}};

TEST_P(HostileEditingTest, AdvancedModifyEveryKeyAndTheDomain) {
  const std::string& text = GetParam().text;
  for (const auto& [key, field] : kAdvancedKeys) {
    SCOPED_TRACE(key);
    const std::string line = std::string(kTargetDomain) + "," + key + "=" + text;
    const AdvancedModifyResult result = runAdvancedModify(db(), {line}, lists_);
    ASSERT_TRUE(result.error.empty()) << result.error;
    if (result.succeeded == 1) {
      expectStoredAs(kindOf(field), storedValue(targetId_, field), text);
      expectOnly({{targetId_}, false, {}});
    } else {
      ASSERT_EQ(result.failures.size(), 1u);
      EXPECT_FALSE(result.failures[0].reason.empty());
      expectOnly({});
    }
    rebase();
  }

  SCOPED_TRACE("the domain");
  const AdvancedModifyResult result = runAdvancedModify(db(), {text + ",备注=changed"}, lists_);
  ASSERT_TRUE(result.error.empty()) << result.error;
  EXPECT_EQ(result.succeeded, 0u);
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_FALSE(result.failures[0].reason.empty());
  expectOnly({});
}

TEST_P(HostileEditingTest, GridWriteBackInEveryEditableColumn) {
  const std::string& text = GetParam().text;
  for (int column = 1; column < kDomainFieldCount; ++column) {
    if (isReadOnlyColumn(column)) continue;
    const auto field = static_cast<DomainField>(column);
    SCOPED_TRACE(std::string(columnName(field)));
    const CellWriteBack result = writeCellBack(db(), targetRecord(), field, text);
    if (result.stored) {
      // A blank cell clears the note and ungroups a classification.
      std::string expected = text;
      if (trimSpaces(text).empty()) expected = isClassificationField(field) ? "-" : "";
      const SqlValue stored = storedValue(targetId_, field);
      expectStoredAs(kindOf(field), stored, expected);
      if (const auto* storedText = std::get_if<std::string>(&stored)) {
        EXPECT_EQ(result.record[field], *storedText) << "the grid shows another value";
      }
      expectOnly({{targetId_}, false, {}});
    } else {
      // The grid's failure result carries no text: the window words it.
      EXPECT_EQ(result.record.fields, targetRecord().fields);
      expectOnly({});
    }
    rebase();
  }
}

// The single-add window's fields that hold typed text.
enum class SingleAddBox { Domain, Suffix, Registrar, OneTimeCost, FinalPrice, Profit, Note };

TEST_P(HostileEditingTest, SingleAddEveryTextBox) {
  const std::string& text = GetParam().text;
  const std::array<std::pair<SingleAddBox, DomainField>, 7> boxes{{
      {SingleAddBox::Domain, DomainField::Name},
      {SingleAddBox::Suffix, DomainField::Suffix},
      {SingleAddBox::Registrar, DomainField::Registrar},
      {SingleAddBox::OneTimeCost, DomainField::OneTimeCost},
      {SingleAddBox::FinalPrice, DomainField::FinalPrice},
      {SingleAddBox::Profit, DomainField::Profit},
      {SingleAddBox::Note, DomainField::Note},
  }};
  int serial = 0;
  for (const auto& [box, field] : boxes) {
    SCOPED_TRACE(std::string(columnName(field)));
    const Date day{std::chrono::year{2024}, std::chrono::March, std::chrono::day{1}};
    SingleAddFields fields{"single" + std::to_string(++serial) + ".com",
                           "com",
                           "7",
                           std::string(kItemNone),
                           std::string(kItemNone),
                           std::string(kItemNone),
                           day,
                           day,
                           "",
                           "",
                           "0",
                           "",
                           "",
                           "",
                           "0",
                           "note",
                           day,
                           std::nullopt};
    std::string expected = text;
    switch (box) {
      case SingleAddBox::Domain:
        fields.domain = text;
        expected = normaliseAddedDomain(text);  // the window trims and lowers it
        break;
      case SingleAddBox::Suffix:
        fields.suffix = text;
        break;
      case SingleAddBox::Registrar:
        fields.registrar = text;
        expected = nameOfItem(text);  // the drop-down's "name(count)"
        break;
      case SingleAddBox::OneTimeCost:
        fields.oneTimeCost = text;
        break;
      case SingleAddBox::FinalPrice:
        fields.finalPrice = text;
        break;
      case SingleAddBox::Profit:
        fields.profit = text;
        break;
      case SingleAddBox::Note:
        fields.note = text;
        if (text.empty()) expected = " ";
        break;
    }
    const SingleAddOutcome outcome = insertSingleDomain(db(), fields);
    if (outcome.ok) {
      const auto id = addedRow();
      ASSERT_TRUE(id.has_value());
      expectStoredAs(kindOf(field), storedValue(*id, field), expected);
      expectOnly({{}, true, {}});
      removeRow(*id);
    } else {
      EXPECT_FALSE(outcome.error.empty());
      EXPECT_FALSE(outcome.status.empty());
      expectOnly({});
      rebase();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileEditingTest, ::testing::ValuesIn(hostileCorpus()),
                         [](const auto& info) { return caseName(info.param); });

}  // namespace
}  // namespace pelmora::testing
