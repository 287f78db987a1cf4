#pragma once

// The expiry dates of the listing as an iCalendar file (RFC 5545) for the
// user's calendar program: one all-day event per domain on its expiry date,
// with reminders 30, 7 and 1 day before. What `pelmora-cli calendar` and the
// window's 导出日历 write. Each event's UID is the domain's own
// ("example.com@pelmora"), so importing a newer file updates the events
// instead of adding them twice.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "store/listing.h"

namespace pelmora {

// A TEXT value as a content line holds it: backslash, ';' and ',' escaped,
// each line break (CR LF, LF or CR) as \n, other control characters left out
// and bytes that are not UTF-8 as U+FFFD.
std::string calendarText(std::string_view text);

// One content line as written to the file: folded so that no line is longer
// than 75 octets (a continuation line starts with a space), never inside a
// UTF-8 sequence; every line ends with CR LF.
std::string foldedCalendarLine(std::string_view line);

struct ExpiryCalendarResult {
  std::string error;         // why nothing usable was written; empty on success
  std::int64_t events = 0;   // domains written as events
  std::int64_t undated = 0;  // domains left out: no expiry date, or not registered
  bool stopped = false;      // `progress` asked to stop
};

// Writes the calendar of the rows `request` selects (request.wholeListing for
// all of them) as they are read. `stampUtc` is the time of the export in UTC,
// as Clock::nowUtc gives it ("yyyy-MM-dd HH:mm:ss"); it becomes every event's
// DTSTAMP. Domains without an expiry date and those marked not registered
// (2222-11-11) get no event. `progress` gets the rows read so far and the
// rows to read after each row; false stops the writing.
ExpiryCalendarResult writeExpiryCalendar(
    DomainDatabase& db, const SqlCondition& condition, const PageRequest& request,
    std::string_view stampUtc, std::ostream& out,
    const std::function<bool(std::int64_t read, std::int64_t total)>& progress = {});

}  // namespace pelmora
