// IANA's RDAP bootstrap file as a server might send it: any text is refused
// or read, and a text that reads answers every name with a web address.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lookup/rdap_bootstrap.h"
#include "support/http_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto bootstrap = pelmora::RdapBootstrap::parse(text);
  if (!bootstrap) return 0;
  for (std::string_view name : {"example.com", "a.b.co.uk", "xn--fiqs8s", ".", ""}) {
    const auto base = bootstrap->baseUrlFor(name);
    if (base && (!pelmora::isWebAddress(*base) || base->back() != '/')) __builtin_trap();
  }
  return 0;
}
