#pragma once

// Which texts are domain names at all: the only names stored, and the only
// names the lookups send to a server.

#include <string_view>

namespace pelmora {

// True when the name is not empty and every character is an ASCII letter or
// digit, "-", "." or a non-ASCII letter (IDN names such as 中文.cn). Blanks,
// control characters, punctuation, symbols and bytes that are not UTF-8 are
// refused, so a name can never add query keys, header lines or WHOIS commands,
// nor split a line of an export.
bool isDomainName(std::string_view domain);

}  // namespace pelmora
