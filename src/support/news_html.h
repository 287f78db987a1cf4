#pragma once

// The news page comes over plain http from outside, so it is shown only as a
// reduced page: text, a few formatting tags and web links. Nothing in it can
// make the browser load a resource (images, style sheets, local files), and a
// page that would ask too much of the layout is refused as a whole.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

inline constexpr std::size_t kNewsPageMaxBytes = std::size_t{256} << 10;
inline constexpr std::size_t kNewsMaxDepth = 32;
inline constexpr std::size_t kNewsMaxElements = 4000;

// The page with every tag outside the kept set dropped (the text of script,
// style, title and the like with it), every attribute dropped but a web
// address in href, align, valign, color, size and border, and comments and
// declarations removed. Nothing when the page is longer than
// kNewsPageMaxBytes, keeps more than kNewsMaxElements elements or nests them
// deeper than kNewsMaxDepth.
std::optional<std::string> safeNewsHtml(std::string_view page);

}  // namespace pelmora
