#include "support/http_request.h"

#include <algorithm>
#include <vector>

#include "support/curl_library.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

struct CappedBody {
  std::string* body;
  std::size_t cap;
};

// Returning less than was offered makes libcurl abort the transfer.
std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* target) {
  auto* sink = static_cast<CappedBody*>(target);
  const std::size_t bytes = size * count;
  if (bytes > sink->cap - std::min(sink->cap, sink->body->size())) return 0;
  sink->body->append(data, bytes);
  return bytes;
}

// Keeps the header lines of the last response (a redirect or a 100 Continue
// starts a new block).
std::size_t appendHeader(char* data, std::size_t size, std::size_t count, void* target) {
  auto* lines = static_cast<std::vector<std::string>*>(target);
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.rfind("HTTP/", 0) == 0) {
    lines->clear();
  } else if (!line.empty()) {
    lines->push_back(line);
  }
  return size * count;
}

int abortWhenCancelled(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* cancel = static_cast<const std::atomic<bool>*>(flag);
  return cancel != nullptr && *cancel ? 1 : 0;
}

struct SList {
  const CurlLibrary& curl;
  curl_slist* list = nullptr;
  ~SList() { curl.slistFreeAll(list); }
  void add(const std::string& line) { list = curl.slistAppend(list, line.c_str()); }
};

}  // namespace

HttpSession::HttpSession() : handle_(nullptr) {
  const CurlLibrary* curl = curlLibrary();
  if (curl == nullptr) return;
  handle_ = curl->easyInit();
  if (handle_ != nullptr) curl->easySetopt(static_cast<CURL*>(handle_), CURLOPT_COOKIEFILE, "");
}

HttpSession::~HttpSession() {
  // A handle exists only if the library loaded.
  if (handle_ != nullptr) curlLibrary()->easyCleanup(static_cast<CURL*>(handle_));
}

bool isWebAddress(std::string_view address) {
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (address.size() > scheme.size() &&
        findText(address.substr(0, scheme.size()), scheme, 0, true) == 0) {
      return true;
    }
  }
  return false;
}

long timeoutMilliseconds(int seconds) {
  if (seconds == -1) return -1;
  if (seconds < 1) return 15000;
  return static_cast<long>(seconds) * 1000;
}

std::string completeHeaderLines(std::string lines, std::string_view url) {
  if (lines.find("Accept:") == std::string::npos) {
    lines = lines.empty() ? std::string("Accept: */*") : lines + "\r\nAccept: */*";
  }
  if (lines.find("Referer:") == std::string::npos) lines += "\r\nReferer: " + std::string(url);
  if (lines.find("Accept-Language:") == std::string::npos) lines += "\r\nAccept-Language: zh-cn";
  if (lines.find("User-Agent:") == std::string::npos) {
    lines += "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
  }
  if (lines.find("Content-Type:") == std::string::npos) {
    lines += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  return lines;
}

std::string percentEncode(std::string_view text) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~') {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

std::string normaliseSetCookie(std::string_view headers) {
  return replaceMany(headers, {{"Set-Cookie", "Set-Cookie"}});
}

std::string cookiesFromHeaders(std::string_view headers) {
  std::string cookies;
  for (const std::string& line : splitText(headers, "\r\n")) {
    if (line.find("Set-Cookie") == std::string::npos) continue;
    const std::string cookie =
        line.find(';') == std::string::npos
            ? trimSpaces(replaceMany(line, {{"Set-Cookie:", ""}}, -1, 1, true))
            : trimSpaces(textBetween(line, "Set-Cookie:", ";"));
    cookies += cookie + "; ";
  }
  if (cookies.size() >= 2) cookies.resize(cookies.size() - 2);
  return cookies;
}

HttpResponse httpRequest(const HttpRequest& request) {
  HttpResponse response;
  const CurlLibrary* library = curlLibrary(&response.error);
  if (library == nullptr) return response;
  const CurlLibrary& lib = *library;
  std::unique_ptr<CURL, decltype(lib.easyCleanup)> own(nullptr, lib.easyCleanup);
  CURL* curl = nullptr;
  if (request.session != nullptr) {
    curl = static_cast<CURL*>(request.session->handle());
  } else {
    own.reset(lib.easyInit());
    curl = own.get();
  }
  if (curl == nullptr) {
    response.error = "libcurl could not make a request handle";
    return response;
  }

  if (!isWebAddress(request.url)) {
    response.error = "only http and https addresses are requested";
    return response;
  }
  lib.easySetopt(curl, CURLOPT_URL, request.url.c_str());
  // Neither the address nor any redirect may reach another protocol (gopher
  // and dict would let an answer talk to local services).
  if (lib.easySetopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") != CURLE_OK ||
      lib.easySetopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") != CURLE_OK) {
    response.error = "libcurl cannot restrict requests to http and https";
    return response;
  }
  lib.easySetopt(curl, CURLOPT_NOSIGNAL, 1L);
  lib.easySetopt(curl, CURLOPT_HTTPGET, 1L);
  const std::string& body = request.bodyBytes.empty() ? request.body : request.bodyBytes;
  switch (request.method) {
    case HttpMethod::Post:
      lib.easySetopt(curl, CURLOPT_POST, 1L);
      lib.easySetopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
      lib.easySetopt(curl, CURLOPT_POSTFIELDS, body.data());
      break;
    case HttpMethod::Head:
      lib.easySetopt(curl, CURLOPT_NOBODY, 1L);
      break;
    default:
      if (!body.empty()) {
        lib.easySetopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        lib.easySetopt(curl, CURLOPT_POSTFIELDS, body.data());
        lib.easySetopt(curl, CURLOPT_CUSTOMREQUEST, "GET");
      }
      break;
  }

  const long ms = timeoutMilliseconds(request.timeoutSeconds);
  if (ms > 0) {
    // Name resolution and connect; then a stalled send or receive; then a
    // hard bound for the whole exchange.
    lib.easySetopt(curl, CURLOPT_CONNECTTIMEOUT_MS, ms);
    lib.easySetopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    lib.easySetopt(curl, CURLOPT_LOW_SPEED_TIME, std::max(1L, ms / 1000));
    lib.easySetopt(curl, CURLOPT_TIMEOUT_MS, ms * 3);
  }
  lib.easySetopt(curl, CURLOPT_FOLLOWLOCATION, request.noRedirect ? 0L : 1L);
  lib.easySetopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(std::max(0, request.maxRedirects)));
  // Refused up front when the announced length is too long; counted in
  // appendBody when the server does not announce it.
  lib.easySetopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBodyBytes));
  // Certificates are verified (libcurl's default); plain http is unaffected.
  lib.easySetopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  lib.easySetopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);

  SList proxyHeaders{lib};
  if (!request.proxy.empty()) {
    lib.easySetopt(curl, CURLOPT_PROXY, request.proxy.c_str());
    if (!request.proxyUser.empty() && request.proxyAuthMode == 1) {
      // Only the proxy sees the credentials, never the target server.
      proxyHeaders.add("Proxy-Authorization: Basic " +
                       base64Encode(request.proxyUser + ":" + request.proxyPassword));
      lib.easySetopt(curl, CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);
      lib.easySetopt(curl, CURLOPT_PROXYHEADER, proxyHeaders.list);
    }
  }

  response.headerLines = completeHeaderLines(request.headerLines, request.url);
  SList headers{lib};
  if (!request.cookiesIn.empty()) headers.add("Cookie: " + request.cookiesIn);
  for (const std::string& line : splitText(response.headerLines, "\r\n")) {
    const std::string name = headerName(line);
    if (name.empty()) continue;
    headers.add(name + ": " + headerValue(line));
  }
  lib.easySetopt(curl, CURLOPT_HTTPHEADER, headers.list);

  std::vector<std::string> headerBlock;
  lib.easySetopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
  CappedBody sink{&response.body, request.maxBodyBytes};
  lib.easySetopt(curl, CURLOPT_WRITEDATA, &sink);
  lib.easySetopt(curl, CURLOPT_HEADERFUNCTION, appendHeader);
  lib.easySetopt(curl, CURLOPT_HEADERDATA, &headerBlock);

  if (request.cancel != nullptr) {
    lib.easySetopt(curl, CURLOPT_XFERINFOFUNCTION, abortWhenCancelled);
    lib.easySetopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(request.cancel));
    lib.easySetopt(curl, CURLOPT_NOPROGRESS, 0L);
  }
  const CURLcode outcome = lib.easyPerform(curl);
  response.complete = outcome == CURLE_OK;
  if (!response.complete) response.error = lib.easyStrerror(outcome);
  lib.easySetopt(curl, CURLOPT_NOPROGRESS, 1L);
  // A cut body is no answer.
  if (!response.complete) response.body.clear();
  long status = 0;
  lib.easyGetinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  response.status = static_cast<int>(status);
  const char* contentType = nullptr;
  if (lib.easyGetinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK &&
      contentType != nullptr) {
    response.contentType = contentType;
  }
  std::string joined;
  for (const std::string& line : headerBlock) {
    if (!joined.empty()) joined += "\r\n";
    joined += line;
  }
  response.headers = normaliseSetCookie(joined);
  response.cookiesOut = cookiesFromHeaders(response.headers);

  // A session handle outlives this call: drop pointers into our locals.
  lib.easySetopt(curl, CURLOPT_HTTPHEADER, nullptr);
  lib.easySetopt(curl, CURLOPT_PROXYHEADER, nullptr);
  lib.easySetopt(curl, CURLOPT_POSTFIELDS, nullptr);
  lib.easySetopt(curl, CURLOPT_CUSTOMREQUEST, nullptr);
  lib.easySetopt(curl, CURLOPT_NOBODY, 0L);
  return response;
}

std::optional<int> retryAfterSeconds(std::string_view headers) {
  std::optional<int> seconds;
  for (const std::string& line : splitText(headers, "\r\n")) {
    if (lowerAscii(headerName(line)) != "retry-after") continue;
    const std::string value = headerValue(line);
    const bool digits = !value.empty() && value.size() <= 9 &&
                        value.find_first_not_of("0123456789") == std::string::npos;
    seconds = digits ? std::optional<int>(std::stoi(value)) : std::nullopt;
  }
  return seconds;
}

}  // namespace pelmora
