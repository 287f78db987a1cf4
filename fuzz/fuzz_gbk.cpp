// UTF-8 texts measured and converted to GBK, and GBK bytes read back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/gbk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)pelmora::gbkByteLength(text);
  const std::string gbk = pelmora::utf8ToGbk(text);
  (void)pelmora::gbkToUtf8(gbk);
  (void)pelmora::gbkToUtf8(text);
  return 0;
}
