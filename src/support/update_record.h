#pragma once

// The update check: a small text on the product site, "version|download
// page|status text|news page", read once at every start. When the site cannot
// be reached or answers something else, a built-in default record stands in.

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// Time-out of the update request, in seconds.
inline constexpr int kUpdateTimeoutSeconds = 3;

struct UpdateRecord {
  std::string version;          // published version
  std::string downloadAddress;  // opened when the user takes the new version
  std::string statusText;       // second part of the main window's status bar
  std::string newsAddress;      // page of the main window's browser
};

// "http://" + site host + "/pelmora/Pelmora_19.txt"
std::string updateAddress();

// The record used when the check finds nothing usable; its version is the
// program's own, so it never offers a new version.
std::string defaultUpdateText();

// The first four "|"-separated fields of the text without a leading UTF-8
// BOM, each without trailing CR, LF and blanks; further fields are ignored.
// Empty when there are fewer than four.
std::optional<UpdateRecord> updateRecordFields(std::string_view text);

// The fields of `text`, or of the default record when it has fewer than four.
UpdateRecord readUpdateRecord(std::string_view text);

// A fetched text is taken when it is UTF-8, names `host` (case-sensitive) and
// has at least four fields, the download and news addresses web addresses
// (http or https).
bool isValidUpdateText(std::string_view text, std::string_view host);

// Any published version other than the program's own, older ones included.
bool offersNewVersion(const UpdateRecord& record);

// One GET of the update address (no redirects, kUpdateTimeoutSeconds): the
// body of a complete 2xx answer when it is valid, otherwise the default
// record. `cancel`, when set, makes it give up at once.
std::string fetchUpdateText(const std::atomic<bool>* cancel = nullptr);

}  // namespace pelmora
