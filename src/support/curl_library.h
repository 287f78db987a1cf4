#pragma once

// libcurl, loaded the first time a request is made rather than when the
// program starts. Its TLS, Kerberos and LDAP libraries take longer to load than
// a whole `pelmora-cli list`, and most commands never go online.

#include <curl/curl.h>

#include <string>

namespace pelmora {

struct CurlLibrary {
  decltype(&curl_global_init) globalInit = nullptr;
  decltype(&curl_easy_init) easyInit = nullptr;
  decltype(&curl_easy_setopt) easySetopt = nullptr;
  decltype(&curl_easy_perform) easyPerform = nullptr;
  decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
  decltype(&curl_easy_cleanup) easyCleanup = nullptr;
  decltype(&curl_easy_strerror) easyStrerror = nullptr;
  decltype(&curl_slist_append) slistAppend = nullptr;
  decltype(&curl_slist_free_all) slistFreeAll = nullptr;
};

// The loaded and initialised library, or null when it cannot be loaded; then
// `error` (if given) says why. Loading is tried once per process.
const CurlLibrary* curlLibrary(std::string* error = nullptr);

}  // namespace pelmora
