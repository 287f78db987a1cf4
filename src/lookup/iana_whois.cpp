#include "lookup/iana_whois.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <system_error>

#include "lookup/whois_client.h"
#include "support/result.h"
#include "support/text_helpers.h"
#include "support/user_folders.h"
#include "support/whole_file_write.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;

// A few hundred TLDs at most end up here; a larger file is not ours.
constexpr std::uintmax_t kCacheFileCap = std::uintmax_t{1} << 20;

bool isLowerAlnumOrHyphen(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool isTopLevelLabel(std::string_view text) {
  return !text.empty() && text.size() <= 63 && text.front() != '-' && text.back() != '-' &&
         std::all_of(text.begin(), text.end(), isLowerAlnumOrHyphen);
}

// Lower-case letters, digits, "-" and "." in labels that are not empty.
bool isHostName(std::string_view text) {
  if (text.empty() || text.size() > 253 || text.front() == '.' || text.back() == '.' ||
      text.find("..") != std::string_view::npos) {
    return false;
  }
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return c == '.' || isLowerAlnumOrHyphen(c); });
}

struct Kept {
  std::string host;          // empty: IANA names no server
  std::int64_t askedAt = 0;  // unix seconds
};
using KeptTable = std::map<std::string, Kept, std::less<>>;

std::int64_t unixSecondsNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// An entry from the future (a clock set back) is asked again too.
bool isFresh(const Kept& kept, std::int64_t now) {
  return kept.askedAt <= now && now - kept.askedAt < std::chrono::seconds(kIanaWhoisKeep).count();
}

std::optional<HostPort> serverOf(const Kept& kept) {
  if (kept.host.empty()) return std::nullopt;
  return HostPort{kept.host, kWhoisPort};
}

// The file's entries; lines that are not entries are skipped, and a file
// that cannot be read holds none.
KeptTable readKeptFile() {
  KeptTable table;
  const std::filesystem::path file = ianaWhoisCacheFile();
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size > kCacheFileCap) return table;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const std::vector<std::string> parts = splitText(line, "\t");
    if (parts.size() != 3 || !isTopLevelLabel(parts[0]) ||
        (!parts[1].empty() && !isHostName(parts[1]))) {
      continue;
    }
    std::int64_t askedAt = 0;
    const char* end = parts[2].data() + parts[2].size();
    const auto [stop, error] = std::from_chars(parts[2].data(), end, askedAt);
    if (error != std::errc{} || stop != end) continue;
    table.insert_or_assign(parts[0], Kept{parts[1], askedAt});
  }
  return table;
}

// The fresh entries, written whole (a reader never sees half a file).
Result<void> writeKeptFile(const KeptTable& table, std::int64_t now) {
  return writeFileWhole(
      ianaWhoisCacheFile(),
      [&](std::ostream& out) {
        for (const auto& [tld, kept] : table) {
          if (isFresh(kept, now)) out << tld << '\t' << kept.host << '\t' << kept.askedAt << '\n';
        }
        return std::string();
      },
      true);
}

struct Memory {
  std::mutex mutex;
  std::condition_variable answered;
  KeptTable kept;
  std::set<std::string, std::less<>> asking;  // TLDs whose question is on its way
};

Memory& memory() {
  static Memory shared;
  return shared;
}

}  // namespace

std::optional<HostPort> parseIanaReferral(std::string_view answer) {
  std::string refer;
  std::string whois;
  for (std::string line : splitText(answer, "\n")) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string label = lowerAscii(headerName(line));
    if (label != "refer" && label != "whois") continue;
    std::string host = lowerAscii(headerValue(line));
    std::string& slot = label == "refer" ? refer : whois;
    if (slot.empty() && isHostName(host)) slot = std::move(host);
  }
  const std::string& host = refer.empty() ? whois : refer;
  if (host.empty()) return std::nullopt;
  return HostPort{host, kWhoisPort};
}

std::filesystem::path ianaWhoisCacheFile() {
  return userFolder("XDG_CACHE_HOME", ".cache") / "iana-whois.tsv";
}

void clearIanaWhoisMemory() {
  Memory& shared = memory();
  std::lock_guard lock(shared.mutex);
  shared.kept.clear();
}

std::optional<HostPort> registryWhoisServer(std::string_view tld, CancelFlag cancel) {
  const std::string label = lowerAscii(tld);
  if (!isTopLevelLabel(label)) return std::nullopt;
  Memory& shared = memory();
  std::unique_lock lock(shared.mutex);
  // One question per TLD at a time: the other threads wait for its answer.
  while (shared.asking.contains(label)) {
    if (cancel != nullptr && *cancel) return std::nullopt;
    shared.answered.wait_for(lock, 100ms);
  }
  if (const auto found = shared.kept.find(label);
      found != shared.kept.end() && isFresh(found->second, unixSecondsNow())) {
    return serverOf(found->second);
  }
  const KeptTable onDisk = readKeptFile();
  if (const auto found = onDisk.find(label);
      found != onDisk.end() && isFresh(found->second, unixSecondsNow())) {
    shared.kept.insert_or_assign(label, found->second);
    return serverOf(found->second);
  }

  shared.asking.insert(label);
  lock.unlock();
  WhoisTimeouts timeouts;
  timeouts.cancel = cancel;
  const std::string answer = whoisExchange(ianaWhoisServer(), label, timeouts);
  lock.lock();
  shared.asking.erase(label);
  shared.answered.notify_all();
  if (answer.empty()) return std::nullopt;

  const auto server = parseIanaReferral(answer);
  const Kept kept{server ? server->host : std::string(), unixSecondsNow()};
  shared.kept.insert_or_assign(label, kept);
  KeptTable file = readKeptFile();
  file.insert_or_assign(label, kept);
  // The file only saves questions: one that cannot be written is done without.
  static_cast<void>(writeKeptFile(file, kept.askedAt));
  return server;
}

}  // namespace pelmora
