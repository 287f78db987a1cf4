#include "lookup/whois_client.h"

#include <gtest/gtest.h>

#include "fake_servers.h"
#include "lookup/iana_whois.h"
#include "test_db.h"

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

struct AnswerCase {
  std::string answer;
  std::string dates;
};

// The registries' layouts, labels in any case; the registry's own expiry wins
// over a registrar's wherever it stands; a date written another way is no date.
TEST(Whois, ParsingRules) {
  for (const AnswerCase& c : std::vector<AnswerCase>{
           {kComAnswer, "1995-08-14|2026-08-13"},
           {kCnAnswer, "2003-03-17|2027-03-17"},
           {"domain: EXAMPLE.RU\ncreated: 2004-06-21T20:00:00Z\npaid-till: 2026-06-22T21:00:00Z\n",
            "2004-06-21|2026-06-22"},
           {"domain: example.se\ncreated: 2001-02-03\nexpires: 2027-02-03\n",
            "2001-02-03|2027-02-03"},
           {"Created: 2001-01-01 00:00:00\nExpire Date: 2026-01-01\n", "2001-01-01|2026-01-01"},
           {"created: 2001.11.23 13:00:00\nrenewal date: 2026.11.22 14:00:00\n",
            "2001-11-23|2026-11-22"},
           {"Registered on: 1996-08-01\n    Expiry date:  2026-03-12\n", "1996-08-01|2026-03-12"},
           {"Created On: 2001-01-01\nExpiration Date: 2026-01-01 (YYYY-MM-DD)\n",
            "2001-01-01|2026-01-01"},
           {"Registrar Registration Expiration Date: 2027-01-01T00:00:00Z\r\n"
            "Creation Date: 2001-01-01T00:00:00Z\r\nRegistry Expiry Date: 2026-01-01T00:00:00Z\r\n",
            "2001-01-01|2026-01-01"},
           {"Creation Date: 2001-02-03\r\nRegistry Expiry Date: 2031-02-03T00:00:00Z\r\n",
            "2001-02-03|2031-02-03"},
           {"CREATED: 2001-2-3\nexpires: 03.02.2031\n", "2001-02-03|"},
           {"creation date: x", "err"},
           {"Updated Date: 2020-01-01\nexpires soon: 2026-01-01\ncreated 2001-01-01\n", "err"},
           {"", "err"}}) {
    EXPECT_EQ(parseWhoisAnswer(c.answer, false), c.dates) << c.answer;
  }
  EXPECT_EQ(resolveHostToIPv4("127.0.0.1"), "127.0.0.1");
}

TEST(Whois, AnswerWithDatesButNoMarkerIsAskedOnce) {
  FakeWhoisServer server({{{"domain: EXAMPLE.RU\ncreated: 2004-06-21T20:00:00Z\n"}}});
  EXPECT_EQ(askFake(server, "example.ru"), "2004-06-21|");
  EXPECT_EQ(server.connections(), 1);
}

const std::string kIanaIo =
    "% IANA WHOIS server\n% for more information on IANA, visit http://www.iana.org\n"
    "% This query returned 1 object\n\nrefer:        whois.nic.io\n\ndomain:       IO\n\n"
    "remarks:      Registration information: http://www.nic.io\n\n"
    "whois:        whois.nic.io\n\nstatus:       ACTIVE\n";

struct ReferralCase {
  std::string answer;
  std::optional<std::string> host;
};

TEST(IanaWhois, TheReferralNamesTheRegistryServer) {
  for (const ReferralCase& c : std::vector<ReferralCase>{
           {kIanaIo, "whois.nic.io"},
           {"whois: other.example\r\nRefer:  WHOIS.NIC.Example \r\n", "whois.nic.example"},
           {"domain:       XN--FIQS8S\nwhois:        cwhois.cnnic.cn\n", "cwhois.cnnic.cn"},
           {"refer: whois.bad host\nwhois: whois.ok.example\n", "whois.ok.example"},
           {"domain:       AQ\nwhois:\n", std::nullopt},
           {"refer: whois..example\nrefer: -x;rm\n", std::nullopt},
           {"remarks: see whois.nic.io\n% This query returned 0 objects.\n", std::nullopt},
           {"", std::nullopt}}) {
    const auto server = parseIanaReferral(c.answer);
    EXPECT_EQ(server ? std::optional(server->host) : std::nullopt, c.host) << c.answer;
    if (server) {
      EXPECT_EQ(server->port, 43);
    }
  }
}

// IANA is asked once per TLD: the answer is kept in memory and on disk, a TLD
// without a server too, until it is 30 days old; a failed exchange is not kept.
TEST(IanaWhois, EachTldIsAskedOnce) {
  TempFolder folder;
  ScopedEnv cache("XDG_CACHE_HOME", folder.path().string());
  FakeWhoisServer iana({FakeWhoisServer::Reply{},
                        {{kIanaIo}},
                        {{"domain:       AQ\nwhois:\n"}},
                        {{"refer: whois.nic.ac\n"}},
                        {{"refer: whois.nic.sh\n"}, 300}});
  ScopedEnv server("PELMORA_IANA_WHOIS", iana.hostPort());
  clearIanaWhoisMemory();
  const auto hostOf = [](std::string_view tld) {
    const auto found = registryWhoisServer(tld);
    return found ? found->host : "none";
  };
  EXPECT_EQ(hostOf("io"), "none");
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(hostOf("io"), "whois.nic.io");
    EXPECT_EQ(hostOf("IO"), "whois.nic.io");
    EXPECT_EQ(hostOf("aq"), "none");
    clearIanaWhoisMemory();
  }
  const auto month = std::chrono::system_clock::now() - kIanaWhoisKeep - std::chrono::hours(1);
  std::ofstream(ianaWhoisCacheFile(), std::ios::app)
      << "ac\twhois.old.ac\t"
      << std::chrono::duration_cast<std::chrono::seconds>(month.time_since_epoch()).count() << "\n";
  EXPECT_EQ(hostOf("ac"), "whois.nic.ac");
  // Threads asking at once wait for one question.
  std::vector<std::string> hosts(4);
  std::vector<std::thread> threads;
  for (std::string& host : hosts) threads.emplace_back([&] { host = hostOf("sh"); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(hosts, std::vector<std::string>(4, "whois.nic.sh"));
  EXPECT_EQ(iana.queries(),
            (std::vector<std::string>{"io\r\n", "io\r\n", "aq\r\n", "ac\r\n", "sh\r\n"}));
}

}  // namespace
}  // namespace pelmora::testing
