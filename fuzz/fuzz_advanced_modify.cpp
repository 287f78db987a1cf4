// A pasted advanced-modify list: split into lines, each line read into its
// domain and key=value pairs, the date values read as the run reads them.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "editing/advanced_modify.h"
#include "store/domain_record.h"
#include "support/dates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static const pelmora::ClassificationLists lists;

  for (const std::string& line : pelmora::advancedModifyLines(text)) {
    const pelmora::AdvancedModifyLine read = pelmora::parseAdvancedModifyLine(line, lists);
    if (read.domain.size() > line.size()) __builtin_trap();
    for (const pelmora::AdvancedModifyPair& pair : read.pairs) {
      if (pelmora::isDateField(pair.field)) (void)pelmora::parseDate(pair.value);
    }
  }
  return 0;
}
