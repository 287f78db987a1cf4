// An RDAP answer (status, content type, body) mapped onto a lookup result.
// The first byte picks the status and the content type; the rest is the body.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lookup/rdap_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr std::array<int, 8> kStatuses{200, 404, 429, 500, 301, 0, 403, 204};
  static constexpr std::array<std::string_view, 4> kTypes{
      "", "application/rdap+json", "application/json", "text/html; charset=utf-8"};
  const int status = kStatuses[data[0] % kStatuses.size()];
  const std::string_view type = kTypes[(data[0] / kStatuses.size()) % kTypes.size()];
  const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (pelmora::rdapResult(status, body, type).empty()) __builtin_trap();
  return 0;
}
