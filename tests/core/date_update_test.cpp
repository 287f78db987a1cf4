#include "lookup/date_update.h"

#include <gtest/gtest.h>

#include "fake_servers.h"
#include "lookup/lookup_route.h"
#include "lookup/rdap_client.h"
#include "lookup/whois_client.h"
#include "store/date_store.h"
#include "support/domain_syntax.h"
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
    EXPECT_EQ(update.registered, c.registered);
    EXPECT_EQ(update.expires, c.expires);
  }
}

const std::string kDone = "提示: [ abc.com] 获取时间完毕.";

INSTANTIATE_TEST_SUITE_P(
    Results, StoreLookupCases,
    ::testing::Values(StoreCase{"1995-08-14|2026-08-13", true, "1995-08-14", "2026-08-13", kDone},
                      StoreCase{"1995-08-14\r|2026-08-13\r", true, "1995-08-14", "2026-08-13",
                                kDone},
                      // No registration date keeps the stored one.
                      StoreCase{"|2026-08-13", true, "2000-01-01", "2026-08-13", kDone},
                      StoreCase{"junk|2026-08-13", true, "2000-01-01", "2026-08-13", kDone},
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

// Ways a write can be refused after the lookup succeeded.
enum class Refusal { RowGone, TriggerAborts, ReadOnly };

struct RefusedCase {
  Refusal refusal;
  std::string result;
};

class RefusedStore : public StoreLookupTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedStore, IsAFailureNamingTheReason) {
  const RefusedCase& c = GetParam();
  std::string domain = "abc.com";
  std::string reason;
  switch (c.refusal) {
    case Refusal::RowGone:
      domain = "gone.com";
      reason = "不在域名列表中";
      break;
    case Refusal::TriggerAborts:
      ASSERT_TRUE(
          db().run("CREATE TRIGGER t BEFORE UPDATE ON 域名 BEGIN SELECT RAISE(ABORT,'no'); END;"));
      reason = "no";
      break;
    case Refusal::ReadOnly:
      ASSERT_TRUE(db().run("PRAGMA query_only=ON"));
      reason = "attempt to write a readonly database";
      break;
  }
  const RowDateUpdate update = storeLookupResult(db(), domain, c.result);
  EXPECT_FALSE(update.success);
  EXPECT_EQ(update.status, "提示: [ " + domain + "] 保存失败: " + reason);
  EXPECT_EQ(update.registered, "");
  EXPECT_EQ(update.expires, "");
  EXPECT_EQ(stored("注册时间"), "2000-01-01");
  EXPECT_EQ(stored("到期时间"), "2001-01-01");
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedStore,
                         ::testing::Values(RefusedCase{Refusal::RowGone, "1995-08-14|2026-08-13"},
                                           RefusedCase{Refusal::RowGone, "|2026-08-13"},
                                           RefusedCase{Refusal::RowGone, "未注册"},
                                           RefusedCase{Refusal::TriggerAborts,
                                                       "1995-08-14|2026-08-13"},
                                           RefusedCase{Refusal::TriggerAborts, "|2026-08-13"},
                                           RefusedCase{Refusal::TriggerAborts, "未注册"},
                                           RefusedCase{Refusal::ReadOnly, "1995-08-14|2026-08-13"},
                                           RefusedCase{Refusal::ReadOnly, "未注册"}));

TEST_F(StoreLookupTest, AMissingRegistrationDateShowsTheStoredOneOrNone) {
  ASSERT_TRUE(db().run("UPDATE 域名 SET 注册时间=NULL"));
  const RowDateUpdate update = storeLookupResult(db(), "abc.com", "|2026-08-13");
  EXPECT_TRUE(update.success);
  EXPECT_EQ(update.registered, "");
  EXPECT_EQ(stored("注册时间"), "NULL");
  EXPECT_EQ(stored("到期时间"), "2026-08-13");
  // The name is matched without case, like everywhere else.
  EXPECT_TRUE(storeLookupResult(db(), "ABC.com", "2001-01-01|2027-01-01").success);
  EXPECT_EQ(stored("注册时间"), "2001-01-01");
}

TEST_F(StoreLookupTest, TheDateStoreTellsHowManyRowsItWrote) {
  const Date registered{std::chrono::year{1999}, std::chrono::month{2}, std::chrono::day{3}};
  const Date expires{std::chrono::year{2030}, std::chrono::month{4}, std::chrono::day{5}};
  DomainDatesWrite write = storeDomainDates(db(), "ABC.COM", std::nullopt, expires);
  EXPECT_TRUE(write.ok);
  EXPECT_EQ(write.changes, 1);
  EXPECT_EQ(write.registered, "2000-01-01");
  EXPECT_EQ(write.expires, "2030-04-05");
  write = storeDomainDates(db(), "abc.com", registered, expires);
  EXPECT_EQ(write.changes, 1);
  EXPECT_EQ(write.registered, "1999-02-03");
  EXPECT_EQ(stored("注册时间"), "1999-02-03");
  write = storeDomainDates(db(), "gone.com", registered, expires);
  EXPECT_TRUE(write.ok);
  EXPECT_EQ(write.changes, 0);
  EXPECT_EQ(write.registered, "");
}

TEST(DomainNames, WhichNamesMayBeLookedUp) {
  for (const char* name : {"abc.com", "ABC-1.top", "a.com.cn", "中文.cn", "例え.jp", "佐々木.jp",
                           "münchen.de", "हिन्दी.in", "xn--fiq228c.cn", "ｐｅｌ.top"}) {
    EXPECT_TRUE(isDomainName(name)) << name;
  }
  for (const char* name : {"",
                           " abc.com",
                           "a bc.com",
                           "abc.com ",
                           "a\tb.com",
                           "a\r\nb.com",
                           "a\x7f.com",
                           "a_b.com",
                           "a.xyz&server=x",
                           "a=b.com",
                           "a/b.com",
                           "a?b.com",
                           "a#b.com",
                           "a%41.com",
                           "a@b.com",
                           "a:80.com",
                           "a\"b.com",
                           "a'b.com",
                           "a\\b.com",
                           "a\xc2\x85.com" /* NEL */,
                           "a\xc2\xa0.com" /* no-break space */,
                           "a\xe3\x80\x80.com" /* ideographic space */,
                           "a\xe2\x80\x8b.com" /* zero width space */,
                           "a\xef\xbb\xbf.com" /* BOM */,
                           "中文。cn",
                           "a\xef\xbc\x8e.cn" /* full-width full stop */,
                           "\xf0\x9f\x98\x80.com",
                           "\xff.com",
                           "\xc0\xae.com" /* overlong */,
                           "\xe4\xb8.com" /* cut */,
                           "\xed\xa0\x80.com" /* surrogate */}) {
    EXPECT_FALSE(isDomainName(name)) << name;
  }
  EXPECT_FALSE(isDomainName(std::string("a\0b.com", 7)));
}

TEST(DomainNames, ARefusedNameMakesNoRequestOnAnyRoute) {
  FakeWhoisServer whois(
      {{{"Domain Name: X\r\nCreation Date: 2001-01-01T0\r\n"
         "Registry Expiry Date: 2030-01-01T0\r\n"}}});
  FakeHttpServer web([](const FakeHttpServer::Request&) {
    return FakeHttpServer::response(
        200, R"({"code":"200","regdate":"2003-03-03","expdate":"2033-03-03"})");
  });
  ScopedEnv whoisEnv("PELMORA_WHOIS_SERVER", whois.hostPort());
  ScopedEnv webEnv("PELMORA_WEBWHOIS_HOST", web.hostPort());
  ScopedEnv rdapEnv("PELMORA_RDAP_BASE", "http://" + web.hostPort() + "/rdap/");
  for (const char* name : {"a.xyz&server=evil", "a b.com", "a.com\r\nhelp", "a.info?x=1",
                           "a/../b.biz", "a\t.top", "a.cn ", "a%2e.name"}) {
    EXPECT_EQ(lookupDomainDates(name, kFresh), "非法后缀") << name;
  }
  // Connections are accepted in order: a refused name that had connected
  // would be counted before these.
  EXPECT_EQ(lookupDomainDates("a.com", kUseCache), "2001-01-01|2030-01-01");
  EXPECT_EQ(lookupDomainDates("a.top", kUseCache), "2003-03-03|2033-03-03");
  EXPECT_EQ(whois.connections(), 1);
  EXPECT_EQ(web.connections(), 1);
}

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
  EXPECT_EQ(batchSummaryText({3, 2, 1}), "共查询 [3] 个域名的时间, 成功 [2] 个, 失败 [1] 个.");
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

struct RouteCase {
  std::string suffix;
  LookupService service;
  std::string whoisHost;  // without PELMORA_WHOIS_SERVER
  bool cnAnswers;
  std::string rdapBase;  // without PELMORA_RDAP_BASE
};

class RouteTable : public ::testing::TestWithParam<RouteCase> {};

TEST_P(RouteTable, OneSuffixOneService) {
  ::unsetenv("PELMORA_RDAP_BASE");
  const RouteCase& c = GetParam();
  const LookupRoute route = lookupRouteFor(c.suffix);
  EXPECT_EQ(route.service, c.service);
  EXPECT_EQ(route.whoisHost, c.whoisHost);
  EXPECT_EQ(route.cnAnswers, c.cnAnswers);
  EXPECT_EQ(route.rdapBase, c.rdapBase);
  // The clients take their servers from the same table.
  const auto server = whoisServerFor(c.suffix);
  EXPECT_EQ(server ? server->host : "", c.whoisHost);
  EXPECT_EQ(server ? server->port : 43, 43);
  EXPECT_EQ(rdapBaseFor(c.suffix), c.rdapBase);
}

constexpr auto kWhois = LookupService::Whois;
constexpr auto kRdap = LookupService::Rdap;
constexpr auto kWeb = LookupService::WebWhois;

INSTANTIATE_TEST_SUITE_P(
    Suffixes, RouteTable,
    ::testing::Values(
        RouteCase{".com", kWhois, "whois.verisign-grs.com", false, ""},
        RouteCase{".net", kWhois, "whois.verisign-grs.com", false, ""},
        RouteCase{".org", kWhois, "whois.publicinterestregistry.org", false, ""},
        RouteCase{".cc", kWhois, "ccwhois.verisign-grs.com", false, ""},
        RouteCase{".cn", kWhois, "whois.cnnic.cn", true, ""},
        RouteCase{".com.cn", kWhois, "whois.cnnic.cn", true, ""},
        RouteCase{".gov.cn", kWhois, "whois.cnnic.cn", true, ""},
        RouteCase{".info", kRdap, "", false, "https://rdap.identitydigital.services/rdap/"},
        RouteCase{".biz", kRdap, "", false, "https://rdap.nic.biz/"},
        RouteCase{".name", kRdap, "", false, "https://tld-rdap.verisign.com/name/v1/"},
        RouteCase{".cn.com", kWeb, "", false, ""}, RouteCase{".com.net", kWeb, "", false, ""},
        RouteCase{".top", kWeb, "", false, ""}, RouteCase{".xcn", kWeb, "", false, ""},
        RouteCase{".COM", kWeb, "", false, ""}, RouteCase{".Com.Cn", kWeb, "", false, ""},
        RouteCase{".INFO", kWeb, "", false, ""}, RouteCase{"cn", kWeb, "", false, ""},
        RouteCase{"", kWeb, "", false, ""}));

TEST(RouteOverrides, ReplaceTheServerNotTheRoute) {
  ScopedEnv whoisEnv("PELMORA_WHOIS_SERVER", "127.0.0.1:4343");
  ScopedEnv rdapEnv("PELMORA_RDAP_BASE", "http://127.0.0.1:8080/rdap/");
  EXPECT_EQ(whoisServerFor(".com.cn")->host, "127.0.0.1");
  EXPECT_EQ(whoisServerFor(".com.cn")->port, 4343);
  EXPECT_EQ(rdapBaseFor(".biz"), "http://127.0.0.1:8080/rdap/");
  EXPECT_EQ(rdapBaseFor(".com"), "");
  EXPECT_EQ(lookupRouteFor(".biz").service, LookupService::Rdap);
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
