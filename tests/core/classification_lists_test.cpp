#include "store/classification_lists.h"

#include <gtest/gtest.h>

#include "test_db.h"

namespace pelmora::testing {
namespace {

using Items = std::vector<std::string>;

class ClassificationListsTest : public DatabaseTest {
 protected:
  ClassificationLists rebuilt() {
    ClassificationLists lists;
    EXPECT_TRUE(lists.rebuild(db()));
    return lists;
  }
};

TEST_F(ClassificationListsTest, NoDomainsGivesZeroCountsAndNoSuffixes) {
  addEntry("注册商", "西数", 1);
  addEntry("域名类型", "双拼", 1);
  addEntry("自定义分类", "精品", 1);
  const auto lists = rebuilt();
  EXPECT_EQ(lists.itemsFor(ListTarget::FilterWindow, CategoryKind::Registrar),
            (Items{"全部", "未分组", "西数(0)"}));
  EXPECT_EQ(lists.itemsFor(ListTarget::FilterWindow, CategoryKind::DomainType),
            (Items{"全部", "未分组", "双拼(0)"}));
  EXPECT_EQ(lists.itemsFor(ListTarget::FilterWindow, CategoryKind::Category),
            (Items{"全部", "未分组", "精品(0)"}));
  EXPECT_TRUE(lists.suffixes().empty());
  EXPECT_EQ(lists.suffixItemsForFilter(), (Items{"全部", "未分组"}));
}

TEST_F(ClassificationListsTest, CountsOrderAndFixedItemsPerTarget) {
  addEntry("注册商", "爱名", 2);
  addEntry("注册商", "西数", 1);
  addEntry("注册商", "易名", 2);  // same order value: kept in table order after 爱名
  add({makeDomain("a.com", {{DomainField::Registrar, "西数"}}),
       makeDomain("b.com", {{DomainField::Registrar, "西数"}}),
       makeDomain("c.net", {{DomainField::Registrar, "易名"}}),
       makeDomain("d.com.cn", {{DomainField::Registrar, "-"}})});
  const auto lists = rebuilt();
  EXPECT_EQ(lists.itemsFor(ListTarget::FilterWindow, CategoryKind::Registrar),
            (Items{"全部", "未分组", "西数(2)", "爱名(0)", "易名(1)"}));
  EXPECT_EQ(lists.itemsFor(ListTarget::SingleAddWindow, CategoryKind::Registrar),
            (Items{"不选", "西数(2)", "爱名(0)", "易名(1)"}));
  EXPECT_EQ(lists.itemsFor(ListTarget::BatchModifyWindow, CategoryKind::Registrar),
            (Items{"未分组", "西数(2)", "爱名(0)", "易名(1)"}));
  EXPECT_EQ(lists.itemsFor(ListTarget::Grid, CategoryKind::Registrar),
            (Items{"西数", "爱名", "易名"}));
  EXPECT_EQ(lists.suffixItemsForFilter(),
            (Items{"全部", "未分组", "com(2)", "com.cn(1)", "net(1)"}));
}

TEST_F(ClassificationListsTest, RebuildReplacesTheLists) {
  addEntry("注册商", "西数", 1);
  auto lists = rebuilt();
  add({makeDomain("a.com", {{DomainField::Registrar, "西数"}})});
  ASSERT_TRUE(db().run("DELETE FROM 注册商 WHERE 注册商='西数'"));
  addEntry("注册商", "It's", 1);
  ASSERT_TRUE(lists.rebuild(db()));
  EXPECT_EQ(lists.itemsFor(ListTarget::FilterWindow, CategoryKind::Registrar),
            (Items{"全部", "未分组", "It's(0)"}));
  EXPECT_EQ(lists.suffixes().size(), 1u);
}

// The counts kept by triggers always equal a fresh count of the table.
TEST_F(ClassificationListsTest, CountsFollowInsertsUpdatesAndDeletes) {
  addEntry("注册商", "西数", 1);
  addEntry("注册商", "爱名", 2);
  const auto expectCountsMatchTable = [&](const char* step) {
    const auto lists = rebuilt();
    for (const auto& item : lists.list(CategoryKind::Registrar)) {
      EXPECT_EQ(db().scalar("SELECT count(*) FROM 域名 WHERE 注册商=?", {item.name}),
                SqlValue(item.count))
          << step << " " << item.name;
    }
    std::vector<std::string> suffixes;
    for (const auto& item : lists.suffixes()) suffixes.push_back(itemText(item));
    std::vector<std::string> fresh;
    db().query(
        "SELECT 后缀, count(*) FROM 域名 GROUP BY 后缀 ORDER BY 后缀", {},
        [&](const SqlRow& row) { fresh.push_back(row.text(0) + "(" + row.asText(1) + ")"); });
    EXPECT_EQ(suffixes, fresh) << step;
  };
  add({makeDomain("a.com", {{DomainField::Registrar, "西数"}}),
       makeDomain("b.com", {{DomainField::Registrar, "西数"}}),
       makeDomain("c.net", {{DomainField::Registrar, "爱名"}})});
  expectCountsMatchTable("insert");
  ASSERT_TRUE(db().run("UPDATE 域名 SET 注册商='爱名', 后缀='org' WHERE 域名='a.com'"));
  expectCountsMatchTable("update");
  ASSERT_TRUE(db().run("UPDATE 域名 SET 注册商=注册商"));
  expectCountsMatchTable("unchanged update");
  ASSERT_TRUE(db().run("DELETE FROM 域名 WHERE 后缀='com'"));
  expectCountsMatchTable("delete");
  ASSERT_TRUE(db().run("DELETE FROM 域名"));
  expectCountsMatchTable("delete all");
  EXPECT_TRUE(rebuilt().suffixes().empty());
  // A failed statement leaves the counts as they were.
  add({makeDomain("x.com", {{DomainField::Registrar, "西数"}})});
  EXPECT_FALSE(db().run("INSERT INTO 域名(域名,注册商) VALUES('X.COM','西数')"));
  expectCountsMatchTable("failed insert");
}

TEST(NameOfItem, TextBeforeFirstParenthesis) {
  EXPECT_EQ(nameOfItem("西数(12)"), "西数");
  EXPECT_EQ(nameOfItem("a(b)(3)"), "a");
  EXPECT_EQ(nameOfItem("全部"), "全部");
  EXPECT_EQ(nameOfItem("(3)"), "");
  EXPECT_EQ(itemText({"西数", 12}), "西数(12)");
  EXPECT_EQ(targetName(ListTarget::FilterWindow), "筛选窗口");
  EXPECT_EQ(targetName(ListTarget::Grid), "表格");
}

}  // namespace
}  // namespace pelmora::testing
