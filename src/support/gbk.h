#pragma once

// Conversions between the program's UTF-8 texts and the GBK code page, for
// legacy text files and for the byte lengths the data model counts in GBK.

#include <cstddef>
#include <string>
#include <string_view>

namespace pelmora {

// Characters without a GBK form (and invalid UTF-8) become "?".
std::string utf8ToGbk(std::string_view utf8);

// Invalid GBK sequences become U+FFFD.
std::string gbkToUtf8(std::string_view gbk);

// GB18030 (a superset of GBK: every character has a form) to UTF-8. A byte
// that starts no valid sequence is kept as it is, so the result is not UTF-8
// and the text fails where it is checked instead of being altered in silence.
std::string gb18030ToUtf8(std::string_view gb18030);

// Length of a text in GBK bytes: ASCII counts 1, a Chinese character 2.
std::size_t gbkByteLength(std::string_view utf8);

}  // namespace pelmora
