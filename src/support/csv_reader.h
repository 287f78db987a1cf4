#pragma once

// Comma-separated files as spreadsheets write them: fields separated by ","
// or ";" (whichever the header line uses more often outside quotes), records
// ended by CR LF or LF, a field in double quotes may hold separators, line
// breaks and doubled quotes ("" for one ").

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

struct CsvRecord {
  std::size_t line = 0;  // the file line (from 1) the record starts on
  std::vector<std::string> fields;
  // Why the record cannot be read (a quote that is never closed, text after
  // a closing quote, not as many fields as the header); empty when it can.
  std::string error;
  bool ok() const { return error.empty(); }
};

struct CsvTable {
  char separator = ',';
  std::vector<std::string> header;
  // Every record after the header, empty lines left out. A record with an
  // unclosed quote is reported as such, and reading goes on at the line after
  // the one it started on.
  std::vector<CsvRecord> records;
  std::string error;  // no header, or a header that cannot be read
  bool ok() const { return error.empty(); }
};

CsvTable readCsv(std::string_view text);

}  // namespace pelmora
