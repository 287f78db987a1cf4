#include "cli/calendar_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/cli_options.h"
#include "cli/stop_signal.h"
#include "reports/expiry_calendar.h"
#include "support/text_helpers.h"
#include "support/whole_file_write.h"

namespace pelmora::cli {
namespace {

struct CalendarOptions {
  ListOptions list;
  std::string file;
};

}  // namespace

int writeCalendarFile(DomainDatabase& db, const ListOptions& list, const std::string& path,
                      const Clock& clock, std::ostream& out, std::ostream& err,
                      std::string_view commandName) {
  PageRequest request;
  request.wholeListing = true;
  request.sortKey = "到期时间";
  request.ascending = true;
  const SqlCondition condition = buildWhere(list.criteria, clock.today());
  const StopOnSignal stop;
  ExpiryCalendarResult written;
  const auto whole = writeFileWhole(path, [&](std::ostream& file) {
    written = writeExpiryCalendar(db, condition, request, clock.nowUtc(), file,
                                  [&](std::int64_t, std::int64_t) { return !stop.requested(); });
    if (written.stopped) return std::string("stopped; nothing written");
    return written.error;
  });
  if (!whole) {
    err << "pelmora-cli " << commandName << ": " << escapeForTerminal(whole.error()) << "\n";
    return 2;
  }
  out << "已导出 " << written.events << " 个到期日到 " << escapeForTerminal(path);
  if (written.undated > 0) out << ", " << written.undated << " 个域名没有到期时间";
  out << "\n";
  return 0;
}

CommandRun declareCalendar(CLI::App& command) {
  auto options = std::make_shared<CalendarOptions>();
  command.add_option("FILE", options->file, "the iCalendar file to write (.ics)")->type_name("");
  declareFilterOptions(command, options->list);
  command.callback([options] {
    if (options->file.empty()) throw UsageError("give the file to write");
  });
  return [options](const CommandContext& context) {
    return writeCalendarFile(*context.db, options->list, options->file, context.clock, context.out,
                             context.err, "calendar");
  };
}

}  // namespace pelmora::cli
