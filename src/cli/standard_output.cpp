#include "cli/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pelmora::cli {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

DescriptorBuffer::DescriptorBuffer(int descriptor) : descriptor_(descriptor) {
  buffer_.reserve(kBufferSize);
}

DescriptorBuffer::~DescriptorBuffer() { drain(); }

bool DescriptorBuffer::writeOut(const char* text, std::size_t count) {
  if (!failure_.empty()) return false;
  while (count > 0) {
    const ssize_t written = ::write(descriptor_, text, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failure_ = written < 0 ? std::strerror(errno) : "nothing could be written";
      return false;
    }
    text += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

bool DescriptorBuffer::drain() {
  const bool ok = writeOut(buffer_.data(), buffer_.size());
  buffer_.clear();
  return ok;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return drain() ? 0 : traits_type::eof();
  const char one = traits_type::to_char_type(c);
  return xsputn(&one, 1) == 1 ? c : traits_type::eof();
}

std::streamsize DescriptorBuffer::xsputn(const char* text, std::streamsize count) {
  if (!failure_.empty()) return 0;
  const auto size = static_cast<std::size_t>(count);
  if (buffer_.size() + size > kBufferSize && !drain()) return 0;
  if (size >= kBufferSize) return writeOut(text, size) ? count : 0;
  buffer_.append(text, size);
  return count;
}

int DescriptorBuffer::sync() { return drain() ? 0 : -1; }

bool DescriptorBuffer::close() {
  const bool drained = drain();
  if (descriptor_ < 0) return drained;
  const int closed = ::close(descriptor_);
  descriptor_ = -1;
  if (closed != 0 && errno != EINTR && failure_.empty()) failure_ = std::strerror(errno);
  return drained && failure_.empty();
}

StandardOutput::StandardOutput() : std::ostream(nullptr), buffer_(STDOUT_FILENO) {
  rdbuf(&buffer_);
}

std::optional<std::string> finishOutput(std::ostream& out) {
  out.flush();
  auto* standard = dynamic_cast<StandardOutput*>(&out);
  if (standard != nullptr) {
    if (!standard->close()) out.setstate(std::ios::badbit);
    if (!standard->failure().empty()) return standard->failure();
  }
  if (!out) return std::string("the output could not be written");
  return std::nullopt;
}

}  // namespace pelmora::cli
