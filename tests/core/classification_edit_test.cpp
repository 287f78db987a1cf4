#include "store/classification_edit.h"

#include <gtest/gtest.h>

#include <ostream>

#include "editing/classification_editing.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using Status = ClassificationEditStatus;

class ClassificationEditTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    addEntry("注册商", "西数", 1);
    addEntry("注册商", "GoDaddy", 2);
    addEntry("注册商", "爱名", 3);
    add({makeDomain("used.com", {{DomainField::Registrar, "爱名"}})});
  }
  // name:order pairs of the registrar table in stored order.
  std::vector<std::string> registrars() {
    std::vector<std::string> rows;
    db().query("SELECT 注册商, ifnull(排序,'') FROM 注册商 ORDER BY rowid", {},
               [&](const SqlRow& row) { rows.push_back(row.text(0) + ":" + row.asText(1)); });
    return rows;
  }
  void failWritesToRegistrars() {
    for (const char* when : {"INSERT", "UPDATE"}) {
      ASSERT_TRUE(db().run(std::string("CREATE TRIGGER 拒绝_") + when + " BEFORE " + when +
                           " ON 注册商 BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    }
  }
};

struct AddCase {
  std::string name;
  Status status;
};

void PrintTo(const AddCase& c, std::ostream* os) { *os << "\"" << c.name.substr(0, 40) << "\""; }

class AddValueTest : public ClassificationEditTest,
                     public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddValueTest, AddsAtTheEndUnlessTheListHoldsTheName) {
  const AddCase& c = GetParam();
  const std::vector<std::string> before = registrars();
  const ClassificationEditResult result =
      addClassificationValue(db(), CategoryKind::Registrar, c.name);
  EXPECT_EQ(result.status, c.status) << result.error;
  std::vector<std::string> expected = before;
  if (c.status == Status::Done) expected.push_back(c.name + ":");
  EXPECT_EQ(registrars(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, AddValueTest,
    ::testing::Values(
        AddCase{"易名", Status::Done},
        // Stored as typed: bound, never spliced into the statement.
        AddCase{"O'Brien's", Status::Done}, AddCase{"x'); DROP TABLE 注册商; --", Status::Done},
        AddCase{std::string(1000, 'a'), Status::Done}, AddCase{"西数", Status::AlreadyExists},
        // Domains are grouped without case: the same group.
        AddCase{"godaddy", Status::AlreadyExists}, AddCase{"GODADDY", Status::AlreadyExists}));

TEST_F(ClassificationEditTest, AnAddTheDatabaseRefusesIsAFailureWithItsReason) {
  failWritesToRegistrars();
  const std::vector<std::string> before = registrars();
  const ClassificationEditResult result =
      addClassificationValue(db(), CategoryKind::Registrar, "易名");
  EXPECT_EQ(result.status, Status::Failed);
  EXPECT_NE(result.error.find("disk full"), std::string::npos) << result.error;
  EXPECT_EQ(registrars(), before);
}

struct RenameCase {
  std::string from;
  std::string to;
  Status status;
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.from << " -> " << c.to; }

class RenameValueTest : public ClassificationEditTest,
                        public ::testing::WithParamInterface<RenameCase> {};

TEST_P(RenameValueTest, RenamesOnlyAFreeValueToAFreeName) {
  const RenameCase& c = GetParam();
  const std::vector<std::string> before = registrars();
  const ClassificationEditResult result =
      renameClassificationValue(db(), CategoryKind::Registrar, c.from, c.to);
  EXPECT_EQ(result.status, c.status) << result.error;
  std::vector<std::string> expected = before;
  if (c.status == Status::Done) {
    for (std::string& row : expected) {
      if (row.rfind(c.from + ":", 0) == 0) row = c.to + row.substr(c.from.size());
    }
  }
  EXPECT_EQ(registrars(), expected);
}

INSTANTIATE_TEST_SUITE_P(Names, RenameValueTest,
                         ::testing::Values(RenameCase{"西数", "西部数码", Status::Done},
                                           RenameCase{"西数", "Tom's", Status::Done},
                                           // Only the case changes: still the same value.
                                           RenameCase{"GoDaddy", "godaddy", Status::Done},
                                           RenameCase{"西数", "GODADDY", Status::AlreadyExists},
                                           RenameCase{"西数", "爱名", Status::AlreadyExists},
                                           RenameCase{"爱名", "爱名网", Status::InUse},
                                           RenameCase{"不存在", "新名", Status::Failed}));

TEST_F(ClassificationEditTest, AValueADomainUsesInOtherCaseIsInUse) {
  add({makeDomain("other.com", {{DomainField::Registrar, "godaddy"}})});
  EXPECT_EQ(renameClassificationValue(db(), CategoryKind::Registrar, "GoDaddy", "GD").status,
            Status::InUse);
}

TEST_F(ClassificationEditTest, ARenameTheDatabaseRefusesIsAFailureWithItsReason) {
  failWritesToRegistrars();
  const std::vector<std::string> before = registrars();
  const ClassificationEditResult result =
      renameClassificationValue(db(), CategoryKind::Registrar, "西数", "西部数码");
  EXPECT_EQ(result.status, Status::Failed);
  EXPECT_NE(result.error.find("disk full"), std::string::npos) << result.error;
  EXPECT_EQ(registrars(), before);
}

TEST_F(ClassificationEditTest, StoresTheOrderOfEveryListInOneGo) {
  addEntry("域名类型", "双拼", 9);
  const auto stored = storeClassificationOrder(db(), {{CategoryKind::Registrar, "爱名", 1},
                                                      {CategoryKind::Registrar, "西数", 2},
                                                      {CategoryKind::Registrar, "GoDaddy", 3},
                                                      {CategoryKind::DomainType, "双拼", 5}});
  ASSERT_TRUE(stored) << stored.error();
  EXPECT_EQ(registrars(), (std::vector<std::string>{"西数:2", "GoDaddy:3", "爱名:1"}));
  ClassificationLists lists;
  const auto rebuilt = lists.rebuild(db());
  ASSERT_TRUE(rebuilt) << rebuilt.error();
  ASSERT_EQ(lists.list(CategoryKind::Registrar).size(), 3u);
  EXPECT_EQ(lists.list(CategoryKind::Registrar)[0].name, "爱名");
  EXPECT_EQ(lists.list(CategoryKind::DomainType).at(0).name, "双拼");
}

TEST_F(ClassificationEditTest, AnOrderThatCannotBeStoredChangesNothing) {
  const std::vector<std::string> before = registrars();
  failWritesToRegistrars();
  const auto stored = storeClassificationOrder(
      db(), {{CategoryKind::Registrar, "爱名", 1}, {CategoryKind::Registrar, "西数", 2}});
  EXPECT_FALSE(stored);
  EXPECT_NE(stored.error().find("disk full"), std::string::npos) << stored.error();
  EXPECT_EQ(registrars(), before);
}

// A value another program took away meanwhile does not hold up the others
// (nor the settings saved after them).
TEST_F(ClassificationEditTest, AValueNoLongerListedIsPassedOver) {
  const auto stored = storeClassificationOrder(
      db(), {{CategoryKind::Registrar, "已删除", 0}, {CategoryKind::Registrar, "爱名", 1}});
  EXPECT_TRUE(stored) << stored.error();
  EXPECT_EQ(registrars(), (std::vector<std::string>{"西数:1", "GoDaddy:2", "爱名:1"}));
}

struct NameCase {
  std::string typed;
  NameCheck check;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << "\"" << c.typed.substr(0, 40) << "\""; }

class NameRuleTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameRuleTest, ChecksTheTrimmedName) {
  const std::vector<std::string> values{"西数", "GoDaddy"};
  EXPECT_EQ(checkClassificationName(classificationName(GetParam().typed), values),
            GetParam().check);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameRuleTest,
    ::testing::Values(
        NameCase{"", NameCheck::Empty}, NameCase{"   \t ", NameCheck::Empty},
        NameCase{"  易名  ", NameCheck::Ok}, NameCase{"Tom's", NameCheck::Ok},
        NameCase{"西数", NameCheck::Duplicate}, NameCase{" 西数 ", NameCheck::Duplicate},
        // Exact comparison here; the database decides about case.
        NameCase{"godaddy", NameCheck::Ok}, NameCase{"易名(新)", NameCheck::HasParenthesis},
        NameCase{"(", NameCheck::HasParenthesis}, NameCase{std::string(255, 'a'), NameCheck::Ok},
        NameCase{std::string(1000, 'a'), NameCheck::TooLong},
        // Characters, not bytes: 255 Chinese characters are 765 bytes.
        NameCase{[] {
                   std::string name;
                   for (int i = 0; i < 255; ++i) name += "名";
                   return name;
                 }(),
                 NameCheck::Ok}));

TEST(ClassificationNameTest, TrimsOnlyTheEnds) { EXPECT_EQ(classificationName("  a b  "), "a b"); }

struct MoveCase {
  std::size_t from;
  bool up;
  std::optional<std::size_t> to;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.from << (c.up ? " up" : " down"); }

class MoveRuleTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveRuleTest, AValueMovesOnlyWithinItsList) {
  // list, value, value, list, value, list
  const std::vector<bool> isValue{false, true, true, false, true, false};
  EXPECT_EQ(classificationMoveTarget(isValue, GetParam().from, GetParam().up), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, MoveRuleTest,
    ::testing::Values(MoveCase{1, true, std::nullopt}, MoveCase{1, false, 2}, MoveCase{2, true, 1},
                      MoveCase{2, false, std::nullopt}, MoveCase{4, true, std::nullopt},
                      MoveCase{4, false, std::nullopt}, MoveCase{0, false, std::nullopt},
                      MoveCase{3, true, std::nullopt}, MoveCase{9, true, std::nullopt}));

}  // namespace
}  // namespace pelmora::testing
