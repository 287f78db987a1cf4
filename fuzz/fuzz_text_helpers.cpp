// textBetween, replaceMany and countOccurrences with texts, markers, start
// positions and counts all taken from the input.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/kept/text_helpers_kept.h"
#include "support/text_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool flag = input.ConsumeBool();
  const std::size_t start = input.ConsumeIntegralInRange<std::size_t>(0, 64);
  const long count = input.ConsumeIntegralInRange<long>(-2, 8);
  const std::string left = input.ConsumeRandomLengthString(16);
  const std::string right = input.ConsumeRandomLengthString(16);
  std::vector<pelmora::ReplacePair> pairs;
  const int pairCount = input.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < pairCount; ++i) {
    std::string find = input.ConsumeRandomLengthString(8);
    std::string replacement = input.ConsumeRandomLengthString(8);
    pairs.push_back({std::move(find), std::move(replacement)});
  }
  const std::string text = input.ConsumeRemainingBytesAsString();

  const std::string between = pelmora::textBetween(text, left, right, start, flag);
  if (between.size() > text.size()) __builtin_trap();
  const std::size_t found = pelmora::countOccurrences(text, left, flag);
  if (!left.empty() && found > text.size() / left.size()) __builtin_trap();
  (void)pelmora::replaceMany(text, pairs, count, start, flag);
  return 0;
}
