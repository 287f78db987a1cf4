#pragma once

// A header and rows of typed cells printed as TAB-separated lines, CSV or
// JSON, for the command-line tables (list, report) and the table exports.
//
// - TSV: cells joined by TAB, lines ended by LF, texts escaped with
//   escapeForTerminal, numbers in formatNumber's form, no value as empty.
// - CSV (RFC 4180): records ended by CR LF; a field holding ",", a double
//   quote, CR or LF is put in double quotes with its quotes doubled. Numbers
//   in formatNumber's form, no value as an empty field. The header row (the
//   column names) comes first. readCsv reads it back.
// - JSON: one array of objects keyed by the column names in column order;
//   numbers as JSON numbers, no value as null, texts as strings (bytes that
//   are not UTF-8 become U+FFFD). Followed by one LF.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelmora {

enum class TableFormat { Tsv, Csv, Json };

// "tsv", "csv" or "json"; nullopt for anything else.
std::optional<TableFormat> parseTableFormat(std::string_view name);

// One cell: no value, a text, a whole number or a number.
using TableCell = std::variant<std::monostate, std::string, std::int64_t, double>;

struct Table {
  std::vector<std::string> columns;
  std::vector<std::vector<TableCell>> rows;  // each as long as `columns`
};

struct TableWriteOptions {
  // TSV only: print the column names as the first line.
  bool tsvHeader = true;
};

void writeTable(std::ostream& out, const Table& table, TableFormat format,
                const TableWriteOptions& options = {});

// The same, written row by row as the rows come, for tables too large to
// hold: the header goes out at once, finish() ends the table (JSON closes its
// array there).
class TableStream {
 public:
  TableStream(std::ostream& out, std::vector<std::string> columns, TableFormat format,
              const TableWriteOptions& options = {});
  void row(const std::vector<TableCell>& cells);
  void finish();

 private:
  std::ostream& out_;
  std::vector<std::string> columns_;
  TableFormat format_;
  std::size_t rows_ = 0;
};

// The same as one string.
std::string tableText(const Table& table, TableFormat format,
                      const TableWriteOptions& options = {});

// One CSV field, quoted when it must be.
std::string csvField(std::string_view text);

}  // namespace pelmora
