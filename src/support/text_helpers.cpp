#include "support/text_helpers.h"

#include <algorithm>

namespace pelmora {
namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kQuoteEscape = "#引号";

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameBytes(std::string_view a, std::string_view b, bool ignoreCase) {
  if (a.size() != b.size()) return false;
  if (!ignoreCase) return a == b;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  }
  return true;
}

std::string unescapeQuotes(std::string_view marker) {
  std::string out;
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = marker.find(kQuoteEscape, pos);
    if (hit == std::string_view::npos) break;
    out.append(marker.substr(pos, hit - pos));
    out.push_back('"');
    pos = hit + kQuoteEscape.size();
  }
  out.append(marker.substr(pos));
  return out;
}

std::size_t startIndex(std::size_t start) { return start == 0 ? 0 : start - 1; }

bool isHiddenControl(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void appendHex(std::string& out, unsigned value, int digits) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out.push_back(kHex[(value >> shift) & 0xF]);
}

}  // namespace

std::size_t utf8SequenceAt(std::string_view text, std::size_t i, char32_t& codePoint) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
  return length;
}

std::size_t findText(std::string_view haystack, std::string_view needle, std::size_t from,
                     bool ignoreCase) {
  if (needle.empty() || from > haystack.size() || needle.size() > haystack.size() - from) {
    return std::string_view::npos;
  }
  if (!ignoreCase) return haystack.find(needle, from);
  for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    if (sameBytes(haystack.substr(i, needle.size()), needle, true)) return i;
  }
  return std::string_view::npos;
}

std::string base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = std::min<std::size_t>(3, bytes.size() - i);
    unsigned group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      group <<= 8;
      if (k < left) group |= static_cast<unsigned char>(bytes[i + k]);
    }
    for (int k = 0; k < 4; ++k) {
      const bool padding = static_cast<std::size_t>(k) > left;
      out.push_back(padding ? '=' : kBase64Alphabet[(group >> (18 - 6 * k)) & 0x3F]);
    }
  }
  return out;
}

std::string textBetween(std::string_view text, std::string_view left, std::string_view right,
                        std::size_t start, bool ignoreCase) {
  const std::string l = unescapeQuotes(left);
  const std::string r = unescapeQuotes(right);
  const std::size_t leftHit = findText(text, l, startIndex(start), ignoreCase);
  if (leftHit == std::string_view::npos) return {};
  const std::size_t from = leftHit + l.size();
  const std::size_t rightHit = findText(text, r, from, ignoreCase);
  if (rightHit == std::string_view::npos) return {};
  return std::string(text.substr(from, rightHit - from));
}

std::string replaceMany(std::string_view text, const std::vector<ReplacePair>& pairs, long count,
                        std::size_t start, bool caseSensitive) {
  const std::size_t from = std::min(startIndex(start), text.size());
  const std::string head(text.substr(0, from));
  std::string body(text.substr(from));
  for (const ReplacePair& pair : pairs) {
    if (pair.find.empty()) continue;
    std::string next;
    std::size_t pos = 0;
    long done = 0;
    while (count < 0 || done < count) {
      const std::size_t hit = findText(body, pair.find, pos, !caseSensitive);
      if (hit == std::string::npos) break;
      next.append(body, pos, hit - pos);
      next.append(pair.replacement);
      pos = hit + pair.find.size();
      ++done;
    }
    next.append(body, pos, std::string::npos);
    body = std::move(next);
  }
  return head + body;
}

std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = foldAscii(c);
  return lower;
}

std::string trimSpaces(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && isSpace(text[b])) ++b;
  while (e > b && isSpace(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::vector<std::string> splitText(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t hit =
        separator.empty() ? std::string_view::npos : text.find(separator, start);
    parts.emplace_back(text.substr(start, hit - start));
    if (hit == std::string_view::npos) break;
    start = hit + separator.size();
  }
  return parts;
}

std::string escapeForTerminal(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t c = 0;
    const std::size_t length = utf8SequenceAt(text, i, c);
    if (length == 0) {
      out.append("\\x");
      appendHex(out, static_cast<unsigned char>(text[i]), 2);
      ++i;
      continue;
    }
    if (c == '\t') {
      out.append("\\t");
    } else if (c == '\n') {
      out.append("\\n");
    } else if (c == '\\') {
      out.append("\\\\");
    } else if (c < 0x20 || c == 0x7F) {
      out.append("\\x");
      appendHex(out, static_cast<unsigned>(c), 2);
    } else if (isHiddenControl(c)) {
      out.append("\\u");
      appendHex(out, static_cast<unsigned>(c), 4);
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

std::string headerName(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {};
  return trimSpaces(line.substr(0, colon));
}

std::string headerValue(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {};
  return trimSpaces(line.substr(colon + 1));
}

}  // namespace pelmora
