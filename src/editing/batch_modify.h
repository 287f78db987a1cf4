#pragma once

// Setting chosen fields of many domains to one common value. Only the chosen
// fields are written; the actual cost, the profit, the sold flag and the sale
// date follow from what changes and from each domain's stored amounts.

#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "store/domain_database.h"
#include "store/domain_record.h"
#include "support/dates.h"

namespace pelmora {

// Why one domain of a modifying run failed, in the words of the window.
inline constexpr std::string_view kReasonNoSuchDomain = "域名不存在";
inline constexpr std::string_view kReasonBadFormat = "格式错误";

// The ticked fields of the batch-modify window; an unset field is left alone.
// Classification values are names ("-" for no classification). Amounts are
// the texts as typed (empty reads "0").
struct BatchModifyChoices {
  std::optional<std::string> registrar;
  std::optional<std::string> domainType;
  std::optional<std::string> category;
  std::optional<std::string> oneTimeCost;
  std::optional<std::string> renewalCost;
  std::optional<std::string> reservePrice;
  std::optional<std::string> askingPrice;
  std::optional<std::string> finalPrice;
  std::optional<std::string> note;
  std::optional<Date> purchasedOn;
  std::optional<Date> soldOn;

  bool nothingChosen() const;
};

// What happened to one domain of the list.
struct BatchModifyItem {
  std::size_t index = 0;  // position in the list
  std::string domain;
  bool ok = false;
  DomainRecord stored;  // the row as stored afterwards, when ok
  std::string why;      // the reason, when not ok
};

struct BatchModifyResult {
  std::size_t total = 0;
  std::size_t succeeded = 0;
  std::size_t failed = 0;
  bool nothingChosen = false;  // nothing was ticked: nothing ran
  bool cancelled = false;      // stopped early; what was reported stays stored
  std::string error;           // the run could not go on (reason)
};

using BatchModifyProgress = std::function<void(std::size_t done, std::size_t total)>;
using BatchModifyItemSink = std::function<void(const BatchModifyItem&)>;

// Modifies each listed domain; a domain that is not stored, or a value that
// is not a number, fails that domain alone. Items are reported once their
// change is committed, and progress once per committed chunk.
BatchModifyResult runBatchModify(DomainDatabase& db, const std::vector<std::string>& domains,
                                 const BatchModifyChoices& choices,
                                 const BatchModifyItemSink& onItem = {},
                                 const BatchModifyProgress& progress = {},
                                 std::stop_token stop = {});

// "进度: [ i / n ]"
std::string batchModifyProgressText(std::size_t done, std::size_t total);
// "修改完毕: 总数[ n ], 成功[ s ], 失败[ f ]"; after a cancel
// "已取消: 总数[ n ], 成功[ s ], 失败[ f ], 未修改[ r ]".
std::string batchModifyResultText(const BatchModifyResult& result);

}  // namespace pelmora
