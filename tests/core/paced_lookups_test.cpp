#include "lookup/paced_lookups.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "fake_servers.h"
#include "lookup/rdap_bootstrap.h"
#include "support/http_request.h"

namespace pelmora::testing {
namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kDates = "2002-02-02|2032-02-02";
const std::string kRdapDates = FakeHttpServer::response(
    200, R"({"events":[{"eventAction":"registration","eventDate":"2002-02-02T00:00:00Z"},)"
         R"({"eventAction":"expiration","eventDate":"2032-02-02T00:00:00Z"}]})");
const std::string kWebDates = FakeHttpServer::response(
    200, R"({"code":"200","regdate":"2002-02-02","expdate":"2032-02-02"})");

// An arrival lags its request's start by the connection's set-up, which varies
// by tens of milliseconds on a busy machine or under a sanitizer.
constexpr auto kArrivalJitter = 40ms;

// How many requests the fakes were serving at the same time, at most.
struct Overlap {
  std::mutex mutex;
  int now = 0;
  int most = 0;
};

// An HTTP fake noting when each request arrives; `answer(n)` is the reply to
// its n-th request. Each reply takes 10 ms, so that servers asked at once
// are seen serving at once.
class TimedServer {
 public:
  TimedServer(Overlap& overlap, std::function<std::string(std::size_t)> answer)
      : overlap_(overlap), answer_(std::move(answer)) {}

  std::string base() const { return "http://" + server_.hostPort() + "/"; }
  std::string host() const { return server_.hostPort(); }
  std::vector<Steady::time_point> arrivals() {
    std::lock_guard lock(mutex_);
    return arrivals_;
  }

 private:
  std::string serve() {
    std::size_t n = 0;
    {
      std::lock_guard lock(mutex_);
      n = arrivals_.size();
      arrivals_.push_back(Steady::now());
    }
    {
      std::lock_guard lock(overlap_.mutex);
      overlap_.most = std::max(overlap_.most, ++overlap_.now);
    }
    std::this_thread::sleep_for(10ms);
    std::lock_guard lock(overlap_.mutex);
    --overlap_.now;
    return answer_(n);
  }

  Overlap& overlap_;
  std::function<std::string(std::size_t)> answer_;
  std::mutex mutex_;
  std::vector<Steady::time_point> arrivals_;
  FakeHttpServer server_{[this](const FakeHttpServer::Request&) { return serve(); }};
};

std::function<std::string(std::size_t)> always(const std::string& reply) {
  return [reply](std::size_t) { return reply; };
}

// A bootstrap sending each top-level domain to its server.
RdapBootstrap bootstrapOf(const std::vector<std::pair<std::string, const TimedServer*>>& tlds) {
  std::string services;
  for (const auto& [tld, server] : tlds) {
    if (!services.empty()) services += ",";
    services += R"([[")" + tld + R"("],[")" + server->base() + R"("]])";
  }
  return RdapBootstrap::parse(R"({"services":[)" + services + "]}").value();
}

struct Finished {
  SourcedLookup outcome;
  Steady::time_point at;
  int calls = 0;
};

class PacedLookupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The registry's RDAP servers come from each test's own bootstrap.
    ::unsetenv("PELMORA_RDAP_BASE");
    // libcurl is loaded at the first request; loaded here, it does not delay
    // the first arrivals the tests compare.
    HttpRequest warmUp;
    warmUp.url = "http://127.0.0.1:9/";
    (void)httpRequest(warmUp);
  }

  std::vector<Finished> run(const std::vector<std::string>& domains, const RdapBootstrap& bootstrap,
                            const PacedRunOptions& options) {
    std::vector<Finished> done(domains.size());
    runPacedLookups(domains, bootstrap, options, [&](std::size_t i, const SourcedLookup& outcome) {
      done[i] = {outcome, Steady::now(), done[i].calls + 1};
    });
    for (std::size_t i = 0; i < domains.size(); ++i) {
      EXPECT_EQ(done[i].calls, 1) << domains[i];
      EXPECT_EQ(done[i].outcome.result, kDates) << domains[i];
    }
    return done;
  }

  Overlap overlap_;
};

TEST_F(PacedLookupsTest, EachServerIsPacedWhileSeveralAreAskedAtOnce) {
  TimedServer web(overlap_, always(kWebDates));
  TimedServer info(overlap_, always(kRdapDates));
  TimedServer biz(overlap_, always(kRdapDates));
  TimedServer name(overlap_, always(kRdapDates));
  ScopedEnv webEnv("PELMORA_WEBWHOIS_HOST", web.host());
  std::vector<std::string> domains;
  for (int i = 0; i < 6; ++i) {
    for (const char* tld : {"top", "info", "biz", "name"}) {
      domains.push_back("d" + std::to_string(i) + "." + tld);
    }
  }
  PacedRunOptions options;
  options.pace = 150ms;
  options.rdapPace = 100ms;
  run(domains, bootstrapOf({{"info", &info}, {"biz", &biz}, {"name", &name}}), options);

  for (auto [server, pace] : {std::pair{&web, options.pace},
                              {&info, options.rdapPace},
                              {&biz, options.rdapPace},
                              {&name, options.rdapPace}}) {
    const auto arrivals = server->arrivals();
    ASSERT_EQ(arrivals.size(), 6u) << server->host();
    for (std::size_t i = 1; i < arrivals.size(); ++i) {
      EXPECT_GE(arrivals[i] - arrivals[i - 1], pace - kArrivalJitter)
          << server->host() << " #" << i;
    }
  }
  EXPECT_GE(overlap_.most, 2);
}

TEST_F(PacedLookupsTest, RetryAfterPausesOnlyThatServer) {
  TimedServer limited(overlap_, [](std::size_t n) {
    return n == 0 ? FakeHttpServer::response(429, "", "Retry-After: 1\r\n") : kRdapDates;
  });
  TimedServer other(overlap_, always(kRdapDates));
  PacedRunOptions options;
  options.pace = options.rdapPace = 20ms;
  const std::vector<std::string> domains{"a.info", "b.info", "c.biz", "d.biz", "e.biz", "f.biz"};
  const auto done = run(domains, bootstrapOf({{"info", &limited}, {"biz", &other}}), options);

  const auto arrivals = limited.arrivals();
  ASSERT_EQ(arrivals.size(), 3u);  // a.info twice, then b.info
  for (std::size_t i = 1; i < arrivals.size(); ++i) EXPECT_GE(arrivals[i] - arrivals[0], 1s);
  for (std::size_t i = 2; i < domains.size(); ++i) EXPECT_LT(done[i].at, arrivals[1]) << domains[i];
}

TEST_F(PacedLookupsTest, AServiceOverItsLimitIsAskedOnceAndTheRegistryAnswers) {
  TimedServer web(overlap_, always(FakeHttpServer::response(200, R"({"code":300})")));
  TimedServer rdap(overlap_, always(kRdapDates));
  ScopedEnv webEnv("PELMORA_WEBWHOIS_HOST", web.host());
  PacedRunOptions options;
  options.pace = options.rdapPace = 0ms;
  const std::vector<std::string> domains{"a.top", "b.top", "c.top", "d.top", "e.top"};
  const auto done = run(domains, bootstrapOf({{"top", &rdap}}), options);
  EXPECT_EQ(web.arrivals().size(), 1u);
  EXPECT_EQ(rdap.arrivals().size(), domains.size());
  for (const Finished& finished : done) EXPECT_EQ(finished.outcome.source, rdap.base());
}

// One domain after another (the window's batch): a request to a server waits
// for its pace since the last one to it, however many other servers came
// between; a cancel ends the wait.
TEST(SequentialPacer, ASecondRequestToOneServerWaitsItsPace) {
  PacedRunOptions options;
  setPace(options, 200);
  SequentialPacer pacer(options);
  LookupStep web;
  LookupStep rdap;
  rdap.kind = SourceKind::Rdap;
  rdap.rdapBase = "http://127.0.0.1:9/";
  const auto start = Steady::now();
  ASSERT_TRUE(pacer.waitTurn(web, nullptr));
  ASSERT_TRUE(pacer.waitTurn(rdap, nullptr));
  ASSERT_TRUE(pacer.waitTurn(web, nullptr));
  EXPECT_GE(Steady::now() - start, 200ms);
  const std::atomic<bool> cancelled{true};
  EXPECT_FALSE(pacer.waitTurn(web, &cancelled));
}

}  // namespace
}  // namespace pelmora::testing
