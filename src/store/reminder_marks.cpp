#include "store/reminder_marks.h"

namespace pelmora {

Result<std::vector<bool>> findReminderMarks(DomainDatabase& db, const std::string& source,
                                            const std::vector<ReminderMark>& marks) {
  std::vector<bool> found(marks.size(), false);
  std::string error;
  const bool ok = db.readTransaction(
      [&](SqliteConnection& connection) {
        SqliteStatement statement = connection.prepare(
            "SELECT 1 FROM 已提醒 WHERE 域名=?1 AND 提醒=?2 AND 来源=?3 AND 到期时间=?4");
        for (std::size_t i = 0; i < marks.size(); ++i) {
          statement.reset();
          if (!statement.valid() ||
              !statement.bind({marks[i].domain, marks[i].reminder, source, marks[i].expiresOn})) {
            return false;
          }
          found[i] = statement.step();
          if (statement.failed()) return false;
        }
        return true;
      },
      &error);
  if (!ok) return Failure{error.empty() ? "the reminders given could not be read" : error};
  return found;
}

Result<void> recordReminderMarks(DomainDatabase& db, const std::string& source,
                                 const std::vector<ReminderMark>& marks, const std::string& time) {
  std::string error;
  const bool ok = db.transaction(
      [&](SqliteConnection& connection) {
        SqliteStatement record = connection.prepare(
            "INSERT INTO 已提醒(域名, 提醒, 来源, 到期时间, 时间) VALUES(?1, ?2, ?3, ?4, ?5)"
            " ON CONFLICT(域名, 提醒, 来源) DO UPDATE SET 到期时间=excluded.到期时间,"
            " 时间=excluded.时间");
        for (const ReminderMark& mark : marks) {
          record.reset();
          if (!record.valid() ||
              !record.bind({mark.domain, mark.reminder, source, mark.expiresOn, time})) {
            return false;
          }
          record.step();
          if (record.failed()) return false;
        }
        // A renewed or deleted domain's old reminders no longer apply.
        SqliteStatement stale = connection.prepare(
            "DELETE FROM 已提醒 WHERE 来源=?1 AND NOT EXISTS (SELECT 1 FROM 域名"
            " WHERE 域名.域名=已提醒.域名 AND 域名.到期时间=已提醒.到期时间)");
        if (!stale.valid() || !stale.bind({source})) return false;
        stale.step();
        return !stale.failed();
      },
      &error);
  if (!ok) return Failure{error.empty() ? "the reminders could not be recorded" : error};
  return {};
}

}  // namespace pelmora
