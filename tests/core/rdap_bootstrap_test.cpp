#include "lookup/rdap_bootstrap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "fake_servers.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using namespace std::chrono_literals;

const std::string kSmallBootstrap =
    R"({"services":[[["UK","example"],["http://a.test/rdap","https://a.test/rdap"]],)"
    R"([["co.uk"],["https://b.test/"]],[["kg"],["http://kg.test/"]]]})";

struct BaseCase {
  const char* name;
  std::optional<std::string> base;
};

// Longest label suffix, in any case, https preferred, a trailing "/" added;
// the copy built into the program answers for the registries it lists.
TEST(RdapBootstrap, TheLongestLabelSuffixNamesTheServer) {
  const auto small = RdapBootstrap::parse(kSmallBootstrap);
  ASSERT_TRUE(small) << small.error();
  for (const BaseCase& c : {BaseCase{"x.co.uk", "https://b.test/"},
                            {"X.CO.UK.", "https://b.test/"},
                            {"x.uk", "https://a.test/rdap/"},
                            {".uk", "https://a.test/rdap/"},
                            {"a.b.example", "https://a.test/rdap/"},
                            {"x.kg", "http://kg.test/"},
                            {"co.ukx", std::nullopt},
                            {"x.fr", std::nullopt},
                            {"", std::nullopt}}) {
    EXPECT_EQ(small->baseUrlFor(c.name), c.base) << c.name;
  }
  const RdapBootstrap& bundled = bundledRdapBootstrap();
  EXPECT_EQ(bundled.publication(), "2026-07-23T02:00:03Z");
  EXPECT_EQ(bundled.baseUrlFor("example.com"), "https://rdap.verisign.com/com/v1/");
  EXPECT_EQ(bundled.baseUrlFor("example.info"), "https://rdap.identitydigital.services/rdap/");
  EXPECT_EQ(bundled.baseUrlFor("example.cn"), std::nullopt);
}

TEST(RdapBootstrap, TextsThatAreNoBootstrapFileAreRefused) {
  for (const char* text :
       {"", "[]", "{}", R"({"services":{}})", R"({"services":[]})",
        R"({"services":[[["com"],[]]]})", R"({"services":[[["com"],["ftp://x/"]]]})",
        R"({"services":[[[1],["https://x/"]]]})", R"({"services":[["com","x"]]})"}) {
    EXPECT_FALSE(RdapBootstrap::parse(text)) << text;
  }
  EXPECT_FALSE(RdapBootstrap::parse(std::string(kRdapBootstrapCap + 1, ' ')));
}

// The copy is fetched into the cache folder at most once a week; a bad answer
// leaves the cached copy as it was.
TEST(RdapBootstrap, ARefreshFetchesWeeklyAndKeepsAGoodCopy) {
  TempFolder folder;
  std::string served = kSmallBootstrap;
  int status = 200;
  FakeHttpServer iana([&](const FakeHttpServer::Request& request) {
    EXPECT_EQ(request.line(), "GET /rdap/dns.json HTTP/1.1");
    return FakeHttpServer::response(status, served, "Content-Type: application/json\r\n");
  });
  ScopedEnv cache("XDG_CACHE_HOME", folder.path().string());
  ScopedEnv base("PELMORA_IANA_BASE", "http://127.0.0.1:" + std::to_string(iana.port()) + "/rdap/");
  EXPECT_EQ(rdapBootstrapCacheFile(), folder.path() / "pelmora" / "iana-rdap-dns.json");
  EXPECT_EQ(currentRdapBootstrap().baseUrlFor("a.example"), std::nullopt);  // the bundled copy

  const auto now = std::chrono::system_clock::now();
  std::string error;
  EXPECT_EQ(refreshRdapBootstrap(now, &error), BootstrapRefresh::Refreshed) << error;
  EXPECT_EQ(currentRdapBootstrap().baseUrlFor("a.example"), "https://a.test/rdap/");
  EXPECT_EQ(refreshRdapBootstrap(now + 6 * 24h), BootstrapRefresh::StillFresh);
  EXPECT_EQ(iana.requests().size(), 1u);

  for (const auto& [answer, code] :
       {std::pair{std::string("<html>not json</html>"), 200},
        std::pair{std::string(R"({"services":[]})"), 200}, std::pair{kSmallBootstrap, 404}}) {
    served = answer;
    status = code;
    EXPECT_EQ(refreshRdapBootstrap(now + 8 * 24h, &error), BootstrapRefresh::Failed) << answer;
    EXPECT_EQ(currentRdapBootstrap().baseUrlFor("a.example"), "https://a.test/rdap/") << answer;
  }
  std::ofstream(rdapBootstrapCacheFile()) << "damaged";
  EXPECT_EQ(currentRdapBootstrap().baseUrlFor("example.com"), "https://rdap.verisign.com/com/v1/");
}

}  // namespace
}  // namespace pelmora::testing
