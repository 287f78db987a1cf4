#include "cli/command_table.h"

#include <array>

#include "cli/expiring_command.h"
#include "cli/list_command.h"
#include "cli/lookup_commands.h"

namespace pelmora::cli {
namespace {

constexpr std::array kCommands{
    Command{"list", "one page of the listing: the page caption, then one line per domain",
            DatabaseUse::ReadOnly, declareList},
    Command{"expiring", "the six expiry reminder captions after one check", DatabaseUse::ReadOnly,
            declareExpiring},
    Command{"lookup", "the registration and expiry dates of one domain", DatabaseUse::None,
            declareLookup},
    Command{"update-dates",
            "store fetched dates (no domains: every domain of the filtered listing)",
            DatabaseUse::ReadWrite, declareUpdateDates},
};

}  // namespace

std::span<const Command> commandTable() { return kCommands; }

}  // namespace pelmora::cli
