// pelmora-cli as scripts see it: help, version, usage errors and the exit
// code rule, run as a separate process.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli_runner.h"
#include "fake_servers.h"
#include "test_db.h"
#include "test_paths.h"

namespace pelmora::testing {
namespace {

constexpr const char* kExitCodeRule =
    "Exit codes: 0 all done, 1 some items failed, 2 usage error, database unusable or input/output "
    "error.";

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct HelpCase {
  std::string command;
  std::vector<std::string> options;
};

void PrintTo(const HelpCase& c, std::ostream* out) { *out << c.command; }

class CommandHelp : public ::testing::TestWithParam<HelpCase> {};

TEST_P(CommandHelp, NamesTheCommandItsOptionsAndTheExitCodes) {
  const HelpCase& c = GetParam();
  const auto [code, output] = runCli(c.command + " --help");
  EXPECT_EQ(code, 0) << output;
  EXPECT_TRUE(contains(output, "Usage: pelmora-cli " + c.command + " ")) << output;
  for (const std::string& option : c.options) {
    EXPECT_TRUE(contains(output, "  " + option + " ")) << option << "\n" << output;
  }
  EXPECT_TRUE(contains(output, kExitCodeRule)) << output;
}

const std::vector<std::string> kFilterOptions{
    "--registrar", "--type",       "--category", "--suffix", "--sold",  "--expiry",
    "--name",      "--name-match", "--note",     "--length", "--range", "--date"};

std::vector<std::string> withFilters(std::vector<std::string> options) {
  options.insert(options.end(), kFilterOptions.begin(), kFilterOptions.end());
  return options;
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, CommandHelp,
    ::testing::Values(
        HelpCase{"list", withFilters({"--db PATH", "--page N", "--page-size S", "--sort COLUMN",
                                      "--format FORMAT"})},
        HelpCase{"export", withFilters({"--db PATH", "--desc N", "--price N", "--period N",
                                        "--hour N", "--hour-from N", "--hour-to N"})},
        HelpCase{"report",
                 {"--db PATH", "--from yyyy-MM-dd", "--to yyyy-MM-dd", "--format FORMAT"}},
        HelpCase{"expiring", {"--db PATH", "--domains", "--new", "--format FORMAT"}},
        HelpCase{"calendar", withFilters({"--db PATH", "FILE"})},
        HelpCase{"forecast",
                 withFilters({"--db PATH", "--months N", "--by COLUMN", "--format FORMAT"})},
        HelpCase{"lookup", {"DOMAIN", "--fresh", "--source SOURCE"}},
        HelpCase{"coverage", {"--db PATH", "--format FORMAT", "--source SOURCE"}},
        HelpCase{"update-dates", withFilters({"--db PATH", "DOMAIN ...", "--fresh", "--due",
                                              "--max-age DAYS", "--pace-ms MS"})}),
    [](const auto& info) {
      return info.param.command == "update-dates" ? std::string("update_dates")
                                                  : info.param.command;
    });

TEST(CliHelp, ProgramHelpListsEveryCommandOfTheTable) {
  for (const char* help : {"--help", "-h", "help"}) {
    const auto [code, output] = runCli(help);
    EXPECT_EQ(code, 0) << help;
    EXPECT_TRUE(contains(output, "--db PATH")) << output;
    EXPECT_TRUE(contains(output, "--version")) << output;
    EXPECT_TRUE(contains(output, kExitCodeRule)) << output;
    ASSERT_EQ(cli::commandTable().size(), 13u);
    for (const cli::Command& command : cli::commandTable()) {
      EXPECT_TRUE(contains(output, "  " + std::string(command.name) + " ")) << command.name;
    }
  }
}

TEST(CliHelp, VersionIsTheProjectVersion) {
  const auto [code, output] = runCli("--version");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(output, "pelmora-cli " PELMORA_VERSION "\n");
  EXPECT_TRUE(std::regex_match(output, std::regex("pelmora-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")));
}

// libcurl and its TLS libraries take longer to load than a whole listing;
// they are loaded only by a request.
TEST(CliHelp, AnOfflineCommandLoadsNoNetworkLibrary) {
  const auto [code, output] = runProgramAs("LD_DEBUG=libs ", PELMORA_CLI_PATH, "--version");
  EXPECT_EQ(code, 0) << output;
  EXPECT_TRUE(contains(output, "libsqlite3")) << output;
  EXPECT_FALSE(contains(output, "libcurl")) << output;
}

struct UsageCase {
  std::string args;
  std::string message;
};

void PrintTo(const UsageCase& c, std::ostream* out) { *out << "pelmora-cli --db PATH " << c.args; }

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

// A usage error is found before the database is opened: the file named by
// --db is neither created nor locked.
TEST_P(UsageErrors, ExitTwoWithAMessageAndTouchNoFile) {
  const UsageCase& c = GetParam();
  TempFolder folder;
  const auto path = folder.file("new.mdb");
  const auto [code, output] = runCli("--db " + path.string() + " " + c.args);
  EXPECT_EQ(code, 2) << output;
  EXPECT_TRUE(contains(output, c.message)) << output;
  EXPECT_FALSE(std::filesystem::exists(path)) << c.args;
  EXPECT_FALSE(std::filesystem::exists(path.string() + ".lock")) << c.args;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    ::testing::Values(
        UsageCase{"", "pelmora-cli: no command given\n"},
        UsageCase{"frobnicate", "pelmora-cli: unknown command frobnicate\n"},
        UsageCase{"--bogus", "pelmora-cli: unknown option --bogus\n"},
        UsageCase{"list --bogus 1", "pelmora-cli list: unknown option --bogus\n"},
        UsageCase{"list --page 0", "pelmora-cli list: --page 0: not a page number\n"},
        UsageCase{"list --name", "pelmora-cli list: --name needs a value\n"},
        UsageCase{"list stray", "pelmora-cli list: unexpected stray\n"},
        UsageCase{"list expiring", "pelmora-cli list: unexpected expiring\n"},
        UsageCase{"expiring --page 1", "pelmora-cli expiring: unknown option --page\n"},
        UsageCase{"expiring --new", "pelmora-cli expiring: --new and --format go with --domains\n"},
        UsageCase{"lookup", "pelmora-cli lookup: give a domain\n"},
        UsageCase{"calendar", "pelmora-cli calendar: give the file to write\n"},
        UsageCase{"lookup a.com b.com", "pelmora-cli lookup: unexpected b.com\n"},
        UsageCase{"update-dates --sold maybe",
                  "pelmora-cli update-dates: --sold maybe: use 未出售 or 已出售\n"},
        UsageCase{"update-dates --range 备注:1:2",
                  "pelmora-cli update-dates: --range 备注:1:2: use 列名:A:B with a money column\n"},
        UsageCase{"update-dates --page 2",
                  "pelmora-cli update-dates: --page does not apply: every domain of the filtered "
                  "listing is updated\n"},
        UsageCase{"update-dates a.com --suffix top",
                  "pelmora-cli update-dates: give domains or filter options, not both\n"},
        UsageCase{"update-dates --fresh --date 到期时间:2017-01-01",
                  "pelmora-cli update-dates: --date 到期时间:2017-01-01: use "
                  "列名:yyyy-MM-dd:yyyy-MM-dd with a date column\n"}));

struct ExitCase {
  std::string args;
  int code;
  bool brokenDatabase = false;
};

void PrintTo(const ExitCase& c, std::ostream* out) {
  *out << "pelmora-cli --db PATH " << c.args << (c.brokenDatabase ? " (not a database)" : "");
}

// Every command follows one rule: 0 all done, 1 some items failed, 2 a usage
// error or a database that cannot be used.
class ExitCodeRule : public ::testing::TestWithParam<ExitCase> {
 protected:
  void SetUp() override {
    if (GetParam().brokenDatabase) {
      std::FILE* f = std::fopen(path_.c_str(), "w");
      ASSERT_NE(f, nullptr);
      std::fputs("not a database", f);
      std::fclose(f);
      return;
    }
    auto db = openCurrentDatabase(path_);
    ASSERT_TRUE(db);
    ASSERT_EQ(insertDomains(*db, {testDomain("a.com"), testDomain("b.top")}).failed, 0u);
  }

  TempFolder folder_;
  std::filesystem::path path_ = folder_.file("domain.mdb");
  FakeWhoisServer whois_{
      {{{"Domain Name: A.COM\r\nCreation Date: 2001-02-03T00:00:00Z\r\n"
         "Registry Expiry Date: 2031-02-03T00:00:00Z\r\n"}}}};
  FakeHttpServer web_{[](const FakeHttpServer::Request&) {
    return FakeHttpServer::response(200, R"({"code":300})");
  }};
  ScopedEnv whoisEnv_{"PELMORA_WHOIS_SERVER", whois_.hostPort()};
  ScopedEnv webEnv_{"PELMORA_WEBWHOIS_HOST", web_.hostPort()};
};

TEST_P(ExitCodeRule, ForEveryCommand) {
  const ExitCase& c = GetParam();
  const auto [code, output] = runCli("--db " + path_.string() + " " + c.args);
  EXPECT_EQ(code, c.code) << c.args << "\n" << output;
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, ExitCodeRule,
    ::testing::Values(
        ExitCase{"list", 0}, ExitCase{"list --sort nope", 2}, ExitCase{"list", 2, true},
        ExitCase{"expiring", 0}, ExitCase{"expiring now", 2}, ExitCase{"expiring", 2, true},
        ExitCase{"lookup a.com", 0}, ExitCase{"lookup b.top", 1}, ExitCase{"lookup --fresh", 2},
        ExitCase{"update-dates a.com", 0}, ExitCase{"update-dates a.com b.top", 1},
        ExitCase{"update-dates missing.com", 1}, ExitCase{"update-dates --sold 7", 2},
        ExitCase{"update-dates a.com", 2, true}, ExitCase{"calendar /nonexistent/dates.ics", 2}));

}  // namespace
}  // namespace pelmora::testing
