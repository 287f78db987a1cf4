#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "cli/command_line.h"
#include "fake_servers.h"
#include "lookup/iana_whois.h"
#include "store/date_store.h"
#include "store/domain_lookup.h"
#include "support/text_helpers.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

class CliLookupTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    whoisEnv_ = std::make_unique<ScopedEnv>("PELMORA_WHOIS_SERVER", whois_.hostPort());
    webEnv_ = std::make_unique<ScopedEnv>("PELMORA_WEBWHOIS_HOST", web_.hostPort());
  }
  void TearDown() override {
    webEnv_.reset();
    whoisEnv_.reset();
  }
  int update(const std::vector<std::string>& args) {
    out_.str({});
    err_.str({});
    std::vector<std::string> line{"update-dates"};
    line.insert(line.end(), args.begin(), args.end());
    return cli::runCommandLine(line, Clock::system(), out_, err_, &db());
  }
  static int lookup(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    args.insert(args.begin(), "lookup");
    return cli::runCommandLine(args, Clock::system(), out, err);
  }

  FakeWhoisServer whois_{
      {{{"Domain Name: A.COM\r\nCreation Date: 2001-02-03T00:00:00Z\r\n"
         "Registry Expiry Date: 2031-02-03T00:00:00Z\r\n"}}}};
  FakeHttpServer web_{[](const FakeHttpServer::Request& r) {
    return FakeHttpServer::response(200, r.line().find("refresh=1") != std::string::npos
                                             ? R"({"code":100})"
                                             : R"({"code":300})");
  }};
  std::unique_ptr<ScopedEnv> whoisEnv_;
  std::unique_ptr<ScopedEnv> webEnv_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CliLookupTest, LookupPrintsTheResult) {
  std::ostringstream out, err;
  EXPECT_EQ(lookup({"a.com"}, out, err), 0);
  EXPECT_EQ(out.str(), "2001-02-03|2031-02-03\n");
  out.str({});
  EXPECT_EQ(lookup({"a.top", "--fresh"}, out, err), 0);
  EXPECT_EQ(out.str(), "未注册\n");
  out.str({});
  EXPECT_EQ(lookup({"a.top"}, out, err), 1);
  EXPECT_EQ(out.str(), "超过查询次数\n");
  EXPECT_EQ(lookup({}, out, err), 2);
  EXPECT_EQ(lookup({"a.com", "b.com"}, out, err), 2);
}

// a.top: the web service is over its limit, the registry's RDAP server has
// no answer, IANA names the registry's WHOIS server, which answers.
TEST_F(CliLookupTest, EachSourceChoiceAsksItsSourcesInTurn) {
  TempFolder cache;
  ScopedEnv cacheEnv("XDG_CACHE_HOME", cache.path().string());
  clearIanaWhoisMemory();
  FakeWhoisServer iana{{{{"domain:       TOP\r\nrefer:        whois.nic.top\r\n"}}}};
  ScopedEnv ianaEnv("PELMORA_IANA_WHOIS", iana.hostPort());
  FakeHttpServer rdap{
      [](const FakeHttpServer::Request&) { return FakeHttpServer::response(500, ""); }};
  ScopedEnv rdapEnv("PELMORA_RDAP_BASE", "http://" + rdap.hostPort() + "/");
  struct Case {
    std::string source;
    std::string printed;
    std::size_t webAsked, rdapAsked, whoisAsked;
  };
  for (const Case& c : {Case{"service", "超过查询次数\n", 1, 0, 0},
                        Case{"auto", "2001-02-03|2031-02-03\n", 1, 1, 1},
                        Case{"registry", "2001-02-03|2031-02-03\n", 0, 1, 1}}) {
    const auto web = web_.requests().size(), rdapBefore = rdap.requests().size(),
               whois = whois_.queries().size();
    std::ostringstream out, err;
    EXPECT_EQ(lookup({"a.top", "--source", c.source}, out, err), c.source == "service" ? 1 : 0);
    EXPECT_EQ(out.str(), c.printed) << c.source;
    EXPECT_EQ(web_.requests().size() - web, c.webAsked) << c.source;
    EXPECT_EQ(rdap.requests().size() - rdapBefore, c.rdapAsked) << c.source;
    EXPECT_EQ(whois_.queries().size() - whois, c.whoisAsked) << c.source;
  }
  EXPECT_EQ(iana.queries(), std::vector<std::string>{"top\r\n"});  // learnt once
}

TEST_F(CliLookupTest, CoverageNamesEachSuffixsSourcesAndWhatIsAnswered) {
  add({makeDomain("a.com"), makeDomain("b.top"), makeDomain("c.top")});
  ASSERT_TRUE(storeDomainDates(db(), "c.top", std::nullopt, *parseDate("2030-01-01"),
                               {Clock::system().nowUtc(), "web", ""})
                  .ok);
  std::ostringstream out, err;
  EXPECT_EQ(cli::runCommandLine({"coverage", "--format", "csv"}, Clock::system(), out, err, &db()),
            0)
      << err.str();
  EXPECT_EQ(out.str(),
            "后缀,域名数,查询来源,30天内有答复,从未答复\r\n"
            "com,1,WHOIS 127.0.0.1,0,a.com\r\n"
            "top,2,网页查询 " +
                web_.hostPort() + " > RDAP http://127.0.0.1:9/ > WHOIS (IANA),1,b.top\r\n");
}

TEST_F(CliLookupTest, UpdateDatesStoresAndReportsEachDomain) {
  add({makeDomain("a.com"), makeDomain("b.top")});
  EXPECT_EQ(update({"a.com", "b.top", "missing.com"}), 1);
  // A name the list lacks is reported first; the others as their servers
  // answer, each server on its own.
  std::vector<std::string> lines = splitText(out_.str(), "\n");
  ASSERT_EQ(lines.size(), 5u) << out_.str();
  EXPECT_EQ(lines[0], "提示: [ missing.com] 不在域名列表中.");
  std::sort(lines.begin() + 1, lines.begin() + 3);
  EXPECT_EQ(lines[1], "提示: [ a.com] 获取时间完毕.");
  EXPECT_EQ(lines[2], "提示: [ b.top] 超过当日查询次数,请换ip再查询!");
  EXPECT_EQ(lines[3], "共查询 [3] 个域名的时间, 成功 [1] 个, 失败 [2] 个.");
  EXPECT_EQ(db().scalar("SELECT 到期时间 FROM 域名 WHERE 域名='a.com'"),
            SqlValue(std::string("2031-02-03")));

  // No domains: the filtered listing, here every .top domain.
  EXPECT_EQ(update({"--fresh", "--suffix", "top"}), 0);
  EXPECT_EQ(out_.str(),
            "提示: [ b.top] 获取时间完毕.\n共查询 [1] 个域名的时间, 恭喜您,全部更新成功!\n");
  EXPECT_EQ(db().scalar("SELECT 注册时间 FROM 域名 WHERE 域名='b.top'"),
            SqlValue(std::string("2222-11-11")));

  EXPECT_EQ(update({"a.com", "--suffix", "top"}), 2);
  EXPECT_EQ(update({"--sold", "maybe"}), 2);
  EXPECT_FALSE(err_.str().empty());
}

TEST_F(CliLookupTest, AnInterruptedUpdateEndsAfterTheCurrentDomainAndSaysWhatItDid) {
  add({makeDomain("b.top"), makeDomain("c.top")});
  FakeHttpServer interrupting([](const FakeHttpServer::Request&) {
    ::kill(::getpid(), SIGINT);  // Ctrl+C while the first domain is looked up
    return FakeHttpServer::response(200, R"({"code":100})");
  });
  ScopedEnv web("PELMORA_WEBWHOIS_HOST", interrupting.hostPort());
  EXPECT_EQ(update({"b.top", "c.top"}), 1);
  EXPECT_EQ(out_.str(),
            "提示: [ b.top] 获取时间完毕.\n"
            "已取消: 共 [2] 个域名, 成功 [1] 个, 失败 [0] 个, 未查询 [1] 个.\n");
  EXPECT_EQ(interrupting.requests().size(), 1u);
}

// The names the web service was asked about, sorted.
std::vector<std::string> askedDomains(FakeHttpServer& server) {
  std::vector<std::string> names;
  for (const FakeHttpServer::Request& request : server.requests()) {
    const std::string line = request.line();
    const std::size_t from = line.find("domain=") + 7;
    names.push_back(line.substr(from, line.find('&', from) - from));
  }
  std::sort(names.begin(), names.end());
  return names;
}

// a.top was answered a moment ago; the others never were.
TEST_F(CliLookupTest, UpdateDatesDueGoesOnWhereAnInterruptedRunEnded) {
  add({makeDomain("a.top"), makeDomain("b.top"), makeDomain("c.top"), makeDomain("d.top")});
  ASSERT_TRUE(db().run("UPDATE 域名 SET 最后查询=datetime('now') WHERE 域名='a.top'"));
  FakeHttpServer interrupting([](const FakeHttpServer::Request&) {
    ::kill(::getpid(), SIGINT);
    return FakeHttpServer::response(200, R"({"code":100})");
  });
  FakeHttpServer answering([](const FakeHttpServer::Request&) {
    return FakeHttpServer::response(200, R"({"code":100})");
  });
  {
    ScopedEnv web("PELMORA_WEBWHOIS_HOST", interrupting.hostPort());
    EXPECT_EQ(update({"--due"}), 1);
  }
  EXPECT_EQ(askedDomains(interrupting), std::vector<std::string>{"b.top"});
  EXPECT_EQ(out_.str(),
            "提示: [ b.top] 获取时间完毕.\n"
            "已取消: 共 [3] 个域名, 成功 [1] 个, 失败 [0] 个, 未查询 [2] 个.\n");
  ScopedEnv web("PELMORA_WEBWHOIS_HOST", answering.hostPort());
  EXPECT_EQ(update({"--due"}), 0);
  EXPECT_EQ(askedDomains(answering), (std::vector<std::string>{"c.top", "d.top"}));
}

TEST_F(CliLookupTest, UpdateDatesLooksUpTheStoredSpelling) {
  add({makeDomain("a.com")});
  EXPECT_EQ(update({"A.COM"}), 0);
  EXPECT_EQ(out_.str(),
            "提示: [ a.com] 获取时间完毕.\n"
            "共查询 [1] 个域名的时间, 恭喜您,全部更新成功!\n");
  EXPECT_EQ(db().scalar("SELECT 到期时间 FROM 域名 WHERE 域名='a.com'"),
            SqlValue(std::string("2031-02-03")));
}

TEST_F(CliLookupTest, UpdateDatesRefusesPagingAndSorting) {
  add({makeDomain("a.com")});
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--page", "2"},
                                               {"--page-size", "10"},
                                               {"--sort", "域名"},
                                               {"--suffix", "com", "--sort", "域名"}}) {
    EXPECT_EQ(update(args), 2) << args[0];
    EXPECT_NE(err_.str().find("does not apply"), std::string::npos) << args[0];
    EXPECT_TRUE(out_.str().empty()) << args[0];
  }
  EXPECT_EQ(db().scalar("SELECT 到期时间 FROM 域名 WHERE 域名='a.com'"), SqlValue());
}

// Records what had been written each time the stream was flushed.
class FlushRecorder : public std::stringbuf {
 public:
  std::vector<std::string> flushed;

 protected:
  int sync() override {
    flushed.push_back(str());
    return std::stringbuf::sync();
  }
};

TEST_F(CliLookupTest, UpdateDatesFlushesEveryStatusLine) {
  add({makeDomain("a.com"), makeDomain("b.top")});
  FlushRecorder recorder;
  std::ostream out(&recorder);
  std::ostringstream err;
  EXPECT_EQ(cli::runCommandLine({"update-dates", "a.com", "missing.com"}, Clock::system(), out, err,
                                &db()),
            1);
  const std::string first = "提示: [ missing.com] 不在域名列表中.\n";
  const std::string second = first + "提示: [ a.com] 获取时间完毕.\n";
  // (and once more when the command line ends)
  ASSERT_GE(recorder.flushed.size(), 3u);
  EXPECT_EQ(recorder.flushed[0], first);
  EXPECT_EQ(recorder.flushed[1], second);
  EXPECT_EQ(recorder.flushed[2], recorder.str());
}

TEST_F(CliLookupTest, EchoedNamesShowControlsEscaped) {
  EXPECT_EQ(update({"evil\x1b]0;owned\a.com"}), 1);
  EXPECT_EQ(out_.str().substr(0, out_.str().find('\n')),
            "提示: [ evil\\x1B]0;owned\\x07.com] 不在域名列表中.");
  std::ostringstream out, err;
  EXPECT_EQ(lookup({"a.com", "\u202Emoc.b"}, out, err), 2);
  EXPECT_EQ(err.str(), "pelmora-cli lookup: unexpected \\u202Emoc.b\n");
}

TEST_F(CliLookupTest, StoredDomainNameIgnoresCaseAndTellsFailureApart) {
  add({makeDomain("Mixed.Com")});
  const StoredDomainName found = storedDomainName(db(), "mIXED.cOM");
  EXPECT_TRUE(found.ok);
  EXPECT_EQ(found.name, "Mixed.Com");
  const StoredDomainName missing = storedDomainName(db(), "it's.com");
  EXPECT_TRUE(missing.ok);
  EXPECT_FALSE(missing.name);

  ASSERT_TRUE(db().run("DROP TABLE 域名"));
  const StoredDomainName failed = storedDomainName(db(), "mixed.com");
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(failed.name);
  EXPECT_FALSE(failed.error.empty());
  EXPECT_EQ(update({"mixed.com"}), 2);
  EXPECT_FALSE(err_.str().empty());
}

}  // namespace
}  // namespace pelmora::testing
