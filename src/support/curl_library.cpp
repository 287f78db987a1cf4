#include "support/curl_library.h"

#include <dlfcn.h>

namespace pelmora {
namespace {

// libcurl's ABI name on Debian, as the -dev package links it.
constexpr const char* kCurlSoname = "libcurl.so.4";

struct Loaded {
  CurlLibrary library;
  bool ok = false;
  std::string error;
};

template <typename Function>
bool bindSymbol(void* handle, const char* name, Function& target, std::string& error) {
  target = reinterpret_cast<Function>(::dlsym(handle, name));
  if (target == nullptr) error = std::string(name) + " is missing";
  return target != nullptr;
}

Loaded load() {
  Loaded loaded;
  // Never closed: handles and TLS state live until the process ends.
  void* handle = ::dlopen(kCurlSoname, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    loaded.error = std::string(kCurlSoname) +
                   " cannot be loaded: " + (reason != nullptr ? reason : "unknown reason");
    return loaded;
  }
  CurlLibrary& l = loaded.library;
  std::string& e = loaded.error;
  const bool all = bindSymbol(handle, "curl_global_init", l.globalInit, e) &&
                   bindSymbol(handle, "curl_easy_init", l.easyInit, e) &&
                   bindSymbol(handle, "curl_easy_setopt", l.easySetopt, e) &&
                   bindSymbol(handle, "curl_easy_perform", l.easyPerform, e) &&
                   bindSymbol(handle, "curl_easy_getinfo", l.easyGetinfo, e) &&
                   bindSymbol(handle, "curl_easy_cleanup", l.easyCleanup, e) &&
                   bindSymbol(handle, "curl_easy_strerror", l.easyStrerror, e) &&
                   bindSymbol(handle, "curl_slist_append", l.slistAppend, e) &&
                   bindSymbol(handle, "curl_slist_free_all", l.slistFreeAll, e);
  if (!all) {
    e = std::string(kCurlSoname) + " is not usable: " + e;
    return loaded;
  }
  const CURLcode code = l.globalInit(CURL_GLOBAL_DEFAULT);
  if (code != CURLE_OK) {
    e = std::string("libcurl did not start: ") + l.easyStrerror(code);
    return loaded;
  }
  loaded.ok = true;
  return loaded;
}

}  // namespace

const CurlLibrary* curlLibrary(std::string* error) {
  static const Loaded loaded = load();
  if (!loaded.ok && error != nullptr) *error = loaded.error;
  return loaded.ok ? &loaded.library : nullptr;
}

}  // namespace pelmora
