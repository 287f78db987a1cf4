// The update record the product site publishes, read into its fields and
// checked as a fetched text is. The input's first line is the expected host.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/update_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  const std::string_view host =
      lineEnd == std::string_view::npos ? std::string_view() : input.substr(0, lineEnd);
  const std::string_view text =
      lineEnd == std::string_view::npos ? input : input.substr(lineEnd + 1);

  const auto fields = pelmora::updateRecordFields(text);
  const pelmora::UpdateRecord record = pelmora::readUpdateRecord(text);
  if (fields && fields->version != record.version) __builtin_trap();
  (void)pelmora::offersNewVersion(record);
  if (pelmora::isValidUpdateText(text, host) && !fields) __builtin_trap();
  return 0;
}
