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

// Limits measured against the layout: within them the pane lays any page out
// in well under 100 ms. Unbroken text and tables cost most: 8 KiB of one word
// take about 20 ms but 256 KiB several seconds, and ten nested tables of a few
// hundred cells took 18 s.
inline constexpr std::size_t kNewsPageMaxBytes = std::size_t{256} << 10;
inline constexpr std::size_t kNewsShownMaxBytes = std::size_t{8} << 10;
inline constexpr std::size_t kNewsMaxDepth = 32;
inline constexpr std::size_t kNewsMaxElements = 500;
inline constexpr std::size_t kNewsMaxCellsPerRow = 16;

// The page with every tag outside the kept set dropped (the text of script,
// style, title and the like with it), every attribute dropped but a web
// address in href, align, valign, color, size and border, and comments and
// declarations removed. Nothing when the page is longer than
// kNewsPageMaxBytes, reduced is longer than kNewsShownMaxBytes, keeps more
// than kNewsMaxElements elements or nests them deeper than kNewsMaxDepth. A
// table inside a table loses its own tags: its rows and cells join the outer
// one; so do the cells of a row past its kNewsMaxCellsPerRow-th.
std::optional<std::string> safeNewsHtml(std::string_view page);

}  // namespace pelmora
