#include "editing/filter_ranges.h"

#include <cmath>

#include "support/numbers.h"

namespace pelmora {

RangeCheck checkRange(std::string_view caption, std::string_view minText, std::string_view maxText,
                      RangeBox left, bool hasCheckBox) {
  const std::optional<double> minNumber = parseNumberOrBlank(minText);
  const std::optional<double> maxNumber = parseNumberOrBlank(maxText);
  const double min = std::trunc(minNumber.value_or(0));
  const double max = std::trunc(maxNumber.value_or(0));
  const std::string message = std::string(caption) + "最大值,不能小于最小值!";
  RangeCheck check;
  if (!minNumber || !maxNumber) {
    const bool leftRefused = !(left == RangeBox::Minimum ? minNumber : maxNumber);
    check.resetBox = leftRefused ? left : (!minNumber ? RangeBox::Minimum : RangeBox::Maximum);
    check.message = message;
  }
  if (hasCheckBox) {
    const double leftValue = left == RangeBox::Minimum ? min : max;
    if (min == 0 && max == 0) {
      check.tick = false;
    } else if (leftValue > 0) {
      check.tick = true;
    }
  }
  if (!check.resetBox && max != 0 && max < min) {
    check.resetBox = hasCheckBox ? left : RangeBox::Minimum;
    check.message = message;
  }
  return check;
}

}  // namespace pelmora
