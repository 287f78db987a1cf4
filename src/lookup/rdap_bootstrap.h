#pragma once

// IANA's RDAP bootstrap for domain names (RFC 9224, dns.json): which RDAP
// server answers for which top-level domain. A copy ships inside the program;
// a fresher one is fetched at most once a week into the user's cache folder,
// and is used only when it reads as a bootstrap file.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "support/result.h"

namespace pelmora {

// The largest bootstrap file taken (IANA's is about 32 KiB).
inline constexpr std::size_t kRdapBootstrapCap = std::size_t{1} << 20;
// A cached copy younger than this is not fetched again.
inline constexpr std::chrono::hours kRdapBootstrapRefresh{24 * 7};

class RdapBootstrap {
 public:
  // Reads dns.json: `services` is a list of [[label, ...], [base URL, ...]].
  // Labels are kept in lower case; of a service's URLs an https one is
  // preferred, and every base ends with "/". Refused (with the reason) when
  // the text is not such a file or names no server at all.
  static Result<RdapBootstrap> parse(std::string_view json);

  // The base URL for a domain name or suffix ("example.co.uk", ".com",
  // "xn--fiqs8s"): the entry of its longest matching label suffix; none
  // when no entry matches.
  std::optional<std::string> baseUrlFor(std::string_view name) const;

  std::size_t entryCount() const { return bases_.size(); }
  const std::string& publication() const { return publication_; }

 private:
  std::unordered_map<std::string, std::string> bases_;
  std::string publication_;
};

// The copy built into the program.
const RdapBootstrap& bundledRdapBootstrap();

// $XDG_CACHE_HOME/pelmora/iana-rdap-dns.json (default ~/.cache/pelmora/).
std::filesystem::path rdapBootstrapCacheFile();

// The cached copy when there is a valid one, else the bundled copy.
RdapBootstrap currentRdapBootstrap();

enum class BootstrapRefresh { StillFresh, Refreshed, Failed };

// Fetches `<ianaRdapBase()>dns.json` into the cache file unless the cached
// copy is younger than kRdapBootstrapRefresh at `now`. An answer that is too
// large, not a bootstrap file or not a success leaves the cache as it was
// (Failed, with the reason in `error`).
BootstrapRefresh refreshRdapBootstrap(std::chrono::system_clock::time_point now,
                                      std::string* error = nullptr);

}  // namespace pelmora
