// Every hostile text as a classification name, a setting and a filter text:
// stored exactly or refused with a reason, and a filter always reads the
// rows its text selects, never an error.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "editing/classification_editing.h"
#include "hostile_fixture.h"
#include "store/classification_edit.h"
#include "store/domain_writer.h"
#include "store/filter_criteria.h"
#include "store/listing.h"
#include "store/program_settings.h"
#include "support/text_encoding.h"

namespace pelmora::testing {
namespace {

class HostileListsTest : public HostileTest, public ::testing::WithParamInterface<HostileText> {
 protected:
  std::vector<std::string> values(const char* table) {
    std::vector<std::string> names;
    EXPECT_TRUE(db().query(std::string("SELECT ") + table + " FROM " + table, {},
                           [&](const SqlRow& row) { names.push_back(row.text(0)); }));
    return names;
  }
};

struct ListTable {
  CategoryKind kind;
  const char* table;
};
constexpr std::array<ListTable, 3> kListTables{{{CategoryKind::Registrar, "注册商"},
                                                {CategoryKind::DomainType, "域名类型"},
                                                {CategoryKind::Category, "自定义分类"}}};

TEST_P(HostileListsTest, ClassificationNamesAddedAndRenamed) {
  const std::string& text = GetParam().text;
  for (const ListTable& list : kListTables) {
    SCOPED_TRACE(list.table);
    addEntry(list.table, "未用", 9);
    rebase();
    // The editor's own checks first, as the window runs them.
    const std::string name = classificationName(text);
    if (checkClassificationName(name, values(list.table)) != NameCheck::Ok) {
      expectOnly({});
      continue;
    }
    const ClassificationEditResult added = addClassificationValue(db(), list.kind, name);
    EXPECT_NE(added.status, ClassificationEditStatus::Failed) << added.error;
    if (added.ok()) {
      const auto now = values(list.table);
      EXPECT_EQ(std::count(now.begin(), now.end(), name), 1) << "stored differently from typed";
      expectOnly({{}, false, list.table});
    } else {
      expectOnly({});
    }
    ASSERT_TRUE(
        db().run(std::string("DELETE FROM ") + list.table + " WHERE " + list.table + "=?", {name}));
    rebase();

    const ClassificationEditResult renamed =
        renameClassificationValue(db(), list.kind, "未用", name);
    EXPECT_NE(renamed.status, ClassificationEditStatus::Failed) << renamed.error;
    if (renamed.ok()) {
      const auto now = values(list.table);
      EXPECT_EQ(std::count(now.begin(), now.end(), name), 1);
      EXPECT_EQ(std::count(now.begin(), now.end(), "未用"), 0);
      expectOnly({{}, false, list.table});
    } else {
      expectOnly({});
    }
    ASSERT_TRUE(db().run(std::string("DELETE FROM ") + list.table + " WHERE 排序=9"));
    rebase();
  }
}

TEST_P(HostileListsTest, CustomTitleAndReminderPeriod) {
  const std::string& text = GetParam().text;
  auto settings = readProgramSettings(db());
  ASSERT_TRUE(settings);
  ProgramSettings changed = *settings;
  changed.customTitle = text;
  const auto written = writeProgramSettings(db(), changed);
  if (written) {
    const auto read = readProgramSettings(db());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->customTitle, text) << "stored differently from what was typed";
    expectOnly({{}, false, "设置"});
  } else {
    EXPECT_FALSE(written.error().empty());
    expectOnly({});
  }
  rebase();

  for (const ExpiryCheckUnit unit : {ExpiryCheckUnit::Minutes, ExpiryCheckUnit::Hours}) {
    SCOPED_TRACE(static_cast<int>(unit));
    if (checkExpiryPeriodText(text, unit) != ExpiryPeriodCheck::Ok) continue;
    // Only a whole number of 0 or more gets past the window's check.
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        << "a period that is no whole number was taken";
  }
}

// Rows whose name, note and registrar hold the corpus texts, so that every
// filter text has rows it must find.
class HostileFilterTest : public HostileListsTest {
 protected:
  void SetUp() override {
    HostileListsTest::SetUp();
    std::vector<DomainRecord> rows;
    int serial = 0;
    for (const HostileText& hostile : hostileCorpus()) {
      if (hostile.text.size() > 100000) continue;
      const std::string number = std::to_string(++serial);
      rows.push_back(makeDomain(
          hostile.text + "." + number,
          {{DomainField::Note, "[" + hostile.text + "]"}, {DomainField::Registrar, hostile.text}}));
    }
    insertDomains(db(), rows);
    ASSERT_TRUE(db().query("SELECT 域名, 备注, 注册商 FROM 域名", {}, [&](const SqlRow& row) {
      stored_.push_back({row.text(0), row.text(1), row.text(2)});
    }));
    rebase();
  }

  // LIKE's way: ASCII letters without case.
  static std::string folded(std::string text) {
    for (char& c : text) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
  }
  // LIKE reads a stored text only up to a NUL byte: such rows are left out
  // of the comparison (see the report on filters).
  std::int64_t rowsWhere(const std::function<bool(const std::array<std::string, 3>&)>& keep) {
    return std::count_if(stored_.begin(), stored_.end(), [&](const auto& row) {
      return row[0].find('\0') == std::string::npos && row[1].find('\0') == std::string::npos &&
             keep(row);
    });
  }

  // The count and the first page of the listing for `criteria`; nullopt
  // when SQLite refuses a LIKE pattern past its length limit (50,000 bytes),
  // which is reported with its reason and allowed for such texts only.
  std::optional<std::int64_t> countFor(const FilterCriteria& criteria, bool overLikeLimit = false) {
    const SqlCondition condition = buildWhere(criteria, Date{std::chrono::year{2024} / 3 / 1});
    const auto count = countDomains(db(), condition);
    const std::string& error = count.error();
    const ListingPage page = loadListing(db(), condition, PageRequest{});
    expectOnly({});
    if (!count) {
      EXPECT_TRUE(overLikeLimit) << error;
      EXPECT_NE(error.find("too complex"), std::string::npos) << error;
      EXPECT_FALSE(page.ok());
      return std::nullopt;
    }
    EXPECT_TRUE(page.ok()) << page.error;
    EXPECT_EQ(page.total, *count);
    return *count;
  }

  std::vector<std::array<std::string, 3>> stored_;  // name, note, registrar
};

// Texts the window's boxes can hold: valid UTF-8 without NUL. Those are
// compared with the rows they must select; the others must only run cleanly.
bool typable(const std::string& text) {
  return text.find('\0') == std::string::npos && isValidUtf8(text);
}

TEST_P(HostileFilterTest, NameNoteGroupAndRangeTexts) {
  const std::string& text = GetParam().text;
  const std::string needle = folded(text);
  // An empty text selects the rows with a NUL byte too, which the
  // comparison leaves out.
  const bool compare = typable(text) && !text.empty();
  const bool overLikeLimit = text.size() * 2 + 2 > 50000;

  const std::array<std::pair<std::string_view, std::function<bool(const std::string&)>>, 3> modes{{
      {kMatchAnywhere,
       [&](const std::string& name) { return folded(name).find(needle) != std::string::npos; }},
      {kMatchStart, [&](const std::string& name) { return folded(name).starts_with(needle); }},
      {kMatchEnd,
       [&](const std::string& name) {
         return folded(name).find(needle + ".") != std::string::npos;
       }},
  }};
  for (const auto& [mode, matches] : modes) {
    SCOPED_TRACE(std::string(mode));
    FilterCriteria criteria;
    criteria.nameOn = true;
    criteria.nameMode = std::string(mode);
    criteria.nameText = text;
    const auto count = countFor(criteria, overLikeLimit);
    if (compare && count) {
      EXPECT_EQ(*count, rowsWhere([&](const auto& row) { return matches(row[0]); }));
    }
  }
  {
    SCOPED_TRACE("note");
    FilterCriteria criteria;
    criteria.noteOn = true;
    criteria.noteText = text;
    const auto count = countFor(criteria, overLikeLimit);
    if (compare && count) {
      EXPECT_EQ(*count, rowsWhere([&](const auto& row) {
        return folded(row[1]).find(needle) != std::string::npos;
      }));
    }
  }
  {
    SCOPED_TRACE("registrar");
    FilterCriteria criteria;
    criteria.registrar = text;
    const auto count = countFor(criteria);
    const std::string name = nameOfItem(text);
    if (compare && text != kItemAll && text != kItemNotGrouped) {
      EXPECT_EQ(count.value_or(-1), rowsWhere([&](const auto& row) { return row[2] == name; }));
    }
  }
  for (MoneyRange FilterCriteria::*range :
       {&FilterCriteria::oneTimeCost, &FilterCriteria::profit}) {
    FilterCriteria criteria;
    (criteria.*range) = MoneyRange{true, text, text};
    countFor(criteria);
    (criteria.*range) = MoneyRange{true, "0", text};
    countFor(criteria);
  }
  FilterCriteria lengths;
  lengths.lengthFrom = text;
  lengths.lengthTo = text;
  countFor(lengths);
  FilterCriteria suffix;
  suffix.suffix = text;
  countFor(suffix);
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileListsTest, ::testing::ValuesIn(hostileCorpus()),
                         [](const auto& info) { return caseName(info.param); });
INSTANTIATE_TEST_SUITE_P(Corpus, HostileFilterTest, ::testing::ValuesIn(hostileCorpus()),
                         [](const auto& info) { return caseName(info.param); });

}  // namespace
}  // namespace pelmora::testing
