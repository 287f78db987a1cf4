#pragma once

// Adding many domains from lines of the form
//   域名|注册商|域名类型|自定义分类|注册时间|到期时间|一次成本|续费成本|预售底价|标价|最终售价|备注|购买时间|出售时间
// or a bare domain per line. Every line ends as exactly one success or one
// failure-list line; the whole run is one transaction.

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
  std::string error;                         // the run could not be stored at all (nothing was)
  bool ok() const { return error.empty() && !cancelled; }
};

// `progress(done, total)` is called as lines are checked and inserted.
using BatchProgress = std::function<void(std::size_t done, std::size_t total)>;

// Checks and inserts the lines in one transaction; a failing line fails
// alone. A stop request rolls the whole run back. When nothing could be
// stored (stopped, or the commit failed) every line counts as failed and the
// failure list names each line that failed on its own with its tag, every
// other one with kTagNotStored.
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
