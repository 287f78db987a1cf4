#include "cli/expiring_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/format_option.h"
#include "reports/expiry_reminder.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

constexpr const char* kExpiringHelp =
    "Without options: the six reminder captions, as the window's reminder menu shows them.\n"
    "--domains: one row per domain behind the counts: 提醒 (已到期, 今天到期, 3日内到期,\n"
    "5日内到期, 10日内到期 or 30日内到期), 域名, 到期时间, 剩余天数 (negative once expired)\n"
    "and 注册商. The counts are cumulative (3日内 holds today's domains too); a domain is\n"
    "listed once, under the tightest. --new: only the domains not listed by --new before\n"
    "under the same 提醒 and expiry date; once printed they are remembered in the database\n"
    "(a renewed domain comes again), so a daily cron job mails each reminder once.\n"
    "No domain listed: tsv and csv print nothing, not even the column names; json [].";

struct ExpiringOptions {
  bool domains = false;
  ExpiringDomainsOptions list;
};

}  // namespace

int runExpiring(DomainDatabase& db, const Clock& clock, std::ostream& out, std::ostream& err) {
  std::string error;
  const auto found = countExpiring(db, clock.today(), &error);
  if (!found) {
    err << "pelmora-cli expiring: " << error << "\n";
    return 2;
  }
  const ExpiryCounts& counts = *found;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    out << escapeForTerminal(reminderItemCaption(kReminderItemCaptions[i], counts[i])) << "\n";
  }
  return 0;
}

int runExpiringDomains(DomainDatabase& db, const ExpiringDomainsOptions& options,
                       const Clock& clock, std::ostream& out, std::ostream& err) {
  auto domains = listExpiring(db, clock.today());
  if (domains && options.onlyNew) {
    domains = withoutReminderGiven(db, std::move(*domains), ReminderSource::Command);
  }
  if (!domains) {
    err << "pelmora-cli expiring: " << domains.error() << "\n";
    return 2;
  }
  Table table{{"提醒", "域名", "到期时间", "剩余天数", "注册商"}, {}};
  for (const ReminderDomain& domain : *domains) {
    table.rows.push_back({std::string(reminderName(domain.item)), domain.name, domain.expiresOn,
                          domain.daysLeft ? TableCell(*domain.daysLeft) : TableCell(),
                          domain.registrar ? TableCell(*domain.registrar) : TableCell()});
  }
  // No domain, no text: `mail -E` then sends nothing.
  if (!table.rows.empty() || options.format == TableFormat::Json) {
    writeTable(out, table, options.format);
  }
  // What did not reach the reader is not remembered; the lost output itself is
  // reported when the command ends.
  if (!out.flush()) return 2;
  if (!options.onlyNew || domains->empty()) return 0;
  if (const auto remembered =
          rememberRemindersGiven(db, *domains, ReminderSource::Command, clock.nowUtc());
      !remembered) {
    err << "pelmora-cli expiring: the domains listed could not be remembered as reminded: "
        << remembered.error() << "\n";
    return 2;
  }
  return 0;
}

CommandRun declareExpiring(CLI::App& command) {
  auto options = std::make_shared<ExpiringOptions>();
  command.footer(std::string(kExpiringHelp) + "\n\n" + command.get_footer());
  command.add_flag("--domains", options->domains,
                   "one row per domain behind the counts instead of the captions");
  command.add_flag("--new", options->list.onlyNew,
                   "with --domains: only domains not listed before, remembered once printed");
  declareFormatOption(command, options->list.format);
  command.callback([options, &command] {
    if (!options->domains && (options->list.onlyNew || command.count("--format") > 0)) {
      throw UsageError("--new and --format go with --domains");
    }
  });
  return [options](const CommandContext& context) {
    if (!options->domains) return runExpiring(*context.db, context.clock, context.out, context.err);
    return runExpiringDomains(*context.db, options->list, context.clock, context.out, context.err);
  };
}

DatabaseUse expiringDatabaseUse(const CLI::App& command) {
  return command.count("--new") > 0 ? DatabaseUse::ReadWrite : DatabaseUse::ReadOnly;
}

}  // namespace pelmora::cli
