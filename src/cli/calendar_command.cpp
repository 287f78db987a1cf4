#include "cli/calendar_command.h"

#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>

#include "cli/cli_options.h"
#include "cli/standard_output.h"
#include "cli/stop_signal.h"
#include "reports/expiry_calendar.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

struct CalendarOptions {
  ListOptions list;
  std::string file;
};

// Fills `target` through `fill`, whose answer is why it failed (empty when it
// did not): the bytes go to a new file beside it, which is synced and renamed
// over the target only when everything went out. On any failure that file is
// removed and the target stays as it was. The reason when it failed.
std::string writeWholeFile(const std::string& target,
                           const std::function<std::string(std::ostream&)>& fill) {
  std::string part;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    part = target + "." + std::to_string(::getpid()) +
           (attempt > 0 ? "-" + std::to_string(attempt) : std::string()) + ".part";
    fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return "cannot write " + target + ": " + std::strerror(errno);
  DescriptorBuffer buffer(fd);
  std::ostream out(&buffer);
  std::string failure = fill(out);
  const bool filled = failure.empty();
  if (filled) {
    out.flush();
    failure = buffer.failure();
  }
  if (failure.empty() && ::fsync(fd) != 0) failure = std::strerror(errno);
  if (!buffer.close() && failure.empty()) failure = buffer.failure();
  if (failure.empty() && ::rename(part.c_str(), target.c_str()) != 0) {
    failure = std::strerror(errno);
  }
  if (failure.empty()) return {};
  ::unlink(part.c_str());
  return filled ? "cannot write " + target + ": " + failure : failure;
}

int runCalendar(DomainDatabase& db, const CalendarOptions& options, const Clock& clock,
                std::ostream& out, std::ostream& err) {
  PageRequest request;
  request.wholeListing = true;
  request.sortKey = "到期时间";
  request.ascending = true;
  const SqlCondition condition = buildWhere(options.list.criteria, clock.today());
  const StopOnSignal stop;
  ExpiryCalendarResult written;
  const std::string failure = writeWholeFile(options.file, [&](std::ostream& file) {
    written = writeExpiryCalendar(db, condition, request, clock.nowUtc(), file,
                                  [&](std::int64_t, std::int64_t) { return !stop.requested(); });
    if (written.stopped) return std::string("stopped; nothing written");
    return written.error;
  });
  if (!failure.empty()) {
    err << "pelmora-cli calendar: " << escapeForTerminal(failure) << "\n";
    return 2;
  }
  out << "已导出 " << written.events << " 个到期日到 " << escapeForTerminal(options.file);
  if (written.undated > 0) out << ", " << written.undated << " 个域名没有到期时间";
  out << "\n";
  return 0;
}

}  // namespace

CommandRun declareCalendar(CLI::App& command) {
  auto options = std::make_shared<CalendarOptions>();
  command.add_option("FILE", options->file, "the iCalendar file to write (.ics)")->type_name("");
  declareFilterOptions(command, options->list);
  command.callback([options] {
    if (options->file.empty()) throw UsageError("give the file to write");
  });
  return [options](const CommandContext& context) {
    return runCalendar(*context.db, *options, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli
