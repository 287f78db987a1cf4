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

// One line of TSV or CSV.
template <typename TextAt>
void writeLine(std::ostream& out, TableFormat format, std::size_t count, TextAt&& textAt) {
  for (std::size_t k = 0; k < count; ++k) {
    if (k > 0) out << (format == TableFormat::Tsv ? '\t' : ',');
    const std::string text = textAt(k);
    out << (format == TableFormat::Tsv ? escapeForTerminal(text) : csvField(text));
  }
  out << (format == TableFormat::Tsv ? "\n" : "\r\n");
}

nlohmann::ordered_json jsonValue(const TableCell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  if (const auto* whole = std::get_if<std::int64_t>(&cell)) return *whole;
  if (const auto* number = std::get_if<double>(&cell)) return *number;
  return nullptr;
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

TableStream::TableStream(std::ostream& out, std::vector<std::string> columns, TableFormat format,
                         const TableWriteOptions& options)
    : out_(out), columns_(std::move(columns)), format_(format) {
  if (format_ == TableFormat::Csv || (format_ == TableFormat::Tsv && options.tsvHeader)) {
    writeLine(out_, format_, columns_.size(), [&](std::size_t k) { return columns_[k]; });
  }
}

void TableStream::row(const std::vector<TableCell>& cells) {
  if (format_ != TableFormat::Json) {
    writeLine(out_, format_, columns_.size(),
              [&](std::size_t k) { return plainText(cellAt(cells, k)); });
    return;
  }
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (std::size_t k = 0; k < columns_.size(); ++k)
    object[columns_[k]] = jsonValue(cellAt(cells, k));
  // The object one level in, as a dump of the whole array would indent it;
  // every line break of a dump is its own (texts have theirs escaped).
  std::string text = object.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::string indented = "  ";
  for (const char c : text) {
    indented += c;
    if (c == '\n') indented += "  ";
  }
  out_ << (rows_ == 0 ? "[\n" : ",\n") << indented;
  ++rows_;
}

void TableStream::finish() {
  if (format_ == TableFormat::Json) out_ << (rows_ == 0 ? "[]\n" : "\n]\n");
}

void writeTable(std::ostream& out, const Table& table, TableFormat format,
                const TableWriteOptions& options) {
  TableStream stream(out, table.columns, format, options);
  for (const auto& row : table.rows) stream.row(row);
  stream.finish();
}

std::string tableText(const Table& table, TableFormat format, const TableWriteOptions& options) {
  std::ostringstream out;
  writeTable(out, table, format, options);
  return out.str();
}

}  // namespace pelmora
