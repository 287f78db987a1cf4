#pragma once

// The check run when the user leaves one box of a range in the filter window.

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

enum class RangeBox { Minimum, Maximum };

struct RangeCheck {
  std::optional<bool> tick;          // new state of the criterion's check box, if it changes
  std::optional<RangeBox> resetBox;  // the box to set back to "0"
  std::string message;               // shown when a box is reset
};

// Both boxes are compared by their whole-number part (12.9 and 12.1 both
// count as 12); an empty box counts as 0 (parseNumberOrBlank). A maximum of 0
// means no upper limit. The length range has no check box; for it a conflict
// always resets the minimum box. A box whose text is not a number ("1,000",
// "abc", "12元", "0x10") is refused: it is reset (the box left first) with the
// range message, and the check goes on as if it held "0".
RangeCheck checkRange(std::string_view caption, std::string_view minText, std::string_view maxText,
                      RangeBox left, bool hasCheckBox);

}  // namespace pelmora
