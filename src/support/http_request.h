#pragma once

// The one synchronous web request of the program, on libcurl. Fills in the
// header lines a browser would send when the caller left them out, and returns
// the body bytes with the response headers, status and cookies.

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// A reusable request object: keeps its connection and its cookies between
// requests.
class HttpSession {
 public:
  HttpSession();
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;
  void* handle() const { return handle_; }

 private:
  void* handle_;
};

enum class HttpMethod { Get = 0, Post = 1, Head = 2 };

// The largest answer body a request keeps unless it asks for another cap.
inline constexpr std::size_t kDefaultBodyCap = std::size_t{1} << 20;
inline constexpr int kDefaultRedirectLimit = 5;

struct HttpRequest {
  std::string url;
  HttpMethod method = HttpMethod::Get;  // another value reads as Get
  std::string body;
  std::string cookiesIn;
  std::string headerLines;  // "Name: value" lines separated by "\r\n"
  bool noRedirect = false;
  std::string bodyBytes;   // sent instead of `body` when not empty
  std::string proxy;       // host:port
  int timeoutSeconds = 0;  // -1 transport defaults; below 1: 15 s
  std::string proxyUser;
  std::string proxyPassword;
  int proxyAuthMode = 1;  // 1: Basic Proxy-Authorization
  HttpSession* session = nullptr;
  const std::atomic<bool>* cancel = nullptr;   // set: the request gives up at once
  std::size_t maxBodyBytes = kDefaultBodyCap;  // a longer body aborts the transfer
  int maxRedirects = kDefaultRedirectLimit;    // followed at most this often
};

struct HttpResponse {
  std::string body;
  std::string headers;  // "\r\n"-separated, every set-cookie name written "Set-Cookie"
  int status = 0;
  std::string cookiesOut;   // "a=1; b=2"
  std::string headerLines;  // the request's header lines as completed and sent
  std::string contentType;  // of the last response, as the server named it
  // False when the exchange did not run to its end (refused, timed out,
  // cancelled, too many redirects, body over the cap); the body is then empty.
  bool complete = false;
  std::string error;  // why it did not complete, in libcurl's words
};

HttpResponse httpRequest(const HttpRequest& request);

// The header text completed with Accept, Referer, Accept-Language, User-Agent
// and Content-Type where their labels are missing.
std::string completeHeaderLines(std::string headerLines, std::string_view url);

// True for an "http://" or "https://" address (scheme in any letter case)
// with something after the scheme: the only addresses the program requests
// or hands to the desktop to open.
bool isWebAddress(std::string_view address);

// Milliseconds for a time-out in seconds: -1 stays -1 (transport defaults),
// below 1 gives 15000.
long timeoutMilliseconds(int seconds);

// Every byte but ASCII letters, digits and "-._~" as %XX (UTF-8 bytes one by
// one), for a value placed in a URL.
std::string percentEncode(std::string_view text);

// The seconds of the last Retry-After header given in seconds; none for an
// absent one or a date.
std::optional<int> retryAfterSeconds(std::string_view headers);

// "Set-Cookie" in any letter case rewritten as "Set-Cookie".
std::string normaliseSetCookie(std::string_view headers);

// The cookies the response headers set, as "a=1; b=2".
std::string cookiesFromHeaders(std::string_view headers);

}  // namespace pelmora
