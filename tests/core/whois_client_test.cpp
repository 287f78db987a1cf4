#include "lookup/whois_client.h"

#include <gtest/gtest.h>

#include "fake_servers.h"

namespace pelmora::testing {
namespace {

const WhoisTimeouts kQuick{500, 500, 300, 6};

const std::string kComAnswer =
    "   Domain Name: EXAMPLE.COM\r\n   Registry Domain ID: 1\r\n"
    "   Creation Date: 1995-08-14T04:00:00Z\r\n   Registry Expiry Date: 2026-08-13T04:00:00Z\r\n";
const std::string kCnAnswer =
    "Domain Name: example.cn\nRegistration Time: 2003-03-17 12:20:05\n"
    "Expiration Time: 2027-03-17 12:48:36\n";

DateLookupResult askFake(FakeWhoisServer& server, const std::string& domain) {
  ScopedEnv env("PELMORA_WHOIS_SERVER", server.hostPort());
  return queryWhois(domain, kQuick);
}

TEST(Whois, FullAnswerGivesBothDatesAndTheQueryIsTheBareDomain) {
  FakeWhoisServer server({{{kComAnswer}}});
  EXPECT_EQ(askFake(server, "example.com"), "1995-08-14|2026-08-13");
  EXPECT_EQ(server.queries(), std::vector<std::string>{"example.com\r\n"});
}

TEST(Whois, CnStyleAnswer) {
  FakeWhoisServer server({{{kCnAnswer}}});
  EXPECT_EQ(askFake(server, "example.com.cn"), "2003-03-17|2027-03-17");
}

TEST(Whois, AnswerInDelayedSegmentsIsReadWhole) {
  FakeWhoisServer server(
      {{{kComAnswer.substr(0, 40), kComAnswer.substr(40, 60), kComAnswer.substr(100)}, 100}});
  EXPECT_EQ(askFake(server, "example.com"), "1995-08-14|2026-08-13");
  EXPECT_EQ(server.connections(), 1);
}

TEST(Whois, MarkerWithoutDatesIsErrAfterOneAttempt) {
  FakeWhoisServer server(
      {{{"No match for \"NOPE.COM\".\r\n>>> Last update of whois database\r\n"}}});
  EXPECT_EQ(askFake(server, "nope.com"), "err");
  EXPECT_EQ(server.connections(), 1);
}

TEST(Whois, NoMarkerIsAskedSixTimes) {
  FakeWhoisServer server({{{"busy, try later\r\n"}}});
  EXPECT_EQ(askFake(server, "example.com"), "err");
  EXPECT_EQ(server.connections(), 6);
}

TEST(Whois, SecondAttemptCanSucceed) {
  FakeWhoisServer server({{{"busy\r\n"}}, {{kComAnswer}}});
  EXPECT_EQ(askFake(server, "example.com"), "1995-08-14|2026-08-13");
  EXPECT_EQ(server.connections(), 2);
}

TEST(Whois, CreationWithoutExpiryKeepsOneSide) {
  FakeWhoisServer server({{{"Domain Name: A.COM\r\nCreation Date: 2001-02-03T00:00:00Z\r\n"}}});
  EXPECT_EQ(askFake(server, "a.com"), "2001-02-03|");
}

TEST(Whois, SilencePastTheTimeOutGivesErr) {
  FakeWhoisServer server({FakeWhoisServer::Reply{{}, 0, 700}});
  ScopedEnv env("PELMORA_WHOIS_SERVER", server.hostPort());
  EXPECT_EQ(queryWhois("example.com", {500, 500, 300, 2}), "err");
  EXPECT_EQ(server.connections(), 2);
}

TEST(Whois, CancelledLookupStopsWaitingAndAsksNoMore) {
  FakeWhoisServer server({FakeWhoisServer::Reply{{}, 0, 1500}});
  ScopedEnv env("PELMORA_WHOIS_SERVER", server.hostPort());
  std::atomic<bool> cancel{false};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    cancel = true;
  });
  WhoisTimeouts timeouts;  // 8 s waits, six attempts
  timeouts.cancel = &cancel;
  EXPECT_EQ(queryWhois("example.com", timeouts), "err");
  canceller.join();
  EXPECT_EQ(server.connections(), 1);
}

TEST(Whois, TricklingServerIsCutOffAtTheExchangeDeadline) {
  // 40 ms a byte: the whole answer would take about six seconds.
  FakeWhoisServer server({FakeWhoisServer::drip(kComAnswer, 40)});
  ScopedEnv env("PELMORA_WHOIS_SERVER", server.hostPort());
  struct Case {
    WhoisTimeouts timeouts;
    std::chrono::milliseconds within;
  };
  // Six attempts allowed, but a cut-off exchange is not tried again.
  WhoisTimeouts explicitLimit{500, 500, 300, 6};
  explicitLimit.exchangeMs = 400;
  WhoisTimeouts lookupLimit{500, 500, 300, 6};
  lookupLimit.lookupMs = 400;
  for (const Case& c : {Case{{500, 500, 300, 6}, std::chrono::milliseconds(2000)},
                        Case{explicitLimit, std::chrono::milliseconds(1500)},
                        Case{lookupLimit, std::chrono::milliseconds(1500)}}) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(queryWhois("example.com", c.timeouts), "err");
    EXPECT_LT(std::chrono::steady_clock::now() - started, c.within);
  }
  EXPECT_EQ(server.connections(), 3);
}

TEST(Whois, NamesThatAreNotDomainsAreNeverSent) {
  FakeWhoisServer server({{{kComAnswer}}});
  ScopedEnv env("PELMORA_WHOIS_SERVER", server.hostPort());
  for (const char* name : {"example.com\r\nhelp", "a b.com", "", "a\t.cn"}) {
    EXPECT_EQ(queryWhois(name, kQuick), "非法后缀") << name;
    EXPECT_EQ(whoisExchange({"127.0.0.1", server.port()}, name, kQuick), "") << name;
  }
  // Connections are accepted in order: a refused name that had connected
  // would be counted before this one.
  EXPECT_EQ(queryWhois("example.com", kQuick), "1995-08-14|2026-08-13");
  EXPECT_EQ(server.connections(), 1);
  EXPECT_EQ(server.queries(), std::vector<std::string>{"example.com\r\n"});
}

TEST(Whois, RefusedConnectionGivesErr) {
  int port = 0;
  {
    FakeWhoisServer gone({FakeWhoisServer::Reply{}});
    port = gone.port();
  }
  ScopedEnv env("PELMORA_WHOIS_SERVER", "127.0.0.1:" + std::to_string(port));
  EXPECT_EQ(queryWhois("example.com", {500, 500, 300, 2}), "err");
}

TEST(Whois, OversizedAnswerIsCutAtTheLimit) {
  FakeWhoisServer server({{{kComAnswer + std::string(30000, 'x')}}});
  const std::string answer = whoisExchange({"127.0.0.1", server.port()}, "example.com", kQuick);
  EXPECT_EQ(answer.size(), kWhoisAnswerLimit);
  EXPECT_EQ(askFake(server, "example.com"), "1995-08-14|2026-08-13");
}

TEST(Whois, ServerTableAndSuffixes) {
  EXPECT_EQ(lookupSuffix("abc.com.cn"), ".com.cn");
  EXPECT_EQ(lookupSuffix("abc.net"), ".net");
  EXPECT_EQ(lookupSuffix("com.com"), ".com");
  EXPECT_EQ(lookupSuffix("localhost"), "localhost");
  EXPECT_EQ(whoisServerFor(".com")->host, "whois.verisign-grs.com");
  EXPECT_EQ(whoisServerFor(".net")->port, 43);
  EXPECT_EQ(whoisServerFor(".org")->host, "whois.publicinterestregistry.org");
  EXPECT_EQ(whoisServerFor(".cc")->host, "ccwhois.verisign-grs.com");
  EXPECT_EQ(whoisServerFor(".com.cn")->host, "whois.cnnic.cn");
  EXPECT_EQ(whoisServerFor(".cn")->host, "whois.cnnic.cn");
  EXPECT_FALSE(whoisServerFor(".cn.com"));
  EXPECT_FALSE(whoisServerFor(".biz"));
  EXPECT_FALSE(whoisServerFor(".COM"));
  EXPECT_EQ(queryWhois("example.biz", kQuick), "err");
}

TEST(Whois, ParsingRules) {
  EXPECT_EQ(parseWhoisAnswer("creation date: x", false), "err");  // labels are case-sensitive
  EXPECT_EQ(parseWhoisAnswer(kCnAnswer, false), "err");
  EXPECT_EQ(resolveHostToIPv4("127.0.0.1"), "127.0.0.1");
}

}  // namespace
}  // namespace pelmora::testing
