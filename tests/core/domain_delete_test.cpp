#include "store/domain_delete.h"

#include <gtest/gtest.h>

#include "test_db.h"

namespace pelmora::testing {
namespace {

class DomainDeleteTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    add({makeDomain("a.com"), makeDomain("b.com"), makeDomain("oneil.com"), makeDomain("d.com")});
    // Older files may hold names the program no longer stores; they can go.
    ASSERT_TRUE(db().run("UPDATE 域名 SET 域名='o''neil.com' WHERE 域名='oneil.com'"));
  }
  std::vector<std::string> names() {
    std::vector<std::string> found;
    db().query("SELECT 域名 FROM 域名 ORDER BY id", {},
               [&](const SqlRow& row) { found.push_back(row.text(0)); });
    return found;
  }
};

TEST_F(DomainDeleteTest, DeletesInTheOrderGivenAndTellsWhichWent) {
  // The order the statements ran in, as a trigger sees them.
  ASSERT_TRUE(db().run("CREATE TABLE 删除顺序 (域名 TEXT)"));
  ASSERT_TRUE(
      db().run("CREATE TRIGGER 记下 AFTER DELETE ON 域名 BEGIN"
               " INSERT INTO 删除顺序 VALUES(OLD.域名); END"));
  const DeleteResult result = deleteDomains(db(), {"d.com", "missing.com", "O'NEIL.com", "a.com"});
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.deleted, 3u);
  EXPECT_EQ(result.removed, (std::vector<bool>{true, false, true, true}));
  EXPECT_EQ(names(), std::vector<std::string>{"b.com"});
  std::vector<std::string> order;
  db().query("SELECT 域名 FROM 删除顺序 ORDER BY rowid", {},
             [&](const SqlRow& row) { order.push_back(row.text(0)); });
  EXPECT_EQ(order, (std::vector<std::string>{"d.com", "o'neil.com", "a.com"}));
}

TEST_F(DomainDeleteTest, AFailingDeleteLeavesEveryDomainInPlace) {
  ASSERT_TRUE(
      db().run("CREATE TRIGGER 保留 BEFORE DELETE ON 域名 WHEN OLD.域名='b.com'"
               " BEGIN SELECT RAISE(ABORT, 'kept'); END"));
  const auto before = names();
  const DeleteResult result = deleteDomains(db(), {"d.com", "b.com", "a.com"});
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("kept"), std::string::npos);
  EXPECT_EQ(result.deleted, 0u);
  EXPECT_EQ(result.removed, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(names(), before);
}

TEST_F(DomainDeleteTest, NoNamesDeletesNothing) {
  const DeleteResult result = deleteDomains(db(), {});
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.deleted, 0u);
  EXPECT_EQ(names().size(), 4u);
}

struct ValueDelete {
  std::string label;
  CategoryKind kind;
  std::string value;
  ClassificationDelete expected;
};

void PrintTo(const ValueDelete& c, std::ostream* out) { *out << c.label; }

class ClassificationValueDelete : public DatabaseTest,
                                  public ::testing::WithParamInterface<ValueDelete> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    addEntry("注册商", "GoDaddy", 1);
    addEntry("注册商", "O'Brien", 2);
    addEntry("域名类型", "双拼", 1);
    addEntry("自定义分类", "精品", 1);
    addEntry("自定义分类", "闲置", 2);
    add({makeDomain("a.com", {{DomainField::Registrar, "godaddy"},
                              {DomainField::DomainType, "双拼"},
                              {DomainField::Category, "精品"}})});
  }
  std::int64_t entries(CategoryKind kind, const std::string& value) {
    const std::string table(categoryTable(kind));
    std::string error;
    return db()
        .count("SELECT count(*) FROM " + table + " WHERE " + table + "=?", {value}, &error)
        .value_or(-1);
  }
};

TEST_P(ClassificationValueDelete, IsRefusedWhileADomainUsesIt) {
  const ValueDelete& c = GetParam();
  const std::int64_t before = entries(c.kind, c.value);
  std::string error;
  EXPECT_EQ(deleteClassificationValue(db(), c.kind, c.value, &error), c.expected) << error;
  const std::int64_t after = entries(c.kind, c.value);
  if (c.expected == ClassificationDelete::Deleted) {
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 0);
  } else {
    EXPECT_EQ(after, before);
  }
  if (c.expected == ClassificationDelete::Failed) {
    EXPECT_FALSE(error.empty());
  }
  std::string domains;
  db().query("SELECT 注册商 || 域名类型 || 自定义分类 FROM 域名", {},
             [&](const SqlRow& row) { domains = row.text(0); });
  EXPECT_EQ(domains, "godaddy双拼精品");
}

INSTANTIATE_TEST_SUITE_P(
    Values, ClassificationValueDelete,
    ::testing::Values(
        ValueDelete{"UsedWithOtherCase", CategoryKind::Registrar, "GoDaddy",
                    ClassificationDelete::InUse},
        ValueDelete{"UsedType", CategoryKind::DomainType, "双拼", ClassificationDelete::InUse},
        ValueDelete{"UsedCategory", CategoryKind::Category, "精品", ClassificationDelete::InUse},
        ValueDelete{"UnusedWithApostrophe", CategoryKind::Registrar, "O'Brien",
                    ClassificationDelete::Deleted},
        ValueDelete{"UnusedCategory", CategoryKind::Category, "闲置",
                    ClassificationDelete::Deleted},
        ValueDelete{"NotInTheList", CategoryKind::Category, "无此分类",
                    ClassificationDelete::Failed}),
    [](const ::testing::TestParamInfo<ValueDelete>& info) { return info.param.label; });

}  // namespace
}  // namespace pelmora::testing
