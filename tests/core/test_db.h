#pragma once

// A fresh database in its own temporary folder for every test.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/derived_fields.h"
#include "store/domain_writer.h"
#include "store/schema.h"

namespace pelmora::testing {

// A second connection, as another program would hold the file.
class RawConnection {
 public:
  explicit RawConnection(const std::filesystem::path& path) { sqlite3_open(path.c_str(), &db_); }
  ~RawConnection() { sqlite3_close(db_); }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;
  bool exec(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }

 private:
  sqlite3* db_ = nullptr;
};

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("pelmora-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path file(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Overwrites `count` pages in the middle of the file with junk, as a failing
// disk or a stray write would; SQLite still opens the file.
inline void damageMiddlePages(const std::filesystem::path& path, std::uintmax_t count) {
  constexpr std::uintmax_t kPage = 4096;
  const std::uintmax_t pages = std::filesystem::file_size(path) / kPage;
  ASSERT_GT(pages, 3 * count) << "too small to damage in the middle";
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(pages / 2 * kPage));
  for (std::uintmax_t i = 0; i < count * kPage; ++i) file.put(static_cast<char>(i * 7 + 3));
  ASSERT_TRUE(file.flush());
}

// A domain with the given name and field values (field -> text); derived
// fields applied, classification columns "-" unless given.
inline DomainRecord testDomain(
    const std::string& name,
    std::initializer_list<std::pair<DomainField, std::string>> values = {}) {
  DomainRecord record;
  record[DomainField::Name] = name;
  record[DomainField::Registrar] = "-";
  record[DomainField::DomainType] = "-";
  record[DomainField::Category] = "-";
  for (const auto& [field, text] : values) record[field] = text;
  applyDerivedFields(record);
  return record;
}

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = openCurrentDatabase(dbPath());
    ASSERT_TRUE(db_);
    // Tests set up the lists they need; a new file's starter entries would
    // only get in the way.
    for (const char* table : {"注册商", "域名类型", "自定义分类"}) {
      ASSERT_TRUE(db_->run(std::string("DELETE FROM ") + table));
    }
  }
  std::filesystem::path dbPath() const { return folder_.file("domain.mdb"); }
  DomainDatabase& db() { return *db_; }

  static DomainRecord makeDomain(
      const std::string& name,
      std::initializer_list<std::pair<DomainField, std::string>> values = {}) {
    return testDomain(name, values);
  }

  void add(const std::vector<DomainRecord>& records) {
    const InsertSummary summary = insertDomains(db(), records);
    ASSERT_EQ(summary.failed, 0u);
  }

  void addEntry(const std::string& table, const std::string& name, int order) {
    ASSERT_TRUE(db().run("INSERT INTO " + table + "(" + table + ",排序) VALUES(?,?)",
                         {name, static_cast<std::int64_t>(order)}));
  }

  TempFolder folder_;
  std::unique_ptr<DomainDatabase> db_;
};

}  // namespace pelmora::testing
