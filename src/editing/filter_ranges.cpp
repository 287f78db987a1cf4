#include "editing/filter_ranges.h"

#include "support/numbers.h"

namespace pelmora {

RangeCheck checkRange(std::string_view caption, std::string_view minText, std::string_view maxText,
                      RangeBox left, bool hasCheckBox) {
  const int min = readInt(minText);
  const int max = readInt(maxText);
  RangeCheck check;
  if (hasCheckBox) {
    const int leftValue = left == RangeBox::Minimum ? min : max;
    if (min == 0 && max == 0) {
      check.tick = false;
    } else if (leftValue > 0) {
      check.tick = true;
    }
  }
  if (max != 0 && max < min) {
    check.resetBox = hasCheckBox ? left : RangeBox::Minimum;
    check.message = std::string(caption) + "最大值,不能小于最小值!";
  }
  return check;
}

}  // namespace pelmora
