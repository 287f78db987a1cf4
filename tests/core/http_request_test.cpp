#include "support/http_request.h"

#include <gtest/gtest.h>

#include "fake_servers.h"

namespace pelmora::testing {
namespace {

struct HeaderCase {
  std::string given;
  std::string expected;
};

class HeaderAssembly : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderAssembly, AddsMissingDefaultsInOrder) {
  EXPECT_EQ(completeHeaderLines(GetParam().given, "http://h/p"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderAssembly,
    ::testing::Values(
        HeaderCase{"",
                   "Accept: */*\r\nReferer: http://h/p\r\nAccept-Language: zh-cn\r\n"
                   "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                   "Content-Type: application/x-www-form-urlencoded"},
        HeaderCase{
            "User-Agent: X",
            "User-Agent: X\r\nAccept: */*\r\nReferer: http://h/p\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded"},
        // "Accept-Language:" does not contain "Accept:".
        HeaderCase{"Accept-Language: en",
                   "Accept-Language: en\r\nAccept: */*\r\nReferer: http://h/p\r\n"
                   "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                   "Content-Type: application/x-www-form-urlencoded"}));

TEST(HttpHelpers, TimeOutsCookiesAndSetCookieNames) {
  EXPECT_EQ(timeoutMilliseconds(0), 15000);
  EXPECT_EQ(timeoutMilliseconds(-5), 15000);
  EXPECT_EQ(timeoutMilliseconds(3), 3000);
  EXPECT_EQ(timeoutMilliseconds(-1), -1);
  EXPECT_EQ(normaliseSetCookie("set-cookie: a=1; path=/\r\nSET-COOKIE: b=2"),
            "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2");
  EXPECT_EQ(cookiesFromHeaders("Set-Cookie: a=1; path=/\r\nX: y\r\nSet-Cookie: b=2"), "a=1; b=2");
  EXPECT_EQ(cookiesFromHeaders("X: y"), "");
  // Retry-After in seconds, the last one of the redirects' headers; a date is not read.
  EXPECT_EQ(retryAfterSeconds("HTTP/1.1 429\r\nretry-after: 120"), 120);
  EXPECT_EQ(retryAfterSeconds("Retry-After: 5\r\nRetry-After: 7"), 7);
  EXPECT_EQ(retryAfterSeconds("Retry-After: Fri, 31 Dec 1999 23:59:59 GMT"), std::nullopt);
  EXPECT_EQ(retryAfterSeconds("Retry-After: -3\r\nX: 1"), std::nullopt);
}

struct EncodeCase {
  std::string text;
  std::string encoded;
};

class PercentEncoding : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(PercentEncoding, KeepsOnlyUnreservedBytes) {
  EXPECT_EQ(percentEncode(GetParam().text), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(Cases, PercentEncoding,
                         ::testing::Values(EncodeCase{"abc-XYZ_0.9~", "abc-XYZ_0.9~"},
                                           EncodeCase{"a.xyz&server=x", "a.xyz%26server%3Dx"},
                                           EncodeCase{"a b/c?d#e%f", "a%20b%2Fc%3Fd%23e%25f"},
                                           EncodeCase{"中文.cn", "%E4%B8%AD%E6%96%87.cn"},
                                           EncodeCase{std::string("\r\n\0", 3), "%0D%0A%00"},
                                           EncodeCase{"", ""}));

class HttpAgainstFake : public ::testing::Test {
 protected:
  FakeHttpServer server{[](const FakeHttpServer::Request& r) {
    if (r.line().find("/loop") != std::string::npos) {
      return FakeHttpServer::response(302, "again", "Location: /loop\r\n");
    }
    if (r.line().find("/announced-big") != std::string::npos) {
      return FakeHttpServer::response(200, std::string(kDefaultBodyCap + 1, 'x'));
    }
    if (r.line().find("/unannounced-big") != std::string::npos) {
      return "HTTP/1.1 200 X\r\nConnection: close\r\n\r\n" + std::string(kDefaultBodyCap + 1, 'x');
    }
    if (r.line().find("/at-the-cap") != std::string::npos) {
      return "HTTP/1.1 200 X\r\nConnection: close\r\nContent-Type: text/x-test\r\n\r\n" +
             std::string(kDefaultBodyCap, 'x');
    }
    if (r.line().find("/redirect") != std::string::npos) {
      return FakeHttpServer::response(302, "moved", "Location: /target\r\n");
    }
    if (r.line().find("/cookie") != std::string::npos) {
      return FakeHttpServer::response(200, "c", "set-cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n");
    }
    return FakeHttpServer::response(201, "hello \xff bytes");
  }};
  std::string url(const std::string& path) { return "http://" + server.hostPort() + path; }
};

TEST_F(HttpAgainstFake, GetSendsDefaultHeadersAndReturnsRawBody) {
  HttpRequest request;
  request.url = url("/x");
  request.method = static_cast<HttpMethod>(7);  // out of range: GET
  request.cookiesIn = "k=v";
  request.timeoutSeconds = 3;
  const HttpResponse response = httpRequest(request);
  EXPECT_EQ(response.status, 201);
  EXPECT_TRUE(response.complete);
  EXPECT_EQ(response.error, "");
  EXPECT_EQ(response.body, "hello \xff bytes");
  ASSERT_EQ(server.requests().size(), 1u);
  const auto sent = server.requests()[0];
  EXPECT_EQ(sent.line(), "GET /x HTTP/1.1");
  EXPECT_TRUE(sent.hasHeader("Accept: */*"));
  EXPECT_TRUE(sent.hasHeader("Referer: " + url("/x")));
  EXPECT_TRUE(sent.hasHeader("Accept-Language: zh-cn"));
  EXPECT_TRUE(sent.hasHeader("Content-Type: application/x-www-form-urlencoded"));
  EXPECT_TRUE(sent.hasHeader("Cookie: k=v"));
  EXPECT_EQ(response.headerLines, completeHeaderLines("", request.url));
}

TEST_F(HttpAgainstFake, PostAndHead) {
  HttpRequest post;
  post.url = url("/p");
  post.method = HttpMethod::Post;
  post.body = "a=1&b=2";
  EXPECT_EQ(httpRequest(post).status, 201);
  HttpRequest head;
  head.url = url("/h");
  head.method = HttpMethod::Head;
  EXPECT_EQ(httpRequest(head).body, "");
  const auto sent = server.requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].line(), "POST /p HTTP/1.1");
  EXPECT_EQ(sent[0].body, "a=1&b=2");
  EXPECT_EQ(sent[1].line(), "HEAD /h HTTP/1.1");
}

TEST_F(HttpAgainstFake, ResponseHeadersCookiesAndRedirects) {
  HttpRequest request;
  request.url = url("/cookie");
  const HttpResponse response = httpRequest(request);
  EXPECT_EQ(response.cookiesOut, "a=1; b=2");
  EXPECT_NE(response.headers.find("Set-Cookie: a=1; path=/"), std::string::npos);
  EXPECT_EQ(response.headers.find("set-cookie"), std::string::npos);

  request.url = url("/redirect");
  request.noRedirect = true;
  EXPECT_EQ(httpRequest(request).status, 302);
  request.noRedirect = false;
  const HttpResponse followed = httpRequest(request);
  EXPECT_EQ(followed.status, 201);
  EXPECT_EQ(server.requests().back().line(), "GET /target HTTP/1.1");
}

struct CapCase {
  std::string path;
  std::size_t cap;
  bool complete;
  std::size_t bodySize;
};

void PrintTo(const CapCase& c, std::ostream* out) { *out << c.path << " capped at " << c.cap; }

class HttpBodyCap : public HttpAgainstFake, public ::testing::WithParamInterface<CapCase> {};

TEST_P(HttpBodyCap, LongerBodiesAbortTheTransfer) {
  HttpRequest request;
  request.url = url(GetParam().path);
  request.maxBodyBytes = GetParam().cap;
  const HttpResponse response = httpRequest(request);
  EXPECT_EQ(response.complete, GetParam().complete);
  EXPECT_EQ(response.body.size(), GetParam().bodySize);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, HttpBodyCap,
    ::testing::Values(CapCase{"/at-the-cap", kDefaultBodyCap, true, kDefaultBodyCap},
                      CapCase{"/announced-big", kDefaultBodyCap, false, 0},
                      CapCase{"/unannounced-big", kDefaultBodyCap, false, 0},
                      CapCase{"/at-the-cap", kDefaultBodyCap - 1, false, 0},
                      CapCase{"/x", 13, true, 13}, CapCase{"/x", 12, false, 0}));

TEST_F(HttpAgainstFake, TheDefaultCapIsOneMebibyteAndTheContentTypeIsKept) {
  EXPECT_EQ(HttpRequest{}.maxBodyBytes, std::size_t{1} << 20);
  HttpRequest request;
  request.url = url("/at-the-cap");
  EXPECT_EQ(httpRequest(request).contentType, "text/x-test");
  request.url = url("/unannounced-big");
  EXPECT_FALSE(httpRequest(request).complete);
}

TEST_F(HttpAgainstFake, RedirectLoopStopsAfterFiveRedirects) {
  HttpRequest request;
  request.url = url("/loop");
  const HttpResponse looped = httpRequest(request);
  EXPECT_FALSE(looped.complete);
  EXPECT_EQ(looped.body, "");
  EXPECT_EQ(server.requests().size(), 6u);  // the request and five redirects

  request.maxRedirects = 1;
  httpRequest(request);
  EXPECT_EQ(server.requests().size(), 8u);
}

TEST_F(HttpAgainstFake, SessionKeepsCookiesBetweenRequests) {
  HttpSession session;
  HttpRequest request;
  request.session = &session;
  request.url = url("/cookie");
  httpRequest(request);
  request.url = url("/next");
  httpRequest(request);
  EXPECT_NE(server.requests().back().head.find("a=1"), std::string::npos);
}

TEST_F(HttpAgainstFake, ProxyGetsBasicCredentials) {
  HttpRequest request;
  request.url = "http://example.invalid/through";
  request.proxy = server.hostPort();
  request.proxyUser = "user";
  request.proxyPassword = "pa ss";
  EXPECT_EQ(httpRequest(request).status, 201);
  const auto sent = server.requests().back();
  EXPECT_EQ(sent.line(), "GET http://example.invalid/through HTTP/1.1");
  EXPECT_TRUE(sent.hasHeader("Proxy-Authorization: Basic dXNlcjpwYSBzcw=="));
}

TEST(HttpFailures, OnlyHttpAndHttpsAreSpokenEvenAfterARedirect) {
  FakeWhoisServer localService({{{"+OK\r\n"}}});
  const std::string service = localService.hostPort();
  FakeHttpServer redirecting([&service](const FakeHttpServer::Request& r) {
    const std::string scheme = r.line().substr(5, r.line().find(' ', 5) - 5);
    return FakeHttpServer::response(302, "", "Location: " + scheme + "://" + service + "/_SET\r\n");
  });
  for (const std::string scheme : {"gopher", "dict", "file", "ftp", "telnet"}) {
    SCOPED_TRACE(scheme);
    HttpRequest request;
    request.url = scheme + "://" + service + "/_SET%20pwned%201";
    EXPECT_FALSE(httpRequest(request).complete);
    request.url = "http://" + redirecting.hostPort() + "/" + scheme;
    EXPECT_FALSE(httpRequest(request).complete);
  }
  EXPECT_EQ(localService.connections(), 0);
  EXPECT_EQ(redirecting.requests().size(), 5u);
  EXPECT_TRUE(isWebAddress("HTTPS://a.example/"));
  EXPECT_FALSE(isWebAddress("http://"));
}

TEST(HttpFailures, RefusedOrSlowGivesEmptyBody) {
  int port = 0;
  {
    FakeHttpServer gone([](const auto&) { return std::string(); });
    port = gone.port();
  }
  HttpRequest request;
  request.url = "http://127.0.0.1:" + std::to_string(port) + "/";
  request.timeoutSeconds = 1;
  EXPECT_EQ(httpRequest(request).body, "");
  EXPECT_EQ(httpRequest(request).status, 0);
  const HttpResponse refused = httpRequest(request);
  EXPECT_FALSE(refused.complete);
  EXPECT_FALSE(refused.error.empty());

  FakeHttpServer slow([](const auto&) { return FakeHttpServer::response(200, "late"); }, 2500);
  request.url = "http://" + slow.hostPort() + "/";
  EXPECT_EQ(httpRequest(request).body, "");

  // A cancelled request gives up without waiting for its time-out.
  const std::atomic<bool> cancel{true};
  request.timeoutSeconds = 30;
  request.cancel = &cancel;
  const HttpResponse cancelled = httpRequest(request);
  EXPECT_EQ(cancelled.body, "");
  EXPECT_EQ(cancelled.status, 0);
}

}  // namespace
}  // namespace pelmora::testing
