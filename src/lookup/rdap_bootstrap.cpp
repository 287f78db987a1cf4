#include "lookup/rdap_bootstrap.h"

#include <fstream>
#include <system_error>

#include "support/endpoints.h"
#include "support/http_request.h"
#include "support/json_reader.h"
#include "support/text_helpers.h"
#include "support/user_folders.h"
#include "support/whole_file_write.h"

namespace pelmora {

// The text of the bundled copy (generated from resources/iana-rdap-dns.json).
extern const char* const kBundledRdapBootstrap;

namespace {

std::string indexed(std::string_view path, int index) {
  return std::string(path) + "[" + std::to_string(index) + "]";
}

std::optional<std::string> readFileCapped(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(kRdapBootstrapCap + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.gcount() > static_cast<std::streamsize>(kRdapBootstrapCap)) return std::nullopt;
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

}  // namespace

Result<RdapBootstrap> RdapBootstrap::parse(std::string_view json) {
  if (json.size() > kRdapBootstrapCap) return Failure{"the bootstrap file is larger than 1 MiB"};
  JsonReader reader;
  if (!reader.parse(json)) return Failure{"the bootstrap file is not JSON"};
  if (reader.typeOf("services") != JsonType::Array) {
    return Failure{"the bootstrap file has no list of services"};
  }
  RdapBootstrap bootstrap;
  bootstrap.publication_ = reader.getText("publication");
  const int services = reader.count("services");
  for (int s = 0; s < services; ++s) {
    const std::string service = indexed("services", s);
    const std::string labels = indexed(service, 0);
    const std::string urls = indexed(service, 1);
    if (reader.typeOf(labels) != JsonType::Array || reader.typeOf(urls) != JsonType::Array)
      continue;
    std::string base;
    for (int u = 0; u < reader.count(urls); ++u) {
      if (reader.typeOf(indexed(urls, u)) != JsonType::String) continue;
      const std::string url = reader.getText(indexed(urls, u));
      if (!isWebAddress(url)) continue;
      const bool secure = lowerAscii(url.substr(0, 8)) == "https://";
      if (base.empty() || (secure && lowerAscii(base.substr(0, 8)) != "https://")) base = url;
    }
    if (base.empty()) continue;
    if (base.back() != '/') base += '/';
    for (int l = 0; l < reader.count(labels); ++l) {
      if (reader.typeOf(indexed(labels, l)) != JsonType::String) continue;
      const std::string label = lowerAscii(reader.getText(indexed(labels, l)));
      if (!label.empty()) bootstrap.bases_.try_emplace(label, base);
    }
  }
  if (bootstrap.bases_.empty()) return Failure{"the bootstrap file names no RDAP server"};
  return bootstrap;
}

std::optional<std::string> RdapBootstrap::baseUrlFor(std::string_view name) const {
  std::string lower = lowerAscii(name);
  while (!lower.empty() && lower.back() == '.') lower.pop_back();
  // From the longest suffix ("co.uk" before "uk") to the shortest.
  for (std::size_t from = 0; from < lower.size();) {
    const std::string_view suffix = std::string_view(lower).substr(from);
    if (const auto found = bases_.find(std::string(suffix)); found != bases_.end()) {
      return found->second;
    }
    const std::size_t dot = lower.find('.', from);
    if (dot == std::string::npos) break;
    from = dot + 1;
  }
  return std::nullopt;
}

const RdapBootstrap& bundledRdapBootstrap() {
  static const RdapBootstrap bundled = [] {
    auto parsed = RdapBootstrap::parse(kBundledRdapBootstrap);
    return parsed ? std::move(*parsed) : RdapBootstrap{};
  }();
  return bundled;
}

std::filesystem::path rdapBootstrapCacheFile() {
  return userFolder("XDG_CACHE_HOME", ".cache") / "iana-rdap-dns.json";
}

RdapBootstrap currentRdapBootstrap() {
  if (const auto text = readFileCapped(rdapBootstrapCacheFile())) {
    if (auto cached = RdapBootstrap::parse(*text)) return std::move(*cached);
  }
  return bundledRdapBootstrap();
}

BootstrapRefresh refreshRdapBootstrap(std::chrono::system_clock::time_point now,
                                      std::string* error) {
  const auto fail = [error](std::string reason) {
    if (error != nullptr) *error = std::move(reason);
    return BootstrapRefresh::Failed;
  };
  const std::filesystem::path file = rdapBootstrapCacheFile();
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(file, ec);
  if (!ec && now - std::chrono::file_clock::to_sys(written) < kRdapBootstrapRefresh) {
    const auto cached = readFileCapped(file);
    if (cached && RdapBootstrap::parse(*cached)) return BootstrapRefresh::StillFresh;
  }
  HttpRequest request;
  request.url = ianaRdapBase() + "dns.json";
  request.maxBodyBytes = kRdapBootstrapCap;
  const HttpResponse response = httpRequest(request);
  if (!response.complete) return fail("cannot fetch " + request.url + ": " + response.error);
  if (response.status != 200) {
    return fail(request.url + " answered " + std::to_string(response.status));
  }
  if (const auto parsed = RdapBootstrap::parse(response.body); !parsed) {
    return fail(request.url + ": " + parsed.error());
  }
  const auto stored = writeFileWhole(
      file,
      [&](std::ostream& out) {
        out << response.body;
        return std::string();
      },
      true);
  if (!stored) return fail(stored.error());
  return BootstrapRefresh::Refreshed;
}

}  // namespace pelmora
