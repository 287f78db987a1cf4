#pragma once

// Text files from outside (lists, CSV exports) come as UTF-8, with or without
// a byte order mark, as UTF-16 with its mark, or in the Chinese code page of
// older Windows programs (GBK, read as its superset GB18030).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// The UTF-8 byte order mark some editors put at the start of a file.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

enum class TextEncoding { Utf8, Utf16Le, Utf16Be, Gb18030 };

// True when every byte belongs to a valid UTF-8 sequence (no overlong forms,
// surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view text);
// Byte index of the first byte that starts no valid UTF-8 sequence, or the
// text's size when there is none.
std::size_t firstInvalidUtf8(std::string_view text);

// The file's bytes as UTF-8: after a UTF-8 mark the rest is taken as it is; a
// UTF-16 mark (LE or BE) makes the rest read as UTF-16; unmarked text that is
// UTF-8 apart from a few stray bytes stays as it is (those bytes then fail
// their own line); anything else is read as GB18030. Bytes that cannot be
// read as UTF-16 or GB18030 leave bytes that are not UTF-8 either, so the
// line that holds them fails rather than being stored altered.
std::string decodeTextFile(std::string_view bytes);

// The parts of that rule, for a file read piece by piece.
struct ByteOrderMark {
  TextEncoding encoding;
  std::size_t length;
};
// The mark `bytes` start with; nullopt without one.
std::optional<ByteOrderMark> byteOrderMark(std::string_view bytes);
// What unmarked text is read as: UTF-8 when it is that apart from a few
// stray bytes, else GB18030.
TextEncoding unmarkedEncoding(std::string_view bytes);
// `bytes` (without the mark) read in `encoding`, as UTF-8.
std::string decodeText(std::string_view bytes, TextEncoding encoding);

}  // namespace pelmora
