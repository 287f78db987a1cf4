#include "support/table_writer.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

// The cell as plain text (before any escaping or quoting).
std::string plainText(const TableCell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  if (const auto* whole = std::get_if<std::int64_t>(&cell)) return std::to_string(*whole);
  if (const auto* number = std::get_if<double>(&cell)) return formatNumber(*number);
  return {};
}

const TableCell& cellAt(const std::vector<TableCell>& row, std::size_t k) {
  static const TableCell none;
  return k < row.size() ? row[k] : none;
}

void writeTsv(std::ostream& out, const Table& table, bool header) {
  const auto line = [&out](std::size_t count, auto&& textAt) {
    for (std::size_t k = 0; k < count; ++k) {
      if (k > 0) out << '\t';
      out << escapeForTerminal(textAt(k));
    }
    out << '\n';
  };
  if (header) line(table.columns.size(), [&](std::size_t k) { return table.columns[k]; });
  for (const auto& row : table.rows)
    line(table.columns.size(), [&](std::size_t k) { return plainText(cellAt(row, k)); });
}

void writeCsv(std::ostream& out, const Table& table) {
  const auto line = [&out](std::size_t count, auto&& textAt) {
    for (std::size_t k = 0; k < count; ++k) {
      if (k > 0) out << ',';
      out << csvField(textAt(k));
    }
    out << "\r\n";
  };
  line(table.columns.size(), [&](std::size_t k) { return table.columns[k]; });
  for (const auto& row : table.rows)
    line(table.columns.size(), [&](std::size_t k) { return plainText(cellAt(row, k)); });
}

nlohmann::ordered_json jsonValue(const TableCell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  if (const auto* whole = std::get_if<std::int64_t>(&cell)) return *whole;
  if (const auto* number = std::get_if<double>(&cell)) return *number;
  return nullptr;
}

void writeJson(std::ostream& out, const Table& table) {
  auto array = nlohmann::ordered_json::array();
  for (const auto& row : table.rows) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (std::size_t k = 0; k < table.columns.size(); ++k)
      object[table.columns[k]] = jsonValue(cellAt(row, k));
    array.push_back(std::move(object));
  }
  out << array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

std::optional<TableFormat> parseTableFormat(std::string_view name) {
  if (name == "tsv") return TableFormat::Tsv;
  if (name == "csv") return TableFormat::Csv;
  if (name == "json") return TableFormat::Json;
  return std::nullopt;
}

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

void writeTable(std::ostream& out, const Table& table, TableFormat format,
                const TableWriteOptions& options) {
  switch (format) {
    case TableFormat::Tsv:
      writeTsv(out, table, options.tsvHeader);
      return;
    case TableFormat::Csv:
      writeCsv(out, table);
      return;
    case TableFormat::Json:
      writeJson(out, table);
      return;
  }
}

std::string tableText(const Table& table, TableFormat format, const TableWriteOptions& options) {
  std::ostringstream out;
  writeTable(out, table, format, options);
  return out.str();
}

}  // namespace pelmora
