#pragma once

// Importing a spreadsheet's CSV export into batch add. The header row names
// the columns, in any order, by the batch-add field names
//   域名 注册商 域名类型 自定义分类 注册时间 到期时间 一次成本 续费成本
//   预售底价 标价 (or 对外标价) 最终售价 备注 购买时间 出售时间
// or by their English names
//   domain registrar type category registered expires cost renewal
//   reserve price final note purchased sold_on
// (blanks around a name are ignored, English names in any case). Columns not
// named are empty fields; unknown columns are skipped and reported, except the
// derived columns of the listing export (后缀 长度 实际成本 利润 出售), which
// are computed again, and its last lookup (最后查询 查询来源 域名状态), which
// only a lookup writes, so that a file of `pelmora-cli list --format csv` comes
// back without a warning. Each
// record becomes one batch-add row; a record that cannot be read fails as
//   "第 " + line + " 行" + "[格式错误]"
// with the file line it starts on, and nothing of it is stored.

#include <string>
#include <string_view>
#include <vector>

#include "editing/batch_add.h"
#include "store/classification_lists.h"

namespace pelmora {

struct CsvImport {
  std::vector<BatchAddRow> rows;            // one per record, in file order
  std::vector<std::string> unknownColumns;  // as the header names them
  std::string error;  // the file cannot be imported at all (no 域名 column, ...)
  bool ok() const { return error.empty(); }
};

// `text` is UTF-8 (see decodeTextFile).
CsvImport readCsvImport(std::string_view text, const ClassificationLists& lists);

// "未知的列已跳过: a, b" (empty when there are none).
std::string unknownColumnsWarning(const std::vector<std::string>& columns);

}  // namespace pelmora
