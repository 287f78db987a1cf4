#include "ui/whole_file.h"

#include <QBuffer>
#include <QSaveFile>
#include <array>
#include <ostream>
#include <streambuf>

namespace pelmora::ui {
namespace {

// A stream buffer over a device: whatever the stream writes goes to it in
// blocks, and a write the device refuses fails the stream.
class DeviceBuffer : public std::streambuf {
 public:
  explicit DeviceBuffer(QIODevice& device) : device_(device) {
    setp(block_.data(), block_.data() + block_.size());
  }

 protected:
  int_type overflow(int_type c) override {
    if (!flushBlock()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return flushBlock() ? 0 : -1; }

 private:
  bool flushBlock() {
    for (const char* at = pbase(); at < pptr();) {
      const qint64 written = device_.write(at, pptr() - at);
      if (written <= 0) return false;
      at += written;
    }
    setp(block_.data(), block_.data() + block_.size());
    return true;
  }

  QIODevice& device_;
  std::array<char, 64 * 1024> block_{};
};

}  // namespace

bool writeWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* error) {
  const auto fail = [error](const QString& reason) {
    if (error != nullptr) *error = reason;
    return false;
  };
  // The content is made in memory first: generators such as QSvgGenerator do
  // not notice when the device takes only part of what they write.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !write(buffer)) {
    return fail(QStringLiteral("无法生成文件内容"));
  }
  // Unbuffered: a full disk shows at the write below, not in a flush whose
  // failure QSaveFile's commit() would miss. A file that is not committed is
  // removed with the object.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(file.errorString());
  for (qint64 done = 0; done < bytes.size();) {
    const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
    if (written <= 0) return fail(file.errorString());
    done += written;
  }
  if (!file.commit()) return fail(file.errorString());
  return true;
}

bool writeWholeFileStreamed(const QString& path, const std::function<bool(std::ostream&)>& write,
                            QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  DeviceBuffer buffer(file);
  std::ostream out(&buffer);
  const bool written = write(out) && out.flush().good();
  if (!written || !file.commit()) {
    if (error != nullptr) *error = written ? file.errorString() : QStringLiteral("无法写入文件");
    return false;
  }
  return true;
}

}  // namespace pelmora::ui
