#pragma once

// Adding many domains from lines of the form
//   域名|注册商|域名类型|自定义分类|注册时间|到期时间|一次成本|续费成本|预售底价|标价|最终售价|备注|购买时间|出售时间
// or a bare domain per line. The whole run is one transaction; when it is
// stored, every line ended as exactly one success or one failure-list line.

#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "store/domain_record.h"

namespace pelmora {

inline constexpr std::size_t kBatchAddFieldCount = 14;
inline constexpr std::string_view kTagBadFormat = "[格式错误]";
inline constexpr std::string_view kTagBadRegistrar = "[注册商字段不正确]";
inline constexpr std::string_view kTagBadDomainType = "[域名类型字段不正确]";
inline constexpr std::string_view kTagBadCategory = "[自定义分类字段不正确]";
inline constexpr std::string_view kTagNotStored = "[格式错误,或域名已存在]";
// An amount that is not a plain number ("1,000", "12元", "abc"); an empty one
// reads 0.
inline constexpr std::string_view kTagBadOneTimeCost = "[一次成本字段不正确]";
inline constexpr std::string_view kTagBadRenewalCost = "[续费成本字段不正确]";
inline constexpr std::string_view kTagBadReservePrice = "[预售底价字段不正确]";
inline constexpr std::string_view kTagBadAskingPrice = "[标价字段不正确]";
inline constexpr std::string_view kTagBadFinalPrice = "[最终售价字段不正确]";

// One line checked: the row to insert (derived fields applied), or the tag
// that fails it. `name` is the text before the first "|" either way.
struct BatchAddRow {
  std::string name;
  std::optional<DomainRecord> record;
  std::string_view tag;  // empty when `record` is set
};

// Splits the line into its 14 fields and builds the row; the registrar, type
// and category must name an entry of `lists` (the last failed check wins).
// A line without "|" is a bare domain; a line that is not valid UTF-8 fails
// with kTagBadFormat.
BatchAddRow buildBatchAddRow(std::string_view line, const ClassificationLists& lists);

// The same from fields already split (CSV rows); anything but 14 fields, or a
// field that is not valid UTF-8, fails with kTagBadFormat.
BatchAddRow buildBatchAddRow(const std::vector<std::string>& fields,
                             const ClassificationLists& lists);

struct BatchAddFailure {
  std::string name;
  std::string_view tag;
};

struct BatchAddResult {
  std::size_t total = 0;
  std::size_t added = 0;
  std::size_t failed = 0;
  std::string failures;                      // one "name[tag]\r\n" per failed line, in line order
  std::vector<BatchAddFailure> failedLines;  // the same, one entry per line
  bool cancelled = false;                    // stopped: nothing was stored
  std::string error;  // the run could not be stored at all (nothing was): the reason
  bool ok() const { return error.empty() && !cancelled; }
};

// `progress(done, total)` is called as lines are checked and inserted.
using BatchProgress = std::function<void(std::size_t done, std::size_t total)>;

// Puts the next input line in `line`; false after the last one. A source that
// cannot go on (a line or the input over its limit, a read error) returns
// false with the reason in `error`.
using BatchLineSource = std::function<bool(std::string& line, std::string& error)>;

struct BatchAddControl {
  BatchProgress progress;
  std::stop_token stop;
  std::size_t total = 0;  // the lines the source will give, when known: what progress counts to
  // Each line that fails on its own, as it fails; the result then keeps no
  // failure list (only the count).
  std::function<void(const BatchAddFailure&)> onFailure;
};

// Checks and inserts the lines in one transaction, as they come from `next`;
// a line fails alone when it is malformed, names an unknown classification
// value, or is refused by the table (a duplicate name: kTagNotStored). A stop
// request, a source that fails, or the database refusing a write or the
// commit (locked, full, read-only) stores nothing: every line counts as
// failed, `error` gives the reason (not when stopped), and the failure list
// holds only the lines that failed on their own before the run ended.
BatchAddResult runBatchAddStream(DomainDatabase& db, const BatchLineSource& next,
                                 const ClassificationLists& lists,
                                 const BatchAddControl& control = {});

// The run over lines already in memory.
BatchAddResult runBatchAdd(DomainDatabase& db, const std::vector<std::string>& lines,
                           const ClassificationLists& lists, const BatchProgress& progress = {},
                           std::stop_token stop = {});

// The run over rows already built, one per input line or CSV record.
BatchAddResult runBatchAddRows(DomainDatabase& db, const std::vector<BatchAddRow>& rows,
                               const BatchProgress& progress = {}, std::stop_token stop = {});

// "进度: [ i / n]"
std::string batchAddProgressText(std::size_t done, std::size_t total);
// "结果: 总计[ n ],成功[ s ],失败[ f ]"
std::string batchAddResultText(const BatchAddResult& result);

}  // namespace pelmora
