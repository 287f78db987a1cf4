// One pasted batch-add line, or a CSV record's fields, checked and built into
// a row. The classification lists are empty: filling them needs a database.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "editing/batch_add.h"
#include "support/text_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  static const pelmora::ClassificationLists lists;

  const pelmora::BatchAddRow row = pelmora::buildBatchAddRow(line, lists);
  if (row.record.has_value() == !row.tag.empty()) __builtin_trap();

  const pelmora::BatchAddRow fromFields =
      pelmora::buildBatchAddRow(pelmora::splitText(line, "\t"), lists);
  if (fromFields.record.has_value() == !fromFields.tag.empty()) __builtin_trap();
  return 0;
}
