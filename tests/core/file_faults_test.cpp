// The file under the command line going wrong: a folder that cannot be
// written, a full disk, a file that is not a database, another program
// holding it. Each ends with a clear reason and exit code 2 (or the run's
// error), and the file keeps a committed state. An open window is no fault:
// the commands work beside it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>

#include "cli_process.h"
#include "cli_runner.h"
#include "store/file_check.h"
#include "store/listing.h"
#include "test_db.h"
#include "test_paths.h"

namespace pelmora::testing {
namespace {

constexpr uid_t kNobody = 65534;

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Every row, in id order, as one text.
std::string rowsOf(DomainDatabase& db) {
  std::string rows;
  db.query("SELECT " + domainColumnList() + " FROM 域名 ORDER BY id", {}, [&](const SqlRow& row) {
    for (int k = 0; k < row.columnCount(); ++k) rows += row.asText(k) + '|';
    rows += '\n';
  });
  return rows;
}

std::string integrityOf(DomainDatabase& db) {
  std::string result;
  db.query("PRAGMA integrity_check", {}, [&](const SqlRow& row) { result += row.text(0); });
  return result;
}

class FileFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dataFolder());
    auto db = openCurrentDatabase(dbPath());
    ASSERT_TRUE(db);
    ASSERT_EQ(insertDomains(*db, {testDomain("a.com", {{DomainField::Note, "甲"}}),
                                  testDomain("b.com"), testDomain("c.net")})
                  .added,
              3u);
    rowsBefore_ = rowsOf(*db);
    std::ofstream(input()) << "new1.com\nnew2.com\n";
  }
  std::filesystem::path dataFolder() const { return folder_.file("data"); }
  std::filesystem::path dbPath() const { return dataFolder() / "domain.mdb"; }
  std::filesystem::path input() const { return folder_.file("in.txt"); }

  // The file is intact and holds the rows it held before.
  void expectUnchanged() {
    auto db = openCurrentDatabase(dbPath());
    ASSERT_TRUE(db);
    EXPECT_EQ(integrityOf(*db), "ok");
    EXPECT_EQ(rowsOf(*db), rowsBefore_);
  }

  TempFolder folder_;
  std::string rowsBefore_;
};

struct ReadOnlyCase {
  const char* name;
  bool lockFilePresent;
  std::vector<std::string> command;
  const char* reason;
};

void PrintTo(const ReadOnlyCase& c, std::ostream* out) { *out << c.name; }

class ReadOnlyFolderTest : public FileFaultsTest,
                           public ::testing::WithParamInterface<ReadOnlyCase> {};

// Root writes anywhere: then the program runs as nobody, from a copy of it
// that user may run.
TEST_P(ReadOnlyFolderTest, RefusesWithTheFolderAsReason) {
  const ReadOnlyCase& c = GetParam();
  CliSetup setup;
  if (::geteuid() == 0) {
    setup.user = kNobody;
    const auto copy = folder_.file("pelmora-cli");
    std::filesystem::copy_file(PELMORA_CLI_PATH, copy);
    setup.program = copy.string();
    ::chmod(folder_.path().c_str(), 0755);
    ::chmod(input().c_str(), 0644);
  }
  const auto lock = dbPath().string() + ".lock";
  if (c.lockFilePresent) {
    ::chmod(lock.c_str(), 0666);
  } else {
    std::filesystem::remove(lock);
  }
  ::chmod(dbPath().c_str(), 0666);
  ::chmod(dataFolder().c_str(), 0555);
  const std::string before = readFile(dbPath());
  std::vector<std::string> arguments{"--db", dbPath().string()};
  for (const std::string& word : c.command) {
    arguments.push_back(word == "INPUT" ? input().string() : word);
  }
  CliProcess run(arguments, folder_.file("out.txt"), setup);
  const int code = run.wait();
  const std::string output = run.output();
  ::chmod(dataFolder().c_str(), 0755);
  EXPECT_EQ(code, 2) << output;
  EXPECT_TRUE(contains(output, openFailureHeadline(OpenProblem::ReadOnly, dbPath()))) << output;
  EXPECT_TRUE(contains(output, c.reason)) << output;
  EXPECT_TRUE(readFile(dbPath()) == before);
  expectUnchanged();
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ReadOnlyFolderTest,
    ::testing::Values(
        ReadOnlyCase{"AddWithLockFile", true, {"add", "--file", "INPUT"}, "folder is not writable"},
        ReadOnlyCase{"ModifyWithLockFile",
                     true,
                     {"modify-batch", "--all", "--set", "备注=x"},
                     "folder is not writable"},
        ReadOnlyCase{"ListWithLockFile", true, {"list"}, "folder is not writable"},
        ReadOnlyCase{
            "AddWithoutLockFile", false, {"add", "--file", "INPUT"}, "cannot open the lock file"}),
    [](const auto& info) { return std::string(info.param.name); });

// A small tmpfs when this process may mount one in a namespace of its own
// (root), else a file size limit on the program: writes past it fail as on a
// full disk.
TEST_F(FileFaultsTest, AFullDiskStoresNothingOfTheAdd) {
  {
    std::ofstream lines(input());
    for (int i = 0; i < 2000; ++i) {
      lines << "full" << i << ".com|西数|双拼|自用|2020-01-02|2027-03-04|10|20|30|40|0|"
            << std::string(2000, 'x') << "||\n";
    }
  }
  const auto [probe, probeOutput] =
      runProgramAs("", "unshare -m sh -c",
                   "'mount -t tmpfs -o size=64k tmpfs " + folder_.path().string() + " && umount " +
                       folder_.path().string() + "'");
  int code = -1;
  std::string output;
  if (probe == 0) {
    const auto mount = folder_.file("tmpfs");
    std::filesystem::create_directories(mount);
    const auto [shellCode, shellOutput] = runProgramAs(
        "", "unshare -m sh -c",
        "'mount -t tmpfs -o size=2m tmpfs " + mount.string() + " && cp " + dbPath().string() + " " +
            mount.string() + "/ && " + PELMORA_CLI_PATH + " --db " + mount.string() +
            "/domain.mdb add --file " + input().string() + " >/dev/null; echo \"exit=$?\"; cp " +
            mount.string() + "/domain.mdb* " + dataFolder().string() + "/'");
    ASSERT_EQ(shellCode, 0) << shellOutput;
    output = shellOutput;
    code = contains(output, "exit=2") ? 2 : -1;
    EXPECT_TRUE(contains(output, "full")) << output;
  } else {
    CliSetup setup;
    setup.fileSize = std::filesystem::file_size(dbPath()) + 64 * 1024;
    CliProcess run({"--db", dbPath().string(), "add", "--file", input().string()},
                   folder_.file("out.txt"), setup);
    code = run.wait();
    output = run.output();
  }
  EXPECT_EQ(code, 2) << output;
  EXPECT_TRUE(contains(output, "nothing was stored")) << output;
  expectUnchanged();
}

TEST_F(FileFaultsTest, AFileThatIsNotADatabaseIsRefusedUntouched) {
  std::string garbage(64 * 1024, '\0');
  std::uint32_t state = 12345;
  for (char& c : garbage) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  { std::ofstream(dbPath(), std::ios::binary | std::ios::trunc) << garbage; }
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"list"},
        std::vector<std::string>{"add", "--file", input().string()},
        std::vector<std::string>{"modify-batch", "--all", "--set", "备注=x"}}) {
    std::vector<std::string> arguments{"--db", dbPath().string()};
    arguments.insert(arguments.end(), command.begin(), command.end());
    CliProcess run(arguments, folder_.file("out.txt"));
    EXPECT_EQ(run.wait(), 2) << command[0] << ": " << run.output();
    EXPECT_TRUE(contains(run.output(), openFailureHeadline(OpenProblem::NotADatabase, dbPath())))
        << run.output();
    EXPECT_TRUE(contains(run.output(), "not a database")) << run.output();
    EXPECT_TRUE(readFile(dbPath()) == garbage) << command[0];
  }
}

// The damage comes after a writer's clean check, and the modification time
// is set back: the file is still known as changed, and checked again.
TEST_F(FileFaultsTest, ADamagedFileIsRefusedUntouchedByWriters) {
  {
    auto db = openCurrentDatabase(dbPath());
    ASSERT_TRUE(
        db->run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<3000)"
                " INSERT INTO 域名(域名,后缀,备注) SELECT 'p'||i||'.com','com','第'||i||'行'"
                " FROM n"));
  }
  CliProcess clean({"--db", dbPath().string(), "delete", "p1.com"}, folder_.file("out.txt"));
  ASSERT_EQ(clean.wait(), 0) << clean.output();
  struct stat before {};
  ASSERT_EQ(::stat(dbPath().c_str(), &before), 0);
  damageMiddlePages(dbPath(), 8);
  const timespec times[] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, dbPath().c_str(), times, 0), 0);
  const std::string damaged = readFile(dbPath());
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"add", "--file", input().string()},
        std::vector<std::string>{"delete", "a.com", "p2.com"},
        std::vector<std::string>{"modify-batch", "--all", "--set", "备注=x"}}) {
    std::vector<std::string> arguments{"--db", dbPath().string()};
    arguments.insert(arguments.end(), command.begin(), command.end());
    CliProcess run(arguments, folder_.file("out.txt"));
    EXPECT_EQ(run.wait(), 2) << command[0] << ": " << run.output();
    EXPECT_TRUE(contains(run.output(), std::string(kDamagedFileMessage))) << run.output();
    EXPECT_TRUE(readFile(dbPath()) == damaged) << command[0];
  }
}

// Commands work beside an open window: they read its commits and write in
// turn with it.
TEST_F(FileFaultsTest, CommandsRunBesideAnOpenWindow) {
  auto window =
      openCurrentDatabase(dbPath(), nullptr, OpenMode::ReadWrite, {}, nullptr, Opener::Window);
  ASSERT_TRUE(window);
  const auto before = countDomains(*window, {});
  ASSERT_TRUE(before);
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"add", "--file", input().string()},
        std::vector<std::string>{"modify-batch", "--all", "--set", "备注=x"},
        std::vector<std::string>{"list"}}) {
    std::vector<std::string> arguments{"--db", dbPath().string()};
    arguments.insert(arguments.end(), command.begin(), command.end());
    CliProcess run(arguments, folder_.file("out.txt"));
    EXPECT_EQ(run.wait(), 0) << command[0] << ": " << run.output();
  }
  EXPECT_EQ(countDomains(*window, {}), *before + 2);
  EXPECT_EQ(countDomains(*window, {"备注 <> ?", {std::string("x")}}), 0);
}

// Another program (not ours, so without our lock file) holds the write lock
// past the busy time-out.
TEST_F(FileFaultsTest, AWriterOfAnotherProgramFailsTheRunUntouched) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(dbPath().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  const struct {
    std::vector<std::string> command;
    const char* said;
  } cases[] = {
      {{"add", "--file", input().string()}, "nothing was stored"},
      {{"modify-batch", "--all", "--set", "备注=x"}, "could not be stored"},
      {{"delete", "a.com", "b.com"}, "nothing was deleted"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"--db", dbPath().string()};
    arguments.insert(arguments.end(), c.command.begin(), c.command.end());
    CliProcess run(arguments, folder_.file("out.txt"));
    EXPECT_EQ(run.wait(), 2) << c.command[0] << ": " << run.output();
    EXPECT_TRUE(contains(run.output(), c.said)) << run.output();
    EXPECT_TRUE(contains(run.output(), "locked")) << run.output();
    EXPECT_FALSE(contains(run.output(), "[格式错误")) << run.output();
  }
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  expectUnchanged();
}

// Output that cannot be written (a full disk under a redirection) is an
// error with its reason, never a cut-off result and exit code 0.
class FullOutputTest : public FileFaultsTest,
                       public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(FullOutputTest, AFailedWriteExitsTwoWithTheReason) {
  std::vector<std::string> arguments{"--db", dbPath().string()};
  for (const std::string& word : GetParam()) {
    arguments.push_back(word == "INPUT" ? input().string() : word);
  }
  CliSetup setup;
  setup.standardOutput = "/dev/full";
  CliProcess run(arguments, folder_.file("err.txt"), setup);
  EXPECT_EQ(run.wait(), 2) << run.output();
  EXPECT_TRUE(contains(run.output(), "cannot write standard output: No space left on device"))
      << run.output();
}

INSTANTIATE_TEST_SUITE_P(Commands, FullOutputTest,
                         ::testing::Values(std::vector<std::string>{"list"},
                                           std::vector<std::string>{"list", "--format", "json"},
                                           std::vector<std::string>{"list", "--format", "csv"},
                                           std::vector<std::string>{"export", "西数"},
                                           std::vector<std::string>{"report", "--from",
                                                                    "2017-01-01", "--to",
                                                                    "2017-12-31", "--unit", "月"},
                                           std::vector<std::string>{"expiring"},
                                           std::vector<std::string>{"add", "--file", "INPUT"},
                                           std::vector<std::string>{"--version"}),
                         [](const auto& info) {
                           std::string name;
                           for (const std::string& word : info.param) {
                             for (const char c : word) {
                               if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             }
                           }
                           return name.empty() ? std::string("other") : name;
                         });

}  // namespace
}  // namespace pelmora::testing
