// Dates as users type them; whatever is read must write and read back the same.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/dates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto date = pelmora::parseDate(text);
  if (!date) return 0;
  if (!date->ok()) __builtin_trap();
  const auto again = pelmora::parseDate(pelmora::formatDate(*date));
  if (!again || *again != *date) __builtin_trap();
  (void)pelmora::addDays(*date, 1);
  return 0;
}
