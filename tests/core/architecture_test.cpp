// The include table of docs/architecture.md against the tree: every include
// of a folder under src/ names itself or a folder the table lets it use, and
// the system headers it uses are those its row names.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "test_paths.h"

namespace {

const std::filesystem::path kSourceRoot = PELMORA_SOURCE_DIR;

struct LayerRule {
  std::set<std::string> folders;  // itself and what it may include
  std::set<std::string> systems;  // the names of the system headers it may use
};

std::vector<std::string> backticked(const std::string& cell) {
  std::vector<std::string> names;
  static const std::regex name("`([a-z]+)`");
  for (std::sregex_iterator it(cell.begin(), cell.end(), name), end; it != end; ++it) {
    names.push_back((*it)[1]);
  }
  return names;
}

std::map<std::string, LayerRule> tableOfTheDocument() {
  std::ifstream doc(kSourceRoot / "docs/architecture.md");
  static const std::regex row(R"(^\| `([a-z]+)` \|([^|]*)\|([^|]*)\|$)");
  std::map<std::string, LayerRule> rules;
  std::smatch match;
  for (std::string line; std::getline(doc, line);) {
    if (!std::regex_match(line, match, row)) continue;
    LayerRule& rule = rules[match[1]];
    rule.folders.insert(match[1]);
    for (const std::string& folder : backticked(match[2])) rule.folders.insert(folder);
    const std::string systems = match[3];
    static const std::regex item("[^,]+");
    for (std::sregex_iterator it(systems.begin(), systems.end(), item), end; it != end; ++it) {
      const std::string text = std::regex_replace(it->str(), std::regex("^ +| +$"), "");
      if (!text.empty()) rule.systems.insert(text);
    }
  }
  return rules;
}

// The table's name for a system header that only some folders may use;
// empty for the standard library and POSIX.
std::string guardedName(const std::string& header) {
  static const std::vector<std::pair<std::regex, std::string>> kGuarded{
      {std::regex("^curl/"), "curl's headers"},
      {std::regex("^nlohmann/"), "nlohmann-json"},
      {std::regex("^iconv\\.h$"), "iconv"},
      {std::regex("^pcre2\\.h$"), "PCRE2"},
      {std::regex("^dlfcn\\.h$"), "dlfcn.h"},
      {std::regex("^sqlite3\\.h$"), "SQLite"},
      {std::regex("^(sys/socket\\.h|netdb\\.h|netinet/|arpa/|poll\\.h)"), "sockets"},
      {std::regex("^Q"), "Qt"},
      {std::regex("^CLI/"), "CLI11"}};
  for (const auto& [pattern, name] : kGuarded) {
    if (std::regex_search(header, pattern)) return name;
  }
  return {};
}

TEST(Architecture, EveryIncludeOfTheTreeIsAllowedByTheTable) {
  const auto rules = tableOfTheDocument();
  ASSERT_EQ(rules.size(), 8u) << "the table names support, store, lookup, editing, reports, "
                                 "ui, app and cli";
  static const std::regex include(R"(^#include ([<"])([^>"]+)[>"])");
  int checked = 0;
  for (const auto& [layer, rule] : rules) {
    ASSERT_TRUE(std::filesystem::is_directory(kSourceRoot / "src" / layer)) << layer;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(kSourceRoot / "src" / layer)) {
      std::ifstream file(entry.path());
      std::smatch match;
      for (std::string line; std::getline(file, line);) {
        if (!std::regex_search(line, match, include)) continue;
        ++checked;
        const std::string header = match[2];
        const std::string where = entry.path().string() + ": " + line;
        if (match[1] == "\"") {
          EXPECT_TRUE(rule.folders.contains(header.substr(0, header.find('/')))) << where;
        } else if (const std::string name = guardedName(header); !name.empty()) {
          EXPECT_TRUE(rule.systems.contains(name)) << where;
        }
      }
    }
  }
  EXPECT_GT(checked, 500);
}

}  // namespace
