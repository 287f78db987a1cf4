// The web-whois service's answer body mapped onto a lookup result.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lookup/web_whois.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  if (pelmora::webWhoisResult(body).empty()) __builtin_trap();
  return 0;
}
