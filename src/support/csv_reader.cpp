#include "support/csv_reader.h"

namespace pelmora {
namespace {

constexpr char kQuote = '"';

// Reads records one at a time from a position in the text.
class CsvScanner {
 public:
  CsvScanner(std::string_view text, char separator) : text_(text), separator_(separator) {}

  bool atEnd() const { return pos_ >= text_.size(); }
  std::size_t line() const { return line_; }

  // Skips empty lines; true when a record follows.
  bool skipEmptyLines() {
    while (!atEnd()) {
      if (text_[pos_] == '\n') {
        advanceLine(pos_ + 1);
      } else if (text_.substr(pos_).starts_with("\r\n")) {
        advanceLine(pos_ + 2);
      } else {
        return true;
      }
    }
    return false;
  }

  // Reads the record at the current position (which must start one).
  CsvRecord next() {
    CsvRecord record;
    record.line = line_;
    const std::size_t start = pos_;
    while (true) {
      std::string field;
      if (!atEnd() && text_[pos_] == kQuote) {
        if (!readQuoted(field)) {
          record.error = "quote not closed";
          // Go on with the line after the one the record started on.
          pos_ = start;
          line_ = record.line;
          const std::size_t lf = text_.find('\n', pos_);
          advanceLine(lf == std::string_view::npos ? text_.size() : lf + 1);
          return record;
        }
        if (!atEnd() && text_[pos_] != separator_ && !atLineEnd()) {
          record.error = "text after a closing quote";
        }
        // The rest up to the separator belongs to the broken field.
        while (!atEnd() && text_[pos_] != separator_ && !atLineEnd()) ++pos_;
      } else {
        while (!atEnd() && text_[pos_] != separator_ && !atLineEnd()) field += text_[pos_++];
      }
      record.fields.push_back(std::move(field));
      if (atEnd()) return record;
      if (text_[pos_] == separator_) {
        ++pos_;
        continue;
      }
      advanceLine(pos_ + (text_[pos_] == '\r' ? 2 : 1));
      return record;
    }
  }

 private:
  bool atLineEnd() const { return text_[pos_] == '\n' || text_.substr(pos_).starts_with("\r\n"); }

  void advanceLine(std::size_t to) {
    pos_ = to;
    ++line_;
  }

  // From the opening quote to past the closing one; false when it never closes.
  bool readQuoted(std::string& field) {
    std::size_t i = pos_ + 1;
    std::size_t lines = 0;
    while (i < text_.size()) {
      const char c = text_[i];
      if (c == kQuote) {
        if (i + 1 < text_.size() && text_[i + 1] == kQuote) {
          field += kQuote;
          i += 2;
          continue;
        }
        pos_ = i + 1;
        line_ += lines;
        return true;
      }
      if (c == '\n') ++lines;
      field += c;
      ++i;
    }
    return false;
  }

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

// The separator the header line uses more often outside quotes; "," on a tie.
char detectSeparator(std::string_view text) {
  std::size_t commas = 0;
  std::size_t semicolons = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == kQuote) quoted = !quoted;
    if (quoted) continue;
    if (c == '\n') break;
    if (c == ',') ++commas;
    if (c == ';') ++semicolons;
  }
  return semicolons > commas ? ';' : ',';
}

}  // namespace

CsvTable readCsv(std::string_view text) {
  CsvTable table;
  table.separator = detectSeparator(text);
  CsvScanner scanner(text, table.separator);
  if (!scanner.skipEmptyLines()) {
    table.error = "no header line";
    return table;
  }
  CsvRecord header = scanner.next();
  if (!header.ok()) {
    table.error = "header line " + std::to_string(header.line) + ": " + header.error;
    return table;
  }
  table.header = std::move(header.fields);
  while (scanner.skipEmptyLines()) {
    CsvRecord record = scanner.next();
    if (record.ok() && record.fields.size() != table.header.size()) {
      record.error = std::to_string(record.fields.size()) + " fields, the header has " +
                     std::to_string(table.header.size());
    }
    table.records.push_back(std::move(record));
  }
  return table;
}

}  // namespace pelmora
