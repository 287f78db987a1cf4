// Every lookup source against servers that misbehave: each lookup ends within
// its deadline with a failure code (never dates made of junk), keeps its
// memory bounded and stores nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>

#include "fake_servers.h"
#include "lookup/date_update.h"
#include "lookup/rdap_client.h"
#include "lookup/web_whois.h"
#include "lookup/whois_client.h"
#include "support/http_request.h"
#include "support/update_record.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

// AddressSanitizer's red zones and its quarantine of freed blocks, and
// ThreadSanitizer's shadow memory, add to every allocation; still well below
// what keeping a 10 MB answer would cost under each.
#if defined(__SANITIZE_THREAD__)
constexpr long kPeakGrowthLimitKiB = 16 * 1024;
#elif defined(__SANITIZE_ADDRESS__)
constexpr long kPeakGrowthLimitKiB = 12 * 1024;
#else
constexpr long kPeakGrowthLimitKiB = 4 * 1024;
#endif

using namespace std::chrono_literals;
using Connection = HostileServer::Connection;
using Script = HostileServer::Script;

enum class Source { Whois, WebWhois, Rdap, UpdateRecord };

// Short waits for the test; production keeps its own.
constexpr int kHttpTimeoutSeconds = 1;
WhoisTimeouts quickWhois() {
  WhoisTimeouts timeouts{1000, 1000, 1000, 2};
  timeouts.exchangeMs = 2500;
  return timeouts;
}

// How long a lookup may take at most, all attempts and time-outs spent.
std::chrono::milliseconds deadlineOf(Source source) {
  switch (source) {
    case Source::Whois:
      return std::chrono::milliseconds(quickWhois().attempts * quickWhois().exchangeMs);
    case Source::UpdateRecord:
      return std::chrono::seconds(3 * kUpdateTimeoutSeconds);
    default:
      return std::chrono::seconds(3 * kHttpTimeoutSeconds);
  }
}

const char* domainFor(Source source) {
  switch (source) {
    case Source::Whois:
      return "example.com";
    case Source::Rdap:
      return "example.info";
    default:
      return "example.top";
  }
}

std::string httpHead(int status, const std::string& extra = {}) {
  return "HTTP/1.1 " + std::to_string(status) + " X\r\nConnection: close\r\n" + extra + "\r\n";
}
std::string httpAnswer(int status, const std::string& body, const std::string& extra = {}) {
  return httpHead(status, "Content-Length: " + std::to_string(body.size()) + "\r\n" + extra) + body;
}

// What a well-behaved server of each source answers.
std::string goodBody(Source source, const std::string& hostPort) {
  switch (source) {
    case Source::Whois:
      return "   Domain Name: EXAMPLE.COM\r\n   Creation Date: 1995-08-14T04:00:00Z\r\n"
             "   Registry Expiry Date: 2026-08-13T04:00:00Z\r\n";
    case Source::WebWhois:
      return R"({"code":"200","regdate":"2011-01-02 00:00:00","expdate":"2031-01-02 00:00:00"})";
    case Source::Rdap:
      return R"({"objectClassName":"domain","events":[)"
             R"({"eventAction":"registration","eventDate":"2011-01-02T00:00:00Z"},)"
             R"({"eventAction":"expiration","eventDate":"2031-01-02T00:00:00Z"}]})";
    case Source::UpdateRecord:
      return "9.9|http://" + hostPort + "/pelmora/#down|news|http://" + hostPort +
             "/pelmora/d.html";
  }
  return {};
}
std::string goodResult(Source source) {
  switch (source) {
    case Source::Whois:
      return "1995-08-14|2026-08-13";
    case Source::UpdateRecord:
      return "9.9|http://" + siteHost() + "/pelmora/#down|news|http://" + siteHost() +
             "/pelmora/d.html";
    default:
      return "2011-01-02|2031-01-02";
  }
}

// The whole answer on the wire: WHOIS text as it is, HTTP bodies in a 200.
std::string goodAnswer(Source source, const std::string& hostPort) {
  const std::string body = goodBody(source, hostPort);
  return source == Source::Whois ? body : httpAnswer(200, body);
}

std::string garbage(std::size_t bytes) {
  std::mt19937 random(14);
  std::string text(bytes, '\0');
  for (char& c : text) c = static_cast<char>(random());
  return text;
}

// Field names where the source looks, junk where the dates belong.
std::string junkDates(Source source, const std::string& hostPort) {
  const std::string junk = "\x01\xff\xfe" + garbage(40);
  switch (source) {
    case Source::Whois:
      return "Domain Name: X.COM\r\nCreation Date: " + junk + "T\r\nRegistry Expiry Date: 99-x" +
             junk + "T\r\n";
    case Source::WebWhois:
      return httpAnswer(200, R"({"code":"200","regdate":"later","expdate":"2031-13-45"})");
    case Source::Rdap:
      return httpAnswer(200, R"({"events":[{"eventAction":"registration","eventDate":"soon"},)"
                             R"({"eventAction":"expiration","eventDate":[1,2]}]})");
    case Source::UpdateRecord:
      return httpAnswer(200, "9.9|" + junk + "|" + hostPort + "|\xff\xfe");
  }
  return {};
}

struct Case {
  std::string name;
  std::vector<Source> sources;
  // The answer, given the source and the server's host:port.
  std::function<void(Source, const Connection&)> script;
  std::string failure = std::string(kLookupNoAnswer);  // date sources' outcome
};

const std::vector<Source> kAll{Source::Whois, Source::WebWhois, Source::Rdap, Source::UpdateRecord};
const std::vector<Source> kHttp{Source::WebWhois, Source::Rdap, Source::UpdateRecord};
const std::vector<Source> kJson{Source::WebWhois, Source::Rdap};
constexpr std::size_t kTenMegabytes = std::size_t{10} << 20;

void sendStatus(Source source, const Connection& c, int status, bool withBody) {
  // The body a well-behaved server would send with 200.
  c.send(withBody ? httpAnswer(status, goodBody(source, c.hostPort()))
                  : httpHead(status, "Content-Length: 0\r\n"));
}

std::vector<Case> cases() {
  std::vector<Case> all{
      {"TenMegabytes", kAll,
       [](Source s, const Connection& c) {
         // A valid-looking start, then far more than any cap allows, unannounced.
         // (WHOIS keeps its first 20,480 bytes as the answer: dates there would count.)
         const std::string start = goodBody(s, c.hostPort());
         if (s != Source::Whois) c.send(httpHead(200));
         if (c.send(start.substr(0, start.find('\n') + 1))) c.sendFilled('x', kTenMegabytes);
       }},
      {"TenMegabytesAnnounced", kHttp,
       [](Source, const Connection& c) {
         if (c.send(httpHead(200, "Content-Length: " + std::to_string(kTenMegabytes) + "\r\n"))) {
           c.sendFilled('[', kTenMegabytes);
         }
       }},
      {"NeverCloses", kAll,
       [](Source s, const Connection& c) {
         const std::string answer = goodAnswer(s, c.hostPort());
         if (c.send(answer.substr(0, answer.size() * 2 / 3))) c.holdOpen();
       }},
      {"OneBytePerSecond", kAll,
       [](Source s, const Connection& c) { c.drip(goodAnswer(s, c.hostPort()), 1000); }},
      {"ResetMidAnswer", kAll,
       [](Source s, const Connection& c) {
         const std::string answer = goodAnswer(s, c.hostPort());
         // Long enough to hold the WHOIS creation date.
         c.send(answer.substr(0, answer.size() * 2 / 3));
         c.pause(200);
         c.resetOnClose();
       }},
      {"GarbageReply", kAll, [](Source, const Connection& c) { c.send(garbage(65536)); }},
      {"GarbageBody", kHttp,
       [](Source, const Connection& c) { c.send(httpAnswer(200, garbage(65536))); }},
      {"JunkWhereTheDatesBelong", kAll,
       [](Source s, const Connection& c) { c.send(junkDates(s, c.hostPort())); }},
      {"RedirectLoop", kHttp,
       [](Source, const Connection& c) {
         c.send(httpAnswer(302, "", "Location: http://" + c.hostPort() + "/loop\r\n"));
       }},
      {"UnclosedNesting", kJson,
       [](Source, const Connection& c) { c.send(httpAnswer(200, std::string(100000, '['))); }},
      {"BalancedNesting", kJson,
       [](Source, const Connection& c) {
         c.send(httpAnswer(200, std::string(100000, '[') + std::string(100000, ']')));
       }},
      {"EmptyAnswer", kAll, [](Source, const Connection&) {}},
  };
  for (const int status : {404, 429, 500}) {
    for (const bool withBody : {false, true}) {
      Case c{"Status" + std::to_string(status) + (withBody ? "WithBody" : "Bare"), kHttp,
             [status, withBody](Source s, const Connection& conn) {
               sendStatus(s, conn, status, withBody);
             }};
      if (status == 429) c.failure = std::string(kLookupQueryLimit);
      all.push_back(std::move(c));
    }
  }
  return all;
}

struct Param {
  Source source;
  Case hostility;
};

std::string sourceName(Source source) {
  switch (source) {
    case Source::Whois:
      return "Whois";
    case Source::WebWhois:
      return "WebWhois";
    case Source::Rdap:
      return "Rdap";
    case Source::UpdateRecord:
      return "UpdateRecord";
  }
  return {};
}

std::vector<Param> params() {
  std::vector<Param> all;
  // A well-behaved server first: the harness itself can tell success.
  for (const Source source : kAll) {
    all.push_back(
        {source, Case{"WellBehaved", kAll,
                      [](Source s, const Connection& c) { c.send(goodAnswer(s, c.hostPort())); },
                      goodResult(source)}});
  }
  for (const Case& hostility : cases()) {
    for (const Source source : hostility.sources) all.push_back({source, hostility});
  }
  return all;
}

// Peak resident memory of this process, in KiB; reset first when the kernel
// allows it, so that the peak is this lookup's.
long peakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}
void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

std::string lookUp(Source source, const HostileServer& server) {
  switch (source) {
    case Source::Whois: {
      ScopedEnv env("PELMORA_WHOIS_SERVER", server.hostPort());
      return queryWhois(domainFor(source), quickWhois());
    }
    case Source::WebWhois: {
      ScopedEnv env("PELMORA_WEBWHOIS_HOST", server.hostPort());
      return queryWebWhois(domainFor(source), kFresh, nullptr, kHttpTimeoutSeconds);
    }
    case Source::Rdap:
      return queryRdap(domainFor(source), "http://" + server.hostPort() + "/", nullptr,
                       kHttpTimeoutSeconds);
    case Source::UpdateRecord:
      return fetchUpdateText();
  }
  return {};
}

class HostileServers : public DatabaseTest, public ::testing::WithParamInterface<Param> {
 protected:
  static void SetUpTestSuite() {
    // Library start-up (curl, its TLS) is paid before any memory is measured.
    FakeHttpServer warm(
        [](const FakeHttpServer::Request&) { return FakeHttpServer::response(200, "{}"); });
    HttpRequest request;
    request.url = "http://" + warm.hostPort() + "/";
    httpRequest(request);
  }

  std::pair<std::string, std::string> storedDates() {
    std::pair<std::string, std::string> dates{"none", "none"};
    EXPECT_TRUE(db().query("SELECT 注册时间, 到期时间 FROM 域名", {}, [&](const SqlRow& row) {
      dates = {row.asText(0), row.asText(1)};
    }));
    return dates;
  }
};

TEST_P(HostileServers, LookupEndsInTimeWithTheRightOutcome) {
  const Source source = GetParam().source;
  const Case& hostility = GetParam().hostility;
  HostileServer server(
      source == Source::Whois ? HostileServer::Reads::WhoisLine : HostileServer::Reads::HttpHead,
      [&](const Connection& c) { hostility.script(source, c); });
  ScopedEnv site("PELMORA_SITE_HOST", server.hostPort());

  resetPeakResident();
  const long peakBefore = peakResidentKiB();
  const auto started = std::chrono::steady_clock::now();
  const std::string result = lookUp(source, server);
  const auto elapsed = std::chrono::steady_clock::now() - started;
  const long peakAfter = peakResidentKiB();

  // A correctness bound with generous slack, not a speed measure.
  EXPECT_LT(elapsed, deadlineOf(source) + 5s);
  ASSERT_GT(peakBefore, 0);
  // Kept at most: the 1 MiB body cap (twice, as a string grows), the WHOIS
  // limit, the parsed JSON of such a body; far below the 10 MB sent.
  EXPECT_LT(peakAfter - peakBefore, kPeakGrowthLimitKiB) << "KiB";

  if (source == Source::UpdateRecord) {
    EXPECT_EQ(result, hostility.name == "WellBehaved" ? goodResult(source) : defaultUpdateText());
    return;
  }
  EXPECT_EQ(result, hostility.failure);

  // The date update stores nothing for a failure.
  add({makeDomain(domainFor(source), {{DomainField::RegisteredOn, "2000-01-01"},
                                      {DomainField::ExpiresOn, "2001-01-01"}})});
  const auto before = storedDates();
  const RowDateUpdate update = storeLookupResult(db(), domainFor(source), result);
  if (hostility.name == "WellBehaved") {
    EXPECT_TRUE(update.success);
    EXPECT_NE(storedDates(), before);
  } else {
    EXPECT_FALSE(update.success);
    EXPECT_EQ(storedDates(), before);
  }
}

INSTANTIATE_TEST_SUITE_P(EverySource, HostileServers, ::testing::ValuesIn(params()),
                         [](const ::testing::TestParamInfo<Param>& info) {
                           return sourceName(info.param.source) + "_" + info.param.hostility.name;
                         });

// Only the registry's own error object means "not registered".
TEST(HostileRdap, NotRegisteredOnlyForTheRegistryErrorObject) {
  struct StatusCase {
    std::string answer;
    std::string result;
  };
  const std::string errorObject = R"({"errorCode":404,"title":"Not Found"})";
  for (const StatusCase& c :
       {StatusCase{httpAnswer(404, errorObject, "Content-Type: application/rdap+json\r\n"),
                   std::string(kLookupNotRegistered)},
        StatusCase{httpAnswer(404, errorObject), std::string(kLookupNotRegistered)},
        StatusCase{httpAnswer(404, "<html>not here</html>", "Content-Type: text/html\r\n"),
                   std::string(kLookupNoAnswer)},
        StatusCase{httpAnswer(404, R"({"errorCode":"500"})"), std::string(kLookupNoAnswer)}}) {
    HostileServer server(HostileServer::Reads::HttpHead,
                         [&](const Connection& conn) { conn.send(c.answer); });
    EXPECT_EQ(queryRdap("example.info", "http://" + server.hostPort() + "/", nullptr,
                        kHttpTimeoutSeconds),
              c.result)
        << c.answer;
  }
}

// The date update as the program runs it (route, default waits) against
// servers that fail fast: nothing is stored.
TEST(HostileDateUpdate, RoutedLookupsStoreNothing) {
  TempFolder folder;
  auto db = openCurrentDatabase(folder.file("domain.mdb"));
  ASSERT_TRUE(db);
  std::vector<DomainRecord> records;
  for (const Source source : {Source::Whois, Source::WebWhois, Source::Rdap}) {
    records.push_back(testDomain(domainFor(source), {{DomainField::RegisteredOn, "2000-01-01"},
                                                     {DomainField::ExpiresOn, "2001-01-01"}}));
  }
  ASSERT_EQ(insertDomains(*db, records).failed, 0u);
  const auto dates = [&] {
    std::vector<std::string> all;
    EXPECT_TRUE(db->query(
        "SELECT 域名, 注册时间, 到期时间 FROM 域名 ORDER BY 域名", {},
        [&](const SqlRow& row) { all.push_back(row.asText(0) + row.asText(1) + row.asText(2)); }));
    return all;
  };
  const auto before = dates();
  ASSERT_EQ(before.size(), 3u);

  for (const Case& hostility : cases()) {
    if (hostility.name == "NeverCloses" || hostility.name == "OneBytePerSecond") {
      continue;  // these wait out the full production deadlines
    }
    for (const Source source : {Source::Whois, Source::WebWhois, Source::Rdap}) {
      if (std::find(hostility.sources.begin(), hostility.sources.end(), source) ==
          hostility.sources.end()) {
        continue;
      }
      HostileServer server(source == Source::Whois ? HostileServer::Reads::WhoisLine
                                                   : HostileServer::Reads::HttpHead,
                           [&](const Connection& c) { hostility.script(source, c); });
      ScopedEnv whois("PELMORA_WHOIS_SERVER", server.hostPort());
      ScopedEnv web("PELMORA_WEBWHOIS_HOST", server.hostPort());
      ScopedEnv rdap("PELMORA_RDAP_BASE", "http://" + server.hostPort() + "/");
      const std::string domain = domainFor(source);
      const DateLookupResult result = lookupDomainDates(domain, kFresh);
      EXPECT_EQ(result, hostility.failure) << hostility.name << " " << domain;
      EXPECT_FALSE(storeLookupResult(*db, domain, result).success) << hostility.name;
    }
  }
  EXPECT_EQ(dates(), before);
}

}  // namespace
}  // namespace pelmora::testing
