// A WHOIS server's answer cut into its two dates, in both answer styles.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lookup/whois_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  for (const bool cnStyle : {false, true}) {
    const pelmora::DateLookupResult result = pelmora::parseWhoisAnswer(answer, cnStyle);
    if (result.empty()) __builtin_trap();
  }
  return 0;
}
