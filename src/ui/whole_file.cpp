#include "ui/whole_file.h"

#include <QBuffer>
#include <QSaveFile>

namespace pelmora::ui {

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

}  // namespace pelmora::ui
