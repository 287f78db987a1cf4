// A file read as CSV records and a pasted list split into lines.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/csv_reader.h"
#include "support/list_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const pelmora::CsvTable table = pelmora::readCsv(text);
  for (const pelmora::CsvRecord& record : table.records) {
    if (record.ok() && record.fields.size() != table.header.size()) __builtin_trap();
  }
  const auto lines = pelmora::splitListLines(text);
  if (pelmora::countListLines(text) > lines.size() + 1) __builtin_trap();
  return 0;
}
