#include "cli/command_table.h"

#include <array>

#include "cli/add_command.h"
#include "cli/calendar_command.h"
#include "cli/coverage_command.h"
#include "cli/delete_command.h"
#include "cli/expiring_command.h"
#include "cli/export_command.h"
#include "cli/forecast_command.h"
#include "cli/list_command.h"
#include "cli/lookup_commands.h"
#include "cli/modify_batch_command.h"
#include "cli/modify_command.h"
#include "cli/report_command.h"

namespace pelmora::cli {
namespace {

constexpr std::array kCommands{
    Command{"list", "one page of the listing: the page caption, then one line per domain",
            DatabaseUse::ReadOnly, declareList},
    Command{"expiring",
            "the six expiry reminder captions after one check, or the domains behind them",
            DatabaseUse::ReadOnly, declareExpiring, expiringDatabaseUse},
    Command{"report", "purchase and sales statistics per day, month or year, and their totals",
            DatabaseUse::ReadOnly, declareReport},
    Command{"forecast", "what renewing the unsold domains will cost per month, per group",
            DatabaseUse::ReadOnly, declareForecast},
    Command{"lookup", "the registration and expiry dates of one domain", DatabaseUse::None,
            declareLookup},
    Command{"update-dates",
            "store fetched dates (no domains: every domain of the filtered listing)",
            DatabaseUse::ReadWrite, declareUpdateDates},
    Command{"coverage",
            "per suffix: its domains, who is asked for their dates, how many answered lately",
            DatabaseUse::ReadOnly, declareCoverage},
    Command{"add", "batch-add lines (--file or standard input) or a CSV file (--csv)",
            DatabaseUse::ReadWrite, declareAdd},
    Command{"delete",
            "delete domains; a name not stored is listed as 域名[不存在] and the rest are deleted",
            DatabaseUse::ReadWrite, declareDelete},
    Command{"modify-batch", "set chosen columns of listed or filtered domains (--set 列名=值)",
            DatabaseUse::ReadWrite, declareModifyBatch},
    Command{"modify", "advanced-modify lines 域名,字段=值,... (--file or standard input)",
            DatabaseUse::ReadWrite, declareModify},
    Command{"export", "the fixed-price lines (西数 or 爱名) of the filtered domains",
            DatabaseUse::ReadOnly, declareExport},
    Command{"calendar", "the expiry dates of the filtered domains as an iCalendar file",
            DatabaseUse::ReadOnly, declareCalendar},
};

}  // namespace

std::span<const Command> commandTable() { return kCommands; }

}  // namespace pelmora::cli
