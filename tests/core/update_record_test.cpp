#include "support/update_record.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_servers.h"
#include "support/endpoints.h"
#include "support/news_html.h"

namespace pelmora::testing {
namespace {

const std::string kDefaultText =
    "2.4|http://www.pelmora.net/pelmora/#down|官网: www.pelmora.net  用户交流群: "
    "见官网|http://www.pelmora.net/pelmora/d.html";

TEST(UpdateRecordDefaults, AddressAndDefaultRecordUseTheSiteHost) {
  EXPECT_EQ(updateAddress(), "http://www.pelmora.net/pelmora/Pelmora_19.txt");
  EXPECT_EQ(defaultUpdateText(), kDefaultText);
  const UpdateRecord record = readUpdateRecord(defaultUpdateText());
  EXPECT_EQ(record.version, "2.4");
  EXPECT_FALSE(offersNewVersion(record));

  ScopedEnv site("PELMORA_SITE_HOST", "127.0.0.1:8080");
  EXPECT_EQ(updateAddress(), "http://127.0.0.1:8080/pelmora/Pelmora_19.txt");
  const UpdateRecord local = readUpdateRecord(defaultUpdateText());
  EXPECT_EQ(local.downloadAddress, "http://127.0.0.1:8080/pelmora/#down");
  EXPECT_EQ(local.statusText, "官网: 127.0.0.1:8080  用户交流群: 见官网");
  EXPECT_EQ(local.newsAddress, "http://127.0.0.1:8080/pelmora/d.html");
}

struct ValidityCase {
  std::string text;
  bool valid;
};

class UpdateTextValidity : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(UpdateTextValidity, NeedsUtf8TheHostAndFourFields) {
  EXPECT_EQ(isValidUpdateText(GetParam().text, "www.pelmora.net"), GetParam().valid)
      << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateTextValidity,
    ::testing::Values(ValidityCase{"2.5|http://www.pelmora.net/d|新|http://www.pelmora.net/n",
                                   true},
                      ValidityCase{"2.5|https://www.pelmora.net/d|b|HTTP://a/n|more", true},
                      ValidityCase{"", false},
                      // Only web addresses are opened or fetched.
                      ValidityCase{"2.5|file:///tmp/evil.sh|www.pelmora.net|http://a/n", false},
                      ValidityCase{"2.5|http://www.pelmora.net/d|s|gopher://a/_SET", false},
                      // Captive portal: a page of another host.
                      ValidityCase{"<html>Please log in|a|b|c</html>", false},
                      // The host name is compared with its letter case.
                      ValidityCase{"2.5|http://WWW.PELMORA.NET/d|s|n", false},
                      // Names the host but has fewer than four fields.
                      ValidityCase{"2.5|http://www.pelmora.net/d|s", false},
                      ValidityCase{"www.pelmora.net", false},
                      // Not UTF-8 (GBK bytes of 官网).
                      ValidityCase{"2.5|http://www.pelmora.net/|\xB9\xD9\xCD\xF8|n", false}));

struct FieldsCase {
  std::string text;
  UpdateRecord expected;
};

class UpdateRecordReading : public ::testing::TestWithParam<FieldsCase> {};

TEST_P(UpdateRecordReading, TakesFourFieldsOrTheDefault) {
  const UpdateRecord record = readUpdateRecord(GetParam().text);
  EXPECT_EQ(record.version, GetParam().expected.version);
  EXPECT_EQ(record.downloadAddress, GetParam().expected.downloadAddress);
  EXPECT_EQ(record.statusText, GetParam().expected.statusText);
  EXPECT_EQ(record.newsAddress, GetParam().expected.newsAddress);
}

const UpdateRecord kDefaultRecord{"2.4", "http://www.pelmora.net/pelmora/#down",
                                  "官网: www.pelmora.net  用户交流群: 见官网",
                                  "http://www.pelmora.net/pelmora/d.html"};

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateRecordReading,
    ::testing::Values(FieldsCase{"2.5|d|s|n", {"2.5", "d", "s", "n"}},
                      // Extra fields are ignored; a leading BOM and what an editor
                      // leaves at the end of a field are dropped.
                      FieldsCase{" 2.5 |d| s |n\r\n|x|y", {" 2.5", "d", " s", "n"}},
                      FieldsCase{"\xEF\xBB\xBF"
                                 "2.4|d|s|n\r\n",
                                 {"2.4", "d", "s", "n"}},
                      FieldsCase{"2.5|||", {"2.5", "", "", ""}},
                      // Fewer than four fields: the default record, never a read past the end.
                      FieldsCase{"2.5|d|s", kDefaultRecord}, FieldsCase{"", kDefaultRecord}));

std::string repeated(std::string_view part, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += part;
  return text;
}

TEST(NewsHtml, KeepsTextFormattingAndWebLinksAndRefusesWhatTheLayoutCannotBear) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
      {"<P Align=center>新版 <b>2.5</b></p>", "<p align=\"center\">新版 <b>2.5</b></p>"},
      {"<img src=\"file:///dev/zero\"><IMG SRC=/etc/hosts /><p>x", "<p>x"},
      {"<a href=\"file:///etc/passwd\">f</a><a href='https://a.example/x' onclick=y>w</a>",
       "<a>f</a><a href=\"https://a.example/x\">w</a>"},
      {"<style>p{background:url(/dev/zero)}</style><p style=\"background:url(/x)\">t</p>",
       "<p>t</p>"},
      {"<!-- c --><!DOCTYPE html><html><body>a < b<script>x</script></body>", "a &lt; b"},
      {"<font color=red size=99999>c</font>", "<font color=\"red\">c</font>"},
      {repeated("<div>", kNewsMaxDepth + 1), std::nullopt},
      {repeated("<div>", kNewsMaxDepth), repeated("<div>", kNewsMaxDepth)},
      {"<ul>" + repeated("<li>x", 100) + "</ul>", "<ul>" + repeated("<li>x", 100) + "</ul>"},
      {repeated("<br>", kNewsMaxElements + 1), std::nullopt},
      {std::string(kNewsPageMaxBytes + 1, 'a'), std::nullopt},
      {std::string(kNewsShownMaxBytes + 1, 'a'), std::nullopt},
      // an inner table and cells past the row's limit join the outer ones
      {"<table><tr><td><table><tr><td>x</table>" + repeated("<td>", kNewsMaxCellsPerRow + 2),
       "<table><tr><td><tr><td>x" + repeated("<td>", kNewsMaxCellsPerRow - 1)}};
  for (const auto& [page, expected] : cases) {
    EXPECT_EQ(safeNewsHtml(page), expected) << page.substr(0, 80);
  }
}

TEST(UpdateRecordVersions, AnyOtherVersionTextIsOffered) {
  for (const auto& [version, offered] : std::vector<std::pair<std::string, bool>>{
           {"2.4", false}, {"2.3", true}, {"2.5", true}, {"2.40", true}, {"", true}}) {
    EXPECT_EQ(offersNewVersion(UpdateRecord{version, "d", "s", "n"}), offered) << version;
  }
}

// The update file served on 127.0.0.1, with PELMORA_SITE_HOST pointing there.
struct FetchCase {
  std::string name;
  std::function<std::string(const std::string& host)> reply;
  bool fetched;  // the served record is taken (otherwise: the default record)
};

class UpdateFetch : public ::testing::TestWithParam<FetchCase> {};

std::string recordFor(const std::string& version, const std::string& host) {
  return version + "|http://" + host + "/down|站点状态|http://" + host + "/news.html";
}

TEST_P(UpdateFetch, TakesTheServedRecordOrTheDefault) {
  FakeHttpServer server(
      [](const FakeHttpServer::Request& request) { return GetParam().reply(request.host()); });
  const std::string host = server.hostPort();
  ScopedEnv site("PELMORA_SITE_HOST", host);
  const std::string text = fetchUpdateText();
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].line(), "GET /pelmora/Pelmora_19.txt HTTP/1.1");
  if (GetParam().fetched) {
    EXPECT_EQ(text, GetParam().reply(host).substr(GetParam().reply(host).find("\r\n\r\n") + 4));
  } else {
    EXPECT_EQ(text, defaultUpdateText());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateFetch,
    ::testing::Values(
        FetchCase{
            "SameVersion",
            [](const std::string& h) { return FakeHttpServer::response(200, recordFor("2.4", h)); },
            true},
        FetchCase{
            "Older",
            [](const std::string& h) { return FakeHttpServer::response(200, recordFor("2.3", h)); },
            true},
        FetchCase{
            "Newer",
            [](const std::string& h) { return FakeHttpServer::response(200, recordFor("2.5", h)); },
            true},
        FetchCase{"CaptivePortal",
                  [](const std::string&) {
                    return FakeHttpServer::response(
                        200, "<html>Welcome|log in|to the|hotel network</html>");
                  },
                  false},
        FetchCase{"TooFewFields",
                  [](const std::string& h) {
                    return FakeHttpServer::response(200, "2.5|http://" + h + "/down");
                  },
                  false},
        FetchCase{"NotUtf8",
                  [](const std::string& h) {
                    return FakeHttpServer::response(200, "2.5|http://" + h + "/|\xB9\xD9|n");
                  },
                  false},
        // The redirect is not followed, and its page is no record even when
        // it looks like one.
        FetchCase{"Redirect",
                  [](const std::string& h) {
                    return FakeHttpServer::response(302, recordFor("2.5", h),
                                                    "Location: http://" + h + "/moved.txt\r\n");
                  },
                  false},
        FetchCase{
            "ServerError",
            [](const std::string& h) { return FakeHttpServer::response(500, recordFor("2.5", h)); },
            false}),
    [](const ::testing::TestParamInfo<FetchCase>& info) { return info.param.name; });

TEST(UpdateFetchFailures, UnreachableSiteGivesTheDefaultRecord) {
  int closedPort = 0;
  {
    FakeHttpServer gone([](const FakeHttpServer::Request&) { return std::string(); });
    closedPort = gone.port();
  }
  ScopedEnv site("PELMORA_SITE_HOST", "127.0.0.1:" + std::to_string(closedPort));
  EXPECT_EQ(fetchUpdateText(), defaultUpdateText());
}

TEST(UpdateFetchFailures, AnAnswerLaterThanTheTimeOutIsNotWaitedFor) {
  // Would answer with a valid, newer record, but only well after the time-out.
  FakeHttpServer slow(
      [](const FakeHttpServer::Request& request) {
        return FakeHttpServer::response(200, recordFor("2.5", request.host()));
      },
      (kUpdateTimeoutSeconds + 3) * 1000);
  ScopedEnv site("PELMORA_SITE_HOST", slow.hostPort());
  EXPECT_EQ(fetchUpdateText(), defaultUpdateText());
}

TEST(UpdateFetchFailures, CancelledFetchGivesTheDefaultRecord) {
  FakeHttpServer server([](const FakeHttpServer::Request& request) {
    return FakeHttpServer::response(200, recordFor("2.5", request.host()));
  });
  ScopedEnv site("PELMORA_SITE_HOST", server.hostPort());
  const std::atomic<bool> cancelled{true};
  EXPECT_EQ(fetchUpdateText(&cancelled), defaultUpdateText());
}

}  // namespace
}  // namespace pelmora::testing
