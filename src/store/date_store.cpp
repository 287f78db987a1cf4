#include "store/date_store.h"

namespace pelmora {
namespace {

constexpr std::string_view kStoreBothDates =
    "UPDATE 域名 SET 注册时间=?, 到期时间=? WHERE 域名=? RETURNING 注册时间, 到期时间";
constexpr std::string_view kStoreExpiryDate =
    "UPDATE 域名 SET 到期时间=? WHERE 域名=? RETURNING 注册时间, 到期时间";

}  // namespace

DomainDatesWrite storeDomainDates(DomainDatabase& db, std::string_view name,
                                  const std::optional<Date>& registered, const Date& expires) {
  const std::string domain(name);
  const bool both = registered.has_value();
  const SqlParams params = both ? SqlParams{formatDate(*registered), formatDate(expires), domain}
                                : SqlParams{formatDate(expires), domain};
  DomainDatesWrite write;
  // RETURNING gives one row per row written.
  write.ok = db.query(
      both ? kStoreBothDates : kStoreExpiryDate, params,
      [&](const SqlRow& row) {
        ++write.changes;
        write.registered = row.asText(0);
        write.expires = row.asText(1);
      },
      &write.error);
  if (!write.ok) write = DomainDatesWrite{false, 0, write.error, {}, {}};
  return write;
}

}  // namespace pelmora
