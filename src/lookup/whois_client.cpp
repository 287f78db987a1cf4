#include "lookup/whois_client.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

#include "lookup/lookup_route.h"
#include "support/dates.h"
#include "support/domain_syntax.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

constexpr std::array<std::string_view, 5> kAnswerMarkers{"Domain Name", "Last update of",
                                                         "matching", "parameter", "auditing"};

// The labels registries put before the two dates, in lower case. Earlier
// labels win over later ones wherever they stand in the answer, so that a
// registrar's copy of the expiry gives way to the registry's own.
constexpr std::array<std::string_view, 10> kRegisteredLabels{
    "creation date",  "registration time",
    "created",        "created on",
    "created date",   "registered",
    "registered on",  "registration date",
    "record created", "domain registration date"};
constexpr std::array<std::string_view, 13> kExpiryLabels{"registry expiry date",
                                                         "expiration time",
                                                         "expiration date",
                                                         "expiry date",
                                                         "expires",
                                                         "expires on",
                                                         "expire",
                                                         "expire date",
                                                         "paid-till",
                                                         "valid until",
                                                         "record expires",
                                                         "renewal date",
                                                         "registrar registration expiration date"};

// The date a value starts with ("2001-02-03T04:05:06Z", "2001.02.03 04:05:06",
// "2001-02-03 (YYYY-MM-DD)"), as yyyy-MM-dd; empty when it starts with none.
std::string leadingDateOf(std::string_view value) {
  const auto date = parseDate(value.substr(0, value.find_first_of(" T")));
  return date ? formatDate(*date) : std::string();
}

struct LabelledDate {
  std::size_t rank = std::string_view::npos;
  std::string date;

  template <std::size_t N>
  void offer(const std::array<std::string_view, N>& labels, std::string_view label,
             std::string_view value) {
    const auto found = std::find(labels.begin(), labels.end(), label);
    const auto at = static_cast<std::size_t>(found - labels.begin());
    if (found == labels.end() || at >= rank) return;
    std::string readable = leadingDateOf(value);
    if (readable.empty()) return;
    rank = at;
    date = std::move(readable);
  }
};

bool hasMarker(std::string_view answer) {
  for (std::string_view marker : kAnswerMarkers) {
    if (findText(answer, marker, 0, true) != std::string_view::npos) return true;
  }
  // Many registries' answers carry none of the markers but their dates.
  return parseWhoisAnswer(answer, false) != kLookupNoAnswer;
}

class Socket {
 public:
  Socket() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool cancelled(CancelFlag cancel) { return cancel != nullptr && *cancel; }

using SteadyClock = std::chrono::steady_clock;

// The end of one exchange and the cancel flag, checked by every wait.
struct Limits {
  SteadyClock::time_point deadline;
  CancelFlag cancel;
  mutable bool deadlineReached = false;  // a wait ended by the deadline

  int remainingMs() const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
  }
};

// Waits in short slices so that a cancelled lookup ends quickly; never past
// the exchange's deadline.
bool waitFor(int fd, short events, int timeoutMs, const Limits& limits) {
  constexpr int kSliceMs = 100;
  const int allowedMs = std::min(timeoutMs, limits.remainingMs());
  for (int waited = 0; waited < allowedMs; waited += kSliceMs) {
    if (cancelled(limits.cancel)) return false;
    pollfd entry{fd, events, 0};
    const int rc = ::poll(&entry, 1, std::min(kSliceMs, allowedMs - waited));
    if (rc < 0 && errno == EINTR) continue;
    if (rc < 0) return false;
    if (rc > 0) return (entry.revents & (events | POLLHUP | POLLERR)) != 0;
  }
  if (allowedMs < timeoutMs && !cancelled(limits.cancel)) limits.deadlineReached = true;
  return false;
}

bool connectTo(int fd, const std::string& address, int port, int timeoutMs, const Limits& limits) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1) return false;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0) return true;
  if (errno != EINPROGRESS || !waitFor(fd, POLLOUT, timeoutMs, limits)) return false;
  int error = 0;
  socklen_t length = sizeof error;
  return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

bool sendAll(int fd, std::string_view bytes, int timeoutMs, const Limits& limits) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!waitFor(fd, POLLOUT, timeoutMs, limits)) return false;
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

// Reads until the server closes or the limit is reached. An answer cut off by
// silence, a reset or the deadline is no answer: the server ends a whole one
// by closing.
std::string receiveAll(int fd, int timeoutMs, const Limits& limits) {
  std::string answer;
  char buffer[4096];
  while (answer.size() < kWhoisAnswerLimit) {
    if (!waitFor(fd, POLLIN, timeoutMs, limits)) return {};
    const std::size_t room = std::min(sizeof buffer, kWhoisAnswerLimit - answer.size());
    const ssize_t got = ::recv(fd, buffer, room, 0);
    if (got > 0) {
      answer.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EAGAIN && errno != EINTR) {
      return {};
    }
  }
  return answer;
}

int exchangeLimitMs(const WhoisTimeouts& timeouts) {
  return timeouts.exchangeMs > 0 ? timeouts.exchangeMs : 3 * timeouts.receiveMs;
}

}  // namespace

std::optional<HostPort> whoisServerFor(std::string_view suffix) {
  if (const auto forced = whoisServerOverride()) return forced;
  const LookupRoute route = lookupRouteFor(suffix);
  if (route.service != LookupService::Whois) return std::nullopt;
  return HostPort{std::string(route.whoisHost), kWhoisPort};
}

std::string resolveHostToIPv4(std::string_view host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string name(host);
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return {};
  char text[INET_ADDRSTRLEN] = {};
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text);
  ::freeaddrinfo(found);
  return text;
}

namespace {

struct Exchange {
  std::string answer;
  bool cutOff = false;  // ended by its time limit
};

Exchange exchangeUntil(const HostPort& server, std::string_view domain,
                       const WhoisTimeouts& timeouts, SteadyClock::time_point lookupEnd) {
  // The query is one line: a name with a line break would add commands.
  if (!isDomainName(domain)) return {};
  const std::string address = resolveHostToIPv4(server.host);
  if (address.empty()) return {};
  const Limits limits{std::min(lookupEnd, SteadyClock::now() +
                                              std::chrono::milliseconds(exchangeLimitMs(timeouts))),
                      timeouts.cancel};
  Exchange exchange;
  Socket socket;
  if (socket.fd() >= 0 &&
      connectTo(socket.fd(), address, server.port, timeouts.connectMs, limits) &&
      sendAll(socket.fd(), std::string(domain) + "\r\n", timeouts.sendMs, limits)) {
    exchange.answer = receiveAll(socket.fd(), timeouts.receiveMs, limits);
  }
  exchange.cutOff = exchange.answer.empty() && limits.deadlineReached;
  return exchange;
}

}  // namespace

std::string whoisExchange(const HostPort& server, std::string_view domain,
                          const WhoisTimeouts& timeouts) {
  return exchangeUntil(server, domain, timeouts, SteadyClock::time_point::max()).answer;
}

DateLookupResult parseWhoisAnswer(std::string_view answer, bool) {
  LabelledDate registered;
  LabelledDate expires;
  for (std::size_t from = 0; from < answer.size();) {
    const std::size_t end = std::min(answer.find('\n', from), answer.size());
    std::string_view line = answer.substr(from, end - from);
    from = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string label = lowerAscii(trimSpaces(line.substr(0, colon)));
    const std::string value = trimSpaces(line.substr(colon + 1));
    registered.offer(kRegisteredLabels, label, value);
    expires.offer(kExpiryLabels, label, value);
  }
  return joinDates(registered.date, expires.date);
}

DateLookupResult queryWhois(std::string_view domain, const WhoisTimeouts& timeouts) {
  if (!isDomainName(domain)) return std::string(kLookupIllegalSuffix);
  const std::string suffix = lookupSuffix(domain);
  const auto server = whoisServerFor(suffix);
  if (!server) return std::string(kLookupNoAnswer);
  return queryWhoisAt(domain, *server, lookupRouteFor(suffix).cnAnswers, timeouts);
}

DateLookupResult queryWhoisAt(std::string_view domain, HostPort server, bool cnAnswers,
                              const WhoisTimeouts& timeouts) {
  if (!isDomainName(domain)) return std::string(kLookupIllegalSuffix);
  // Resolve once for all attempts.
  const std::string address = resolveHostToIPv4(server.host);
  if (address.empty()) return std::string(kLookupNoAnswer);
  server.host = address;

  const auto lookupEnd = SteadyClock::now() + std::chrono::milliseconds(timeouts.lookupMs);
  std::string answer;
  bool cnStyle = false;
  for (int attempt = 0;
       attempt < timeouts.attempts && !cancelled(timeouts.cancel) && SteadyClock::now() < lookupEnd;
       ++attempt) {
    Exchange exchange = exchangeUntil(server, domain, timeouts, lookupEnd);
    answer = std::move(exchange.answer);
    if (hasMarker(answer)) {
      cnStyle = cnAnswers;
      break;
    }
    if (exchange.cutOff) break;
  }
  return parseWhoisAnswer(answer, cnStyle);
}

}  // namespace pelmora
