#pragma once

// The WHOIS server of a top-level domain as IANA's own WHOIS server names it,
// for the registries the route table does not know. Each answer is kept for
// the process and, for kIanaWhoisKeep, in the user's cache folder.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>

#include "lookup/date_lookup_result.h"
#include "support/endpoints.h"

namespace pelmora {

// A kept answer older than this is asked again.
inline constexpr std::chrono::days kIanaWhoisKeep{30};

// The server an IANA answer refers to: its "refer:" line, else its "whois:"
// line, lower case, on kWhoisPort; none when neither names a host.
std::optional<HostPort> parseIanaReferral(std::string_view answer);

// The registry's WHOIS server for a top-level domain without its dot ("io",
// "xn--fiqs8s"), asked of ianaWhoisServer() unless kept from an earlier
// answer. None when IANA names no server (kept too), and when IANA could not
// be asked (not kept). Safe to call from several threads.
std::optional<HostPort> registryWhoisServer(std::string_view tld, CancelFlag cancel = nullptr);

// $XDG_CACHE_HOME/pelmora/iana-whois.tsv: lines "tld<TAB>host<TAB>unix seconds",
// the host empty where IANA names none.
std::filesystem::path ianaWhoisCacheFile();

// Forgets what the process has kept (the file stays), for tests.
void clearIanaWhoisMemory();

}  // namespace pelmora
