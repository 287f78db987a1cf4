// Every hostile text through the built pelmora-cli: as option values and
// arguments (passed as they are, no shell between), and as the lines of an
// input file. Exit 0 means stored exactly; otherwise a reason is printed.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "../core/test_paths.h"
#include "hostile_fixture.h"
#include "support/text_encoding.h"
#include "support/text_helpers.h"

namespace pelmora::testing {
namespace {

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the program with exactly these arguments; standard input is empty.
CliRun runArguments(const std::vector<std::string>& arguments,
                    const std::filesystem::path& folder) {
  const auto outPath = folder / "out.txt";
  const auto errPath = folder / "err.txt";
  std::vector<char*> argv;
  std::string program = PELMORA_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies = arguments;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  CliRun run;
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return run;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = fileText(outPath);
  run.err = fileText(errPath);
  return run;
}

class HostileCliTest : public HostileTest, public ::testing::WithParamInterface<HostileText> {
 protected:
  // The program needs the file to itself while it writes.
  CliRun cli(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--db", dbPath().string()});
    db_.reset();
    CliRun run = runArguments(arguments, folder_.path());
    db_ = openCurrentDatabase(dbPath());
    EXPECT_TRUE(db_);
    EXPECT_NE(run.code, -1) << "the program did not end normally";
    EXPECT_NE(run.code, 127) << "the program could not be started";
    return run;
  }
  std::string inputFile(const std::string& bytes) {
    const auto path = folder_.file("input.txt");
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  // A refusal says why: a failure line on the output or a reason on stderr.
  static void expectReason(const CliRun& run) {
    EXPECT_TRUE(run.code == 1 || run.code == 2) << run.code;
    EXPECT_FALSE(run.err.empty() && run.out.empty()) << "refused without a reason";
    if (run.code == 2) {
      EXPECT_FALSE(run.err.empty()) << "exit 2 without a reason";
    }
  }
  // The note field of a line as the file reading takes it.
  static std::string decodedField(const std::string& fileBytes, const std::string& separator,
                                  std::size_t index) {
    const auto fields = splitText(decodeTextFile(fileBytes), separator);
    return index < fields.size() ? fields[index] : std::string();
  }
};

TEST_P(HostileCliTest, ListFilterOptions) {
  const std::string& text = GetParam().text;
  if (!fitsArgument(text)) GTEST_SKIP() << "no argument can hold this text";
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"list", "--name", text},
                                             {"list", "--name", text, "--name-match", "开头"},
                                             {"list", "--note", text},
                                             {"list", "--registrar", text},
                                             {"list", "--range", "一次成本:" + text + ":" + text},
                                             {"list", "--length", text + ":" + text}}) {
    SCOPED_TRACE(arguments[1]);
    if (!std::all_of(arguments.begin(), arguments.end(), fitsArgument)) continue;
    const CliRun run = cli(arguments);
    if (run.code != 0) expectReason(run);
    // Reading must never fail on a filter text: only a refused option may.
    // SQLite refuses LIKE patterns over 50,000 bytes; the reason is printed.
    const bool overLikeLimit = text.size() * 2 + 2 > 50000 && arguments[1] != "--registrar";
    if (arguments[1] == "--name" || arguments[1] == "--note" || arguments[1] == "--registrar") {
      if (overLikeLimit && run.code == 2) {
        EXPECT_NE(run.err.find("too complex"), std::string::npos) << run.err;
      } else {
        EXPECT_EQ(run.code, 0) << run.err;
      }
    }
    expectOnly({});
  }
}

TEST_P(HostileCliTest, ModifyBatchSetAndDelete) {
  const std::string& text = GetParam().text;
  if (!fitsArgument(text)) GTEST_SKIP() << "no argument can hold this text";
  for (const char* column : {"备注", "一次成本", "注册商", "购买时间"}) {
    SCOPED_TRACE(column);
    const CliRun run =
        cli({"modify-batch", kTargetDomain, "--set", std::string(column) + "=" + text});
    if (run.code == 0) {
      const auto field = std::string(column) == "备注"       ? DomainField::Note
                         : std::string(column) == "一次成本" ? DomainField::OneTimeCost
                         : std::string(column) == "注册商"   ? DomainField::Registrar
                                                             : DomainField::PurchasedOn;
      const std::string expected = field == DomainField::Note && text.empty() ? " " : text;
      expectStoredAs(kindOf(field), storedValue(targetId_, field), expected);
      expectOnly({{targetId_}, false, {}});
    } else {
      expectReason(run);
      expectOnly({});
    }
    rebase();
  }

  SCOPED_TRACE("delete");
  // "--" ends the options, as a script passing any name must write it.
  const CliRun run = cli({"delete", "--", text});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("[不存在]"), std::string::npos) << run.out;
  expectOnly({});
}

TEST_P(HostileCliTest, AddAndModifyFromAFile) {
  const std::string& text = GetParam().text;
  {
    SCOPED_TRACE("add");
    const std::string line = "new.com|||||||||||" + text + "||";
    const CliRun run = cli({"add", "--file", inputFile(line)});
    const std::int64_t id = idOf("new.com");
    if (run.code == 0) {
      ASSERT_NE(id, -1);
      expectStoredAs(ValueKind::Text, storedValue(id, DomainField::Note),
                     decodedField(line, "|", 11));
      expectOnly({{}, true, {}});
    } else {
      // A text that breaks the line in two leaves lines that fail alone.
      expectReason(run);
      expectOnly({{}, run.code == 1, {}});
    }
    if (id != -1) {
      ASSERT_TRUE(db().run("DELETE FROM 域名 WHERE id=?", {id}));
    }
    rebase();
  }
  SCOPED_TRACE("modify");
  const std::string line = std::string(kTargetDomain) + ",备注=" + text;
  const CliRun run = cli({"modify", "--file", inputFile(line)});
  if (run.code == 0) {
    const std::string decoded = decodeTextFile(line);
    expectStoredAs(ValueKind::Text, storedValue(targetId_, DomainField::Note),
                   decoded.substr(decoded.find('=') + 1));
    expectOnly({{targetId_}, false, {}});
  } else {
    // Broken into lines, the first may still be a good one.
    expectReason(run);
    expectOnly({{targetId_}, false, {}});
    if (run.code == 2) expectTargetUnchanged();
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileCliTest, ::testing::ValuesIn(hostileCorpus()),
                         [](const auto& info) { return caseName(info.param); });

}  // namespace
}  // namespace pelmora::testing
