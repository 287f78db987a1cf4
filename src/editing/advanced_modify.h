#pragma once

// Changing chosen fields of many domains, each domain with its own values,
// from lines of the form
//   域名,字段1=值1,字段2=值2,...
// The fields that may be set are 注册商, 域名类型, 自定义分类, 注册时间, 到期时间,
// 备注, 购买时间 and 出售时间; any other key is skipped. Every line ends as
// exactly one success or one failure entry (the domain and a reason).

#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "editing/batch_modify.h"
#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "store/domain_record.h"

namespace pelmora {

inline constexpr std::string_view kReasonNoSuchRegistrar = "注册商 的值不存在";
inline constexpr std::string_view kReasonNoSuchDomainType = "域名类型 的值不存在";
inline constexpr std::string_view kReasonNoSuchCategory = "自定义分类 的值不存在";
inline constexpr std::string_view kReasonUnsoldSaleDate = "未出售的域名不能设置出售时间";

// "注册商,域名类型,自定义分类,注册时间,到期时间,备注,购买时间,出售时间"
std::string_view advancedModifyFieldList();

// One recognised key=value pair, the value as written.
struct AdvancedModifyPair {
  DomainField field;
  std::string value;
};

// One line read against the classification lists. `reason` is set when the
// grammar or a list check fails the line (the pairs before that field are
// kept); the existence of the domain is not checked here.
struct AdvancedModifyLine {
  std::string domain;  // the text before the first ",", exactly as written
  std::vector<AdvancedModifyPair> pairs;
  std::string_view reason;
};

AdvancedModifyLine parseAdvancedModifyLine(std::string_view line, const ClassificationLists& lists);

// The lines of a pasted list or file: CR LF or LF, empty lines at the end
// dropped (an empty line between others is a line with an empty domain).
std::vector<std::string> advancedModifyLines(std::string_view text);
// The same rule for lines read one by one: the empty lines at the end go.
void dropEmptyLastLines(std::vector<std::string>& lines);

struct AdvancedModifyFailure {
  std::string domain;
  std::string reason;
};

struct AdvancedModifyResult {
  std::size_t total = 0;
  std::size_t succeeded = 0;
  std::size_t failed = 0;
  std::vector<AdvancedModifyFailure> failures;  // in line order
  bool cancelled = false;  // stopped between chunks; what was reported stays stored
  std::string error;       // the database failed: the run could not go on
};

using AdvancedModifyProgress = std::function<void(std::size_t done, std::size_t total)>;

// Applies the lines in order, in chunks of one transaction each. A line
// fails alone: its domain is not stored (域名不存在), a pair is not key=value
// or an update could not be made of it (格式错误: an unreadable date, no
// recognised pair), or a classification value is not in its list, or it
// gives a sale date to a domain that is not sold.
AdvancedModifyResult runAdvancedModify(DomainDatabase& db, const std::vector<std::string>& lines,
                                       const ClassificationLists& lists,
                                       const AdvancedModifyProgress& progress = {},
                                       std::stop_token stop = {});

// domain + "[" + reason + "]\r\n" for each failure, in order.
std::string advancedModifyFailureText(const std::vector<AdvancedModifyFailure>& failures);

// "修改完毕: 总数[ n ], 成功[ s ], 失败[ f ]"
std::string advancedModifyResultText(const AdvancedModifyResult& result);

}  // namespace pelmora
