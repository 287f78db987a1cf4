#pragma once

// Dates from a registry's WHOIS server over TCP port 43.

#include <optional>
#include <string>
#include <string_view>

#include "lookup/date_lookup_result.h"
#include "support/endpoints.h"

namespace pelmora {

struct WhoisTimeouts {
  int connectMs = 8000;
  int sendMs = 8000;
  int receiveMs = 8000;  // silence allowed before and between segments
  int attempts = 6;
  CancelFlag cancel = nullptr;  // checked while waiting and between attempts
  // The whole of one exchange, connect to last byte, however the bytes
  // trickle in; 0: three times receiveMs.
  int exchangeMs = 0;
  // The whole of one lookup, every attempt together.
  int lookupMs = 30000;
};

inline constexpr std::size_t kWhoisAnswerLimit = 20480;

// PELMORA_WHOIS_SERVER when set, else the server the route table gives a
// suffix (".com", ".com.cn", ...), or none.
std::optional<HostPort> whoisServerFor(std::string_view suffix);

// One exchange: the domain and "\r\n" sent, the answer read until the server
// closes or kWhoisAnswerLimit bytes have arrived. Empty on any failure (silence
// past receiveMs or a reset before the close included), for a
// name isDomainName refuses, and when the exchange outlasts its limit.
std::string whoisExchange(const HostPort& server, std::string_view domain,
                          const WhoisTimeouts& timeouts = {});

// Both dates of an answer, from the lines "label: date" of the registries'
// layouts ("Creation Date:", "created:", "Registration Time:", "Registry
// Expiry Date:", "paid-till:", "Expiration Time:", ... in any case), each as
// yyyy-MM-dd; "err" when neither is there. CNNIC's layout is one of those
// read, so `cnStyle` no longer changes the outcome.
DateLookupResult parseWhoisAnswer(std::string_view answer, bool cnStyle);

// Asks again while the answer has none of the markers and no date, up to
// `attempts` times and within lookupMs; an exchange cut off by its time limit
// is not asked again (a server that trickles does not answer better the second
// time). A name isDomainName refuses gives "非法后缀" without a connection.
DateLookupResult queryWhois(std::string_view domain, const WhoisTimeouts& timeouts = {});

// queryWhois against a given server; `cnAnswers`: read CNNIC's layout.
DateLookupResult queryWhoisAt(std::string_view domain, HostPort server, bool cnAnswers,
                              const WhoisTimeouts& timeouts = {});

// The first IPv4 address of a host, dotted; empty when it cannot be resolved.
std::string resolveHostToIPv4(std::string_view host);

}  // namespace pelmora
