#pragma once

// Scripted servers on 127.0.0.1 for the lookup tests. Each serves connections
// on its own thread until destroyed; every wait is bounded.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelmora::testing {

class LoopbackServer {
 public:
  LoopbackServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 16);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  virtual ~LoopbackServer() { stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  std::string hostPort() const { return "127.0.0.1:" + std::to_string(port_); }
  int connections() const { return connections_; }

 protected:
  void start() {
    thread_ = std::thread([this] {
      while (!stopping_) {
        pollfd entry{listener_, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0) continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        const int index = connections_++;
        // One thread per connection, so a slow reply does not hold up the next.
        std::lock_guard lock(workersMutex_);
        workers_.emplace_back([this, client, index] {
          serve(client, index);
          ::close(client);
        });
      }
    });
  }
  void stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    {
      std::lock_guard lock(workersMutex_);
      for (std::thread& worker : workers_) {
        if (worker.joinable()) worker.join();
      }
      workers_.clear();
    }
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
  }

  virtual void serve(int client, int index) = 0;

  // Reads until `end` has arrived (or 2 s of silence).
  static std::string readUntil(int client, const std::string& end) {
    std::string text;
    char buffer[1024];
    while (text.find(end) == std::string::npos) {
      pollfd entry{client, POLLIN, 0};
      if (::poll(&entry, 1, 2000) <= 0) break;
      const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
  }
  static std::string readSome(int client) {
    char buffer[1024];
    pollfd entry{client, POLLIN, 0};
    if (::poll(&entry, 1, 2000) <= 0) return {};
    const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
  }
  // False once the client has gone.
  static bool sendText(int client, const std::string& text) {
    return ::send(client, text.data(), text.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(text.size());
  }
  bool stopping() const { return stopping_; }
  static void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex workersMutex_;
  std::vector<std::thread> workers_;
};

// A WHOIS server: per connection, reads the query line, then sends the
// segments of the scripted reply (the last reply repeats). It stops sending
// when the client has gone.
class FakeWhoisServer : public LoopbackServer {
 public:
  struct Reply {
    std::vector<std::string> segments;
    int gapMs = 0;      // pause before each segment
    int silenceMs = 0;  // pause before closing
  };

  explicit FakeWhoisServer(std::vector<Reply> replies) : replies_(std::move(replies)) { start(); }

  // The text one byte at a time, `gapMs` before each.
  static Reply drip(const std::string& text, int gapMs) {
    Reply reply{{}, gapMs, 0};
    for (const char c : text) reply.segments.emplace_back(1, c);
    return reply;
  }
  ~FakeWhoisServer() override { stop(); }

  std::vector<std::string> queries() {
    std::lock_guard lock(mutex_);
    return queries_;
  }

 protected:
  void serve(int client, int index) override {
    const std::string query = readUntil(client, "\r\n");
    {
      std::lock_guard lock(mutex_);
      queries_.push_back(query);
    }
    const Reply& reply =
        replies_[std::min<std::size_t>(static_cast<std::size_t>(index), replies_.size() - 1)];
    for (const std::string& segment : reply.segments) {
      sleepMs(reply.gapMs);
      if (stopping() || !sendText(client, segment)) return;
    }
    sleepMs(reply.silenceMs);
  }

 private:
  std::vector<Reply> replies_;
  std::mutex mutex_;
  std::vector<std::string> queries_;
};

// An HTTP/1.1 server answering each request with the scripted function.
class FakeHttpServer : public LoopbackServer {
 public:
  struct Request {
    std::string head;  // request line and headers
    std::string body;
    std::string line() const { return head.substr(0, head.find("\r\n")); }
    bool hasHeader(const std::string& line) const {
      return (head + "\r\n").find("\r\n" + line + "\r\n") != std::string::npos;
    }
    // The server's own "host:port", as the client named it.
    std::string host() const {
      const std::string lines = head + "\r\n";
      const std::size_t at = lines.find("\r\nHost: ");
      if (at == std::string::npos) return {};
      const std::size_t from = at + 8;
      return lines.substr(from, lines.find("\r\n", from) - from);
    }
  };
  using Handler = std::function<std::string(const Request&)>;

  explicit FakeHttpServer(Handler handler, int delayMs = 0)
      : handler_(std::move(handler)), delayMs_(delayMs) {
    start();
  }
  ~FakeHttpServer() override { stop(); }

  std::vector<Request> requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

  static std::string response(int status, const std::string& body,
                              const std::string& extraHeaders = {}) {
    return "HTTP/1.1 " + std::to_string(status) +
           " X\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n" +
           extraHeaders + "\r\n" + body;
  }

 protected:
  void serve(int client, int) override {
    std::string text = readUntil(client, "\r\n\r\n");
    Request request;
    const std::size_t end = text.find("\r\n\r\n");
    request.head = text.substr(0, end);
    request.body = end == std::string::npos ? std::string() : text.substr(end + 4);
    const std::size_t lengthAt = request.head.find("Content-Length: ");
    if (lengthAt != std::string::npos) {
      const std::size_t length = std::stoul(request.head.substr(lengthAt + 16));
      while (request.body.size() < length) {
        const std::string more = readSome(client);
        if (more.empty()) break;
        request.body += more;
      }
    }
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    sleepMs(delayMs_);
    sendText(client, handler_(request));
  }

 private:
  Handler handler_;
  int delayMs_;
  std::mutex mutex_;
  std::vector<Request> requests_;
};

// A server that misbehaves on purpose: per connection it reads the request (an
// HTTP head, or a WHOIS query line) and hands the connection to its script.
// Every way of sending gives up once the client has gone or the server stops.
class HostileServer : public LoopbackServer {
 public:
  enum class Reads { HttpHead, WhoisLine };

  class Connection {
   public:
    Connection(const HostileServer& server, int client) : server_(server), client_(client) {}
    const std::string& hostPort() const { return server_.hostPort_; }
    bool send(const std::string& text) const {
      return !server_.stopping() && sendText(client_, text);
    }
    // `bytes` copies of `fill`, in 64 KiB pieces: the server never holds them all.
    bool sendFilled(char fill, std::size_t bytes) const {
      const std::string piece(std::size_t{64} << 10, fill);
      while (bytes > 0) {
        const std::size_t now = std::min(bytes, piece.size());
        if (!send(piece.substr(0, now))) return false;
        bytes -= now;
      }
      return true;
    }
    // One byte every `gapMs`.
    bool drip(const std::string& text, int gapMs) const {
      for (const char c : text) {
        if (!pause(gapMs) || !send(std::string(1, c))) return false;
      }
      return true;
    }
    // Keeps the connection open and silent until the client goes.
    void holdOpen() const {
      while (pause(50)) {
      }
    }
    // The close that follows sends a reset instead of a FIN.
    void resetOnClose() const {
      const linger abort{1, 0};
      ::setsockopt(client_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    // Waits `ms`; false when the client has gone (or sent more) or the server stops.
    bool pause(int ms) const {
      for (int waited = 0; waited < ms; waited += 10) {
        if (server_.stopping()) return false;
        pollfd entry{client_, POLLIN, 0};
        if (::poll(&entry, 1, std::min(10, ms - waited)) != 0) return false;
      }
      return !server_.stopping();
    }

   private:
    const HostileServer& server_;
    int client_;
  };
  using Script = std::function<void(const Connection&)>;

  HostileServer(Reads reads, Script script)
      : reads_(reads), script_(std::move(script)), hostPort_(LoopbackServer::hostPort()) {
    start();
  }
  ~HostileServer() override { stop(); }

 protected:
  void serve(int client, int) override {
    readUntil(client, reads_ == Reads::HttpHead ? "\r\n\r\n" : "\r\n");
    script_(Connection(*this, client));
  }

 private:
  Reads reads_;
  Script script_;
  std::string hostPort_;
};

// Sets an environment variable for the lifetime of a test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { ::unsetenv(name_); }

 private:
  const char* name_;
};

}  // namespace pelmora::testing
