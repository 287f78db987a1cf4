#include "reports/expiry_calendar.h"

#include <algorithm>
#include <array>
#include <ostream>

#include "support/dates.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

// RFC 5545 3.1: lines of at most 75 octets, CR LF excluded.
constexpr std::size_t kLineOctets = 75;

// What the lookups store for a name no registry knows, in both date columns.
constexpr std::string_view kNotRegisteredDate = "2222-11-11";

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct Reminder {
  std::string_view trigger;
  std::string_view when;
};
constexpr std::array<Reminder, 3> kReminders{
    {{"-P30D", "还有 30 天到期"}, {"-P7D", "还有 7 天到期"}, {"-P1D", "明天到期"}}};

// yyyymmdd
std::string calendarDate(const Date& date) {
  std::string text = formatDate(date);
  std::erase(text, '-');
  return text;
}

// "yyyy-MM-dd HH:mm:ss" as yyyymmddThhmmssZ; empty when it is not that.
std::string calendarStamp(std::string_view utc) {
  std::string digits;
  for (const char c : utc) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  if (digits.size() != 14 || utc.size() != 19) return {};
  return digits.substr(0, 8) + "T" + digits.substr(8) + "Z";
}

class CalendarWriter {
 public:
  CalendarWriter(std::ostream& out, std::string stamp) : out_(out), stamp_(std::move(stamp)) {}

  void begin() {
    if (begun_) return;
    begun_ = true;
    line("BEGIN:VCALENDAR");
    line("VERSION:2.0");
    line("PRODID:-//Pelmora//青禾名簿//ZH");
    line("CALSCALE:GREGORIAN");
  }

  void event(const DomainRecord& record, const Date& expires) {
    const std::string& domain = record[DomainField::Name];
    const auto texts = displayTexts(record);
    const std::string& registrar = texts[static_cast<int>(DomainField::Registrar)];
    line("BEGIN:VEVENT");
    line("UID:" + calendarText(lowerAscii(domain) + "@pelmora"));
    line("DTSTAMP:" + stamp_);
    line("DTSTART;VALUE=DATE:" + calendarDate(expires));
    line("DTEND;VALUE=DATE:" + calendarDate(addDays(expires, 1)));
    line("SUMMARY:" + calendarText("到期: " + domain));
    line("DESCRIPTION:" +
         calendarText("注册商: " + (registrar.empty() ? std::string("未分组") : registrar) +
                      "\n续费成本: " + texts[static_cast<int>(DomainField::RenewalCost)]));
    line("TRANSP:TRANSPARENT");
    for (const Reminder& reminder : kReminders) {
      line("BEGIN:VALARM");
      line("ACTION:DISPLAY");
      line("DESCRIPTION:" + calendarText(domain + " " + std::string(reminder.when)));
      line("TRIGGER:" + std::string(reminder.trigger));
      line("END:VALARM");
    }
    line("END:VEVENT");
  }

  void end() {
    begin();
    line("END:VCALENDAR");
  }

 private:
  void line(std::string_view text) { out_ << foldedCalendarLine(text); }

  std::ostream& out_;
  std::string stamp_;
  bool begun_ = false;
};

}  // namespace

std::string calendarText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      char32_t codePoint = 0;
      const std::size_t length = utf8SequenceAt(text, i, codePoint);
      if (length == 0) {
        escaped.append(kReplacement);
        ++i;
      } else {
        // C1 controls are control characters too.
        if (codePoint > 0x9F) escaped.append(text.substr(i, length));
        i += length;
      }
      continue;
    }
    ++i;
    if (c == '\\' || c == ';' || c == ',') {
      escaped.push_back('\\');
      escaped.push_back(c);
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
      escaped.append("\\n");
    } else if (c == '\t' || (byte >= 0x20 && byte != 0x7F)) {
      escaped.push_back(c);
    }
  }
  return escaped;
}

std::string foldedCalendarLine(std::string_view line) {
  std::string folded;
  folded.reserve(line.size() + line.size() / 24 + 2);
  std::size_t room = kLineOctets;
  while (line.size() > room) {
    std::size_t cut = room;
    // Back to the first byte of the sequence the limit falls into.
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    if (cut == 0) cut = room;
    folded.append(line.substr(0, cut)).append("\r\n ");
    line.remove_prefix(cut);
    room = kLineOctets - 1;  // the leading space counts
  }
  folded.append(line).append("\r\n");
  return folded;
}

ExpiryCalendarResult writeExpiryCalendar(
    DomainDatabase& db, const SqlCondition& condition, const PageRequest& request,
    std::string_view stampUtc, std::ostream& out,
    const std::function<bool(std::int64_t read, std::int64_t total)>& progress) {
  ExpiryCalendarResult result;
  std::string stamp = calendarStamp(stampUtc);
  if (stamp.empty()) {
    result.error = "not a UTC time (yyyy-MM-dd HH:mm:ss): " + std::string(stampUtc);
    return result;
  }
  // Events go out as their rows are read; the head waits for the first row,
  // so that a listing that cannot be read at all writes nothing.
  CalendarWriter calendar(out, std::move(stamp));
  std::int64_t toRead = 0;
  std::int64_t read = 0;
  result.error = forEachListingRow(
      db, condition, request,
      [&](const ListingPage& head) {
        toRead =
            std::clamp<std::int64_t>(head.total - (head.page - 1) * std::max(request.pageSize, 1),
                                     0, request.wholeListing ? head.total : request.pageSize);
      },
      [&](const DomainRecord& record) {
        calendar.begin();
        const auto expires = record.date(DomainField::ExpiresOn);
        if (expires && formatDate(*expires) != kNotRegisteredDate) {
          calendar.event(record, *expires);
          ++result.events;
        } else {
          ++result.undated;
        }
        if (progress && !progress(++read, toRead)) {
          result.stopped = true;
          return false;
        }
        return static_cast<bool>(out);
      });
  if (!result.error.empty() || result.stopped) return result;
  calendar.end();
  return result;
}

}  // namespace pelmora
