#pragma once

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string_view>

#include "store/domain_database.h"
#include "support/dates.h"

namespace CLI {
class App;
}

namespace pelmora::cli {

// What a command does with the database file.
enum class DatabaseUse {
  None,       // never opens it
  ReadOnly,   // reads it: opened read-only, never created nor changed
  ReadWrite,  // writes it
};

// What a command runs with once its options are read and its database (if
// it uses one) is open.
struct CommandContext {
  DomainDatabase* db;  // null for a command that uses no database
  const Clock& clock;
  std::ostream& out;
  std::ostream& err;
};

// Runs a command; returns its exit code.
using CommandRun = std::function<int(const CommandContext&)>;

// Bad command-line input found while reading the options. The message is
// ready to print: whatever it repeats of the input is already escaped.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Command {
  std::string_view name;
  std::string_view summary;
  DatabaseUse database;
  // Declares the command's options and arguments on its subcommand and
  // returns the run that uses what they read. Bad values throw UsageError
  // while parsing, before any file is opened.
  CommandRun (*declare)(CLI::App& command);
  // When set, tells from the options read what the command does with the
  // file, in place of `database`: a reader that writes only when asked to.
  DatabaseUse (*databaseFor)(const CLI::App& command) = nullptr;
};

}  // namespace pelmora::cli
