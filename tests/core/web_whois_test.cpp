#include "lookup/web_whois.h"

#include <gtest/gtest.h>

#include "fake_servers.h"
#include "lookup/date_update.h"
#include "lookup/rdap_client.h"
#include "support/http_request.h"

namespace pelmora::testing {
namespace {

TEST(WebWhois, UrlAndHeaderLines) {
  EXPECT_EQ(webWhoisUrl("h", "abc.top", kUseCache),
            "http://h/web/whois/whoisinfo?domain=abc.top&server=&refresh=0");
  EXPECT_EQ(webWhoisUrl("h", "abc.top", kFresh),
            "http://h/web/whois/whoisinfo?domain=abc.top&server=&refresh=1");
  EXPECT_EQ(webWhoisUrl("h", "abc.top", static_cast<CacheChoice>(1)),
            webWhoisUrl("h", "abc.top", kUseCache));
  EXPECT_EQ(webWhoisHeaderLines("h", "abc.top"),
            "Referer:http://h/web/whois/whoisinfo?domain=abc.top\r\n"
            "X-Requested-With:XMLHttpRequest\r\nUser-Agent:Mozilla/5.0 (Windows NT 10.0; Win64; "
            "x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/56.0.2924.87 Safari/537.36");
  // The domain is a value, never URL syntax.
  EXPECT_EQ(webWhoisUrl("h", "中文.top", kUseCache),
            "http://h/web/whois/whoisinfo?domain=%E4%B8%AD%E6%96%87.top&server=&refresh=0");
  EXPECT_EQ(webWhoisUrl("h", "a.xyz&server=x", kFresh),
            "http://h/web/whois/whoisinfo?domain=a.xyz%26server%3Dx&server=&refresh=1");
  const std::string referer = "Referer:http://h/web/whois/whoisinfo?domain=a.xyz%26refresh%3D1\r\n";
  EXPECT_EQ(webWhoisHeaderLines("h", "a.xyz&refresh=1").substr(0, referer.size()), referer);
}

struct BodyCase {
  std::string body;
  std::string result;
};

class WebWhoisBodies : public ::testing::TestWithParam<BodyCase> {};

TEST_P(WebWhoisBodies, MapOntoResults) {
  EXPECT_EQ(webWhoisResult(GetParam().body), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, WebWhoisBodies,
    ::testing::Values(
        BodyCase{
            R"({"code":"200","regdate":"2010-05-06 08:00:00","expdate":"2025-05-06 08:00:00"})",
            "2010-05-06|2025-05-06"},
        BodyCase{R"({"code":200,"regdate":"2010-05-06","expdate":""})", "err"},
        BodyCase{R"({"code":100})", "未注册"}, BodyCase{R"({"code":"300"})", "超过查询次数"},
        BodyCase{R"({"code":"400"})", "非法后缀"}, BodyCase{R"({"code":500})", "err2"},
        BodyCase{R"({"msg":"x"})", "err2"}, BodyCase{"", "err"},
        BodyCase{"<html>error</html>", "err"}));

TEST(WebWhois, QueryAgainstTheFakeService) {
  FakeHttpServer server([](const FakeHttpServer::Request& r) {
    if (r.line().find("domain=free.top") != std::string::npos) {
      return FakeHttpServer::response(200, R"({"code":100})");
    }
    return FakeHttpServer::response(
        200, R"({"code":"200","regdate":"2011-01-02 00:00:00","expdate":"2031-01-02 00:00:00"})");
  });
  ScopedEnv env("PELMORA_WEBWHOIS_HOST", server.hostPort());
  EXPECT_EQ(queryWebWhois("abc.top", kFresh), "2011-01-02|2031-01-02");
  EXPECT_EQ(queryWebWhois("free.top", kUseCache), "未注册");
  const auto sent = server.requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].line(), "GET /web/whois/whoisinfo?domain=abc.top&server=&refresh=1 HTTP/1.1");
  EXPECT_TRUE(sent[0].hasHeader("X-Requested-With: XMLHttpRequest"));
  EXPECT_TRUE(sent[0].hasHeader("Referer: http://" + server.hostPort() +
                                "/web/whois/whoisinfo?domain=abc.top"));
  EXPECT_TRUE(sent[0].hasHeader("Accept-Language: zh-cn"));
}

TEST(WebWhois, IdnNamesAreSentPercentEncoded) {
  FakeHttpServer server([](const FakeHttpServer::Request&) {
    return FakeHttpServer::response(
        200, R"({"code":"200","regdate":"2011-01-02","expdate":"2031-01-02"})");
  });
  ScopedEnv env("PELMORA_WEBWHOIS_HOST", server.hostPort());
  EXPECT_EQ(queryWebWhois("中文.top", kUseCache), "2011-01-02|2031-01-02");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].line(),
            "GET /web/whois/whoisinfo?domain=%E4%B8%AD%E6%96%87.top&server=&refresh=0 HTTP/1.1");
}

// A valid answer padded past the body cap.
std::string oversized(const std::string& json) {
  return json.substr(0, json.size() - 1) + R"(,"pad":")" + std::string(kDefaultBodyCap, 'x') +
         "\"}";
}

TEST(WebWhois, OversizedAnswerOrRedirectLoopFails) {
  FakeHttpServer server([](const FakeHttpServer::Request& r) {
    if (r.line().find("domain=loop.top") != std::string::npos) {
      return FakeHttpServer::response(
          302, "", "Location: " + r.line().substr(4, r.line().size() - 13) + "\r\n");
    }
    return FakeHttpServer::response(
        200, oversized(R"({"code":"200","regdate":"2011-01-02","expdate":"2031-01-02"})"));
  });
  ScopedEnv env("PELMORA_WEBWHOIS_HOST", server.hostPort());
  EXPECT_EQ(queryWebWhois("big.top", kUseCache), "err");
  EXPECT_EQ(queryWebWhois("loop.top", kUseCache), "err");
  EXPECT_EQ(server.requests().size(), 1u + 6u);  // the redirect loop: the request and five more
}

TEST(WebWhois, ServiceDownGivesErr) {
  int port = 0;
  {
    FakeHttpServer gone([](const auto&) { return std::string(); });
    port = gone.port();
  }
  ScopedEnv env("PELMORA_WEBWHOIS_HOST", "127.0.0.1:" + std::to_string(port));
  EXPECT_EQ(queryWebWhois("abc.top", kUseCache), "err");
}

struct NotFoundCase {
  std::string contentType;
  std::string body;
  std::string result;
};

class RdapNotFound : public ::testing::TestWithParam<NotFoundCase> {};

// Only the registry's own error object means "not registered"; a 404 from a
// wrong path or a proxy page must not put 2222-11-11 over real dates.
TEST_P(RdapNotFound, OnlyTheRegistrysErrorObjectMeansNotRegistered) {
  const NotFoundCase& c = GetParam();
  FakeHttpServer server([&c](const FakeHttpServer::Request&) {
    return FakeHttpServer::response(
        404, c.body, c.contentType.empty() ? "" : "Content-Type: " + c.contentType + "\r\n");
  });
  EXPECT_EQ(queryRdap("a.info", "http://" + server.hostPort() + "/"), c.result);
  EXPECT_EQ(rdapResult(404, c.body, c.contentType), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RdapNotFound,
    ::testing::Values(NotFoundCase{"application/rdap+json", R"({"errorCode":404})", "未注册"},
                      NotFoundCase{"application/rdap+json; charset=utf-8", "", "未注册"},
                      NotFoundCase{"Application/RDAP+JSON", "{}", "未注册"},
                      NotFoundCase{"application/json", R"({"errorCode":404,"title":"Not Found"})",
                                   "未注册"},
                      NotFoundCase{"", R"({"errorCode":"404"})", "未注册"},
                      NotFoundCase{"", "", "err"}, NotFoundCase{"", "{}", "err"},
                      NotFoundCase{"text/html", "<html><body>404 Not Found</body></html>", "err"},
                      NotFoundCase{"application/json", R"({"errorCode":500})", "err"},
                      NotFoundCase{"application/json", R"({"error":"no route"})", "err"}));

TEST(Rdap, StatusAndEvents) {
  FakeHttpServer server([](const FakeHttpServer::Request& r) {
    if (r.line().find("/domain/free.info") != std::string::npos) {
      return FakeHttpServer::response(404, R"({"errorCode":404,"title":"Not Found"})");
    }
    if (r.line().find("/domain/big.info") != std::string::npos) {
      return FakeHttpServer::response(
          200, oversized(R"({"events":[{"eventAction":"expiration","eventDate":"2027-04-05"}]})"));
    }
    if (r.line().find("/domain/busy.info") != std::string::npos) {
      return FakeHttpServer::response(429, "");
    }
    if (r.line().find("/domain/junk.info") != std::string::npos) {
      return FakeHttpServer::response(200, "<html>");
    }
    return FakeHttpServer::response(
        200, R"({"ldhName":"a.info","status":["auto renew period","client transfer prohibited"],)"
             R"("events":[{"eventAction":"last changed","eventDate":"2024-01-01T00:00:00Z"},)"
             R"({"eventAction":"expiration","eventDate":"2027-04-05T12:00:00Z"},)"
             R"({"eventAction":"registration","eventDate":"2001-07-31T00:00:00Z"}]})");
  });
  const std::string base = "http://" + server.hostPort() + "/rdap";
  EXPECT_EQ(queryRdap("a.info", base), "2001-07-31|2027-04-05");
  EXPECT_EQ(server.requests()[0].line(), "GET /rdap/domain/a.info HTTP/1.1");
  const LookupAnswer answer = askRdap("a.info", base);
  EXPECT_EQ(answer.result, "2001-07-31|2027-04-05");
  EXPECT_EQ(answer.status, "auto renew period, client transfer prohibited");
  EXPECT_EQ(queryRdap("free.info", base), "未注册");
  EXPECT_EQ(queryRdap("busy.info", base), "超过查询次数");
  EXPECT_EQ(queryRdap("junk.info", base), "err");
  EXPECT_EQ(queryRdap("big.info", base), "err");
  EXPECT_EQ(queryRdap("中文.info", base), "2001-07-31|2027-04-05");
  EXPECT_EQ(server.requests().back().line(), "GET /rdap/domain/%E4%B8%AD%E6%96%87.info HTTP/1.1");
  EXPECT_EQ(rdapResult(200, R"({"events":[]})"), "err");
  ::unsetenv("PELMORA_RDAP_BASE");
  EXPECT_EQ(rdapBaseFor(".info"), "https://rdap.identitydigital.services/rdap/");
  EXPECT_EQ(rdapBaseFor(".biz"), "https://rdap.nic.biz/");
  EXPECT_EQ(rdapBaseFor(".name"), "https://tld-rdap.verisign.com/name/v1/");
  EXPECT_EQ(rdapBaseFor(".com"), "");
}

}  // namespace
}  // namespace pelmora::testing
