#pragma once

// Standard output as the commands write it: through a buffer straight to file
// descriptor 1, remembering why a write failed (a full disk, a closed
// terminal), so that the command ends with that reason and exit code 2 rather
// than a cut-off file and exit code 0.

#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

namespace pelmora::cli {

class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int descriptor);
  ~DescriptorBuffer() override;
  DescriptorBuffer(const DescriptorBuffer&) = delete;
  DescriptorBuffer& operator=(const DescriptorBuffer&) = delete;

  // Flushes and closes the descriptor (which may report a late write error).
  bool close();
  // The reason of the first failed write; empty while none failed.
  const std::string& failure() const { return failure_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  bool writeOut(const char* text, std::size_t count);
  bool drain();

  int descriptor_;
  std::string buffer_;
  std::string failure_;
};

class StandardOutput : public std::ostream {
 public:
  StandardOutput();
  const std::string& failure() const { return buffer_.failure(); }
  bool close() { return buffer_.close(); }

 private:
  DescriptorBuffer buffer_;
};

// Flushes `out`, and closes it when it is a StandardOutput. The reason when
// something written to it was lost; nullopt when all went out.
std::optional<std::string> finishOutput(std::ostream& out);

}  // namespace pelmora::cli
