#include "support/text_encoding.h"

#include "support/gbk.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
// Stands for a unit that cannot be read: not UTF-8, so the line fails.
constexpr std::string_view kUnreadable = "\xFF";

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  const auto unitAt = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (first << 8) | second : (second << 8) | first;
  };
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      out += kUnreadable;
    } else {
      appendUtf8(out, unit);
    }
  }
  if (i < bytes.size()) out += kUnreadable;  // an odd last byte
  return out;
}

// Text that is mostly well-formed UTF-8 with a stray bad byte is still UTF-8:
// GBK text hardly ever forms valid multi-byte UTF-8 sequences, while reading
// UTF-8 as GB18030 would garble every line (and can swallow a "|").
bool looksLikeUtf8(std::string_view text) {
  std::size_t multiByte = 0;
  std::size_t invalid = 0;
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = utf8SequenceAt(text, i, codePoint);
    if (length == 0) {
      ++invalid;
      ++i;
      continue;
    }
    if (length > 1) ++multiByte;
    i += length;
  }
  return invalid == 0 || multiByte > invalid;
}

}  // namespace

std::size_t firstInvalidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = utf8SequenceAt(text, i, codePoint);
    if (length == 0) return i;
    i += length;
  }
  return text.size();
}

bool isValidUtf8(std::string_view text) { return firstInvalidUtf8(text) == text.size(); }

std::optional<ByteOrderMark> byteOrderMark(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return ByteOrderMark{TextEncoding::Utf8, kUtf8Mark.size()};
  if (bytes.starts_with(kUtf16LeMark)) return ByteOrderMark{TextEncoding::Utf16Le, 2};
  if (bytes.starts_with(kUtf16BeMark)) return ByteOrderMark{TextEncoding::Utf16Be, 2};
  return std::nullopt;
}

TextEncoding unmarkedEncoding(std::string_view bytes) {
  return looksLikeUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

std::string decodeText(std::string_view bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return std::string(bytes);
    case TextEncoding::Utf16Le:
      return utf16ToUtf8(bytes, false);
    case TextEncoding::Utf16Be:
      return utf16ToUtf8(bytes, true);
    case TextEncoding::Gb18030:
      return gb18030ToUtf8(bytes);
  }
  return std::string(bytes);
}

std::string decodeTextFile(std::string_view bytes) {
  // A marked file is taken at its word: invalid bytes in it stay invalid and
  // fail their line, rather than the whole file being read as GB18030.
  if (const auto mark = byteOrderMark(bytes)) {
    return decodeText(bytes.substr(mark->length), mark->encoding);
  }
  return decodeText(bytes, unmarkedEncoding(bytes));
}

}  // namespace pelmora
