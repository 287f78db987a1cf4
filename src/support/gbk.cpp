#include "support/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <stdexcept>

namespace pelmora {
namespace {

// One converter per thread and direction: iconv_open is costly and a
// descriptor must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("iconv cannot convert between GBK and UTF-8");
    }
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `input`; on an unconvertible or invalid sequence writes
  // `replacement` and skips `skipLength(rest)` bytes, or without a
  // replacement copies the first byte as it is and goes on after it.
  template <typename Skip>
  std::string convert(std::string_view input, std::optional<std::string_view> replacement,
                      Skip skipLength) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t rc = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, sizeof buffer - outLeft);
      if (rc != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence at the end).
      const std::size_t skip =
          replacement ? std::min(inLeft, skipLength(std::string_view(in, inLeft))) : 1;
      out.append(replacement ? *replacement : std::string_view(in, 1));
      in += skip;
      inLeft -= skip;
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t handle_;
};

std::size_t utf8SequenceLength(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  std::size_t length = 1;
  if (lead >= 0xF0) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  // Stop early at a byte that cannot continue the sequence.
  for (std::size_t i = 1; i < length; ++i) {
    if (i >= rest.size() || (static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return i;
  }
  return length;
}

std::size_t gbkSequenceLength(std::string_view rest) {
  return static_cast<unsigned char>(rest[0]) >= 0x81 && rest.size() >= 2 ? 2 : 1;
}

}  // namespace

std::string utf8ToGbk(std::string_view utf8) {
  if (utf8.empty()) return {};
  thread_local Converter converter("GBK", "UTF-8");
  return converter.convert(utf8, "?", utf8SequenceLength);
}

std::string gbkToUtf8(std::string_view gbk) {
  if (gbk.empty()) return {};
  thread_local Converter converter("UTF-8", "GBK");
  return converter.convert(gbk, "\xEF\xBF\xBD", gbkSequenceLength);
}

std::string gb18030ToUtf8(std::string_view gb18030) {
  if (gb18030.empty()) return {};
  thread_local Converter converter("UTF-8", "GB18030");
  return converter.convert(gb18030, std::nullopt, gbkSequenceLength);
}

std::size_t gbkByteLength(std::string_view utf8) {
  bool ascii = true;
  for (char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  return ascii ? utf8.size() : utf8ToGbk(utf8).size();
}

}  // namespace pelmora
