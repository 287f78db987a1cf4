#include "lookup/date_update.h"

#include <gtest/gtest.h>

#include "fake_servers.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

class StoreLookupTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    add({makeDomain("abc.com", {{DomainField::RegisteredOn, "2000-01-01"},
                                {DomainField::ExpiresOn, "2001-01-01"}})});
  }
  std::string stored(const char* column) {
    std::string text = "NULL";
    db().query(std::string("SELECT ") + column + " FROM 域名", {},
               [&](const SqlRow& row) { text = row.isNull(0) ? "NULL" : row.asText(0); });
    return text;
  }
};

struct StoreCase {
  std::string result;
  bool success;
  std::string registered, expires;  // stored afterwards
  std::string status;
};

class StoreLookupCases : public StoreLookupTest, public ::testing::WithParamInterface<StoreCase> {};

TEST_P(StoreLookupCases, StoresAndReports) {
  const StoreCase& c = GetParam();
  const RowDateUpdate update = storeLookupResult(db(), "abc.com", c.result);
  EXPECT_EQ(update.success, c.success);
  EXPECT_EQ(update.status, c.status);
  EXPECT_EQ(stored("注册时间"), c.registered);
  EXPECT_EQ(stored("到期时间"), c.expires);
  if (c.success) {
    EXPECT_EQ(update.expires, c.expires);
  }
}

const std::string kDone = "提示: [ abc.com] 获取时间完毕.";

INSTANTIATE_TEST_SUITE_P(
    Results, StoreLookupCases,
    ::testing::Values(StoreCase{"1995-08-14|2026-08-13", true, "1995-08-14", "2026-08-13", kDone},
                      StoreCase{"1995-08-14\r|2026-08-13\r", true, "1995-08-14", "2026-08-13",
                                kDone},
                      StoreCase{"|2026-08-13", true, "NULL", "2026-08-13", kDone},
                      StoreCase{"1995-08-14|", false, "2000-01-01", "2001-01-01",
                                "提示: [ abc.com] 获取时间失败,检查您的电脑是否联网."},
                      StoreCase{"junk|2026-99-99", false, "2000-01-01", "2001-01-01",
                                "提示: [ abc.com] 获取时间失败,检查您的电脑是否联网."},
                      StoreCase{"未注册", true, "2222-11-11", "2222-11-11", kDone},
                      StoreCase{"err", false, "2000-01-01", "2001-01-01",
                                "提示: [ abc.com] 获取时间失败,检查您的电脑是否联网."},
                      StoreCase{"err2", false, "2000-01-01", "2001-01-01",
                                "提示: [ abc.com] 获取时间失败,请尝试重新获取."},
                      StoreCase{"非法后缀", false, "2000-01-01", "2001-01-01",
                                "提示: [ abc.com] 域名后缀不正确,如果确实正确,可手动填写日期."},
                      StoreCase{"超过查询次数", false, "2000-01-01", "2001-01-01",
                                "提示: [ abc.com] 超过当日查询次数,请换ip再查询!"}));

TEST(BatchTexts, AllSuccessfulAndMixed) {
  EXPECT_EQ(batchStatusText({0, 0, 0}), "共查询 [0] 个域名的时间, 恭喜您,全部更新成功!");
  EXPECT_EQ(batchMessageText({0, 0, 0}), "恭喜您!\r\n共查询 [0] 个, 恭喜您,全部更新成功!");
  EXPECT_EQ(batchStatusText({3, 2, 1}),
            "共查询 [3] 个域名的时间, 成功 [2] 个, 失败 [1] 个. 提示:失败的可单独右键更新时间.");
  EXPECT_EQ(batchMessageText({3, 2, 1}),
            "批量更新时间完毕!\r\n成功 [2] 个,绿底蓝色代表更新成功!\r\n\r\n失败 [1] "
            "个,红底红字代表更新失败.\r\n\r\n可再次点击[更新选中按钮]来更新查询失败的域名.\r\n\r\n"
            "如多次更新失败,请尝试重新拨号换新的IP.");
  EXPECT_EQ(lookupStartedStatus("a.com"), "正在获取 [a.com] 的注册和到期时间.请稍后!");
}

TEST(LookupRouting, SuffixesGoToTheirService) {
  FakeWhoisServer whois(
      {{{"Domain Name: X\r\nCreation Date: 2001-01-01T0\r\n"
         "Registry Expiry Date: 2030-01-01T0\r\n"}}});
  FakeHttpServer web([](const FakeHttpServer::Request& r) {
    if (r.line().find("/rdap/") != std::string::npos) {
      return FakeHttpServer::response(
          200, R"({"events":[{"eventAction":"registration","eventDate":"2002-02-02T00:00:00Z"},)"
               R"({"eventAction":"expiration","eventDate":"2032-02-02T00:00:00Z"}]})");
    }
    return FakeHttpServer::response(
        200, R"({"code":"200","regdate":"2003-03-03","expdate":"2033-03-03"})");
  });
  ScopedEnv whoisEnv("PELMORA_WHOIS_SERVER", whois.hostPort());
  ScopedEnv webEnv("PELMORA_WEBWHOIS_HOST", web.hostPort());
  ScopedEnv rdapEnv("PELMORA_RDAP_BASE", "http://" + web.hostPort() + "/rdap/");
  for (const char* domain : {"a.com", "a.net", "a.org", "a.cc", "a.cn", "a.com.cn", "a.net.cn"}) {
    EXPECT_EQ(lookupDomainDates(domain, kUseCache), "2001-01-01|2030-01-01") << domain;
  }
  for (const char* domain : {"a.info", "a.biz", "a.name"}) {
    EXPECT_EQ(lookupDomainDates(domain, kUseCache), "2002-02-02|2032-02-02") << domain;
  }
  for (const char* domain : {"a.top", "a.cn.com", "a.xyz", "a.COM"}) {
    EXPECT_EQ(lookupDomainDates(domain, kUseCache), "2003-03-03|2033-03-03") << domain;
  }
}

TEST(ActiveLookupLabel, SharedBetweenThreads) {
  ActiveLookupLabel label;
  EXPECT_FALSE(label.busy());
  std::thread writer([&] {
    for (int i = 0; i < 1000; ++i) label.set(i % 2 ? "a.com" : "");
  });
  for (int i = 0; i < 1000; ++i) label.get();
  writer.join();
  label.set(std::string(kBatchLookupLabel));
  EXPECT_EQ(label.get(), "批量更新时间");
}

}  // namespace
}  // namespace pelmora::testing
