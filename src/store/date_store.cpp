#include "store/date_store.h"

namespace pelmora {
namespace {

SqlValue textOrNull(const std::string& text) { return text.empty() ? SqlValue() : SqlValue(text); }

}  // namespace

DomainDatesWrite storeDomainDates(DomainDatabase& db, std::string_view name,
                                  const std::optional<Date>& registered, const Date& expires,
                                  const LookupStamp& stamp) {
  std::string sql = "UPDATE 域名 SET 到期时间=?";
  SqlParams params{formatDate(expires)};
  if (registered) {
    sql += ", 注册时间=?";
    params.emplace_back(formatDate(*registered));
  }
  if (!stamp.checkedAt.empty()) {
    sql += ", 最后查询=?, 查询来源=?, 域名状态=?";
    params.insert(params.end(),
                  {stamp.checkedAt, textOrNull(stamp.source), textOrNull(stamp.status)});
  }
  sql += " WHERE 域名=? RETURNING 注册时间, 到期时间";
  params.emplace_back(std::string(name));
  DomainDatesWrite write;
  // RETURNING gives one row per row written.
  write.ok = db.query(
      sql, params,
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
