#pragma once

// What the export windows share: a file box with 浏览..., the 导出 button, a
// progress bar and a result line. The file is written on a worker; 关闭 reads
// 取消 during a run and stops it, and the file appears under its name only
// when it is complete.

#include <QDialog>
#include <functional>
#include <stop_token>
#include <string>

#include "store/listing.h"
#include "ui/background_job.h"
#include "ui/qt_text.h"
#include "ui/whole_file.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pelmora::ui {

class FileExportWindow : public QDialog {
  Q_OBJECT

 public:
  // Starts writing the file named in the path box.
  void startExport();
  bool isExporting() const { return job_.isRunning(); }

  // Runs on the worker before the file is written, to hold a run back in
  // tests.
  void setBeforeWrite(std::function<void()> hook) { beforeWrite_ = std::move(hook); }

 signals:
  // The run ended: written, failed or cancelled (`result` is the shown text).
  void exportEnded(const QString& result);

 protected:
  // Writes the file on the worker and says how it went.
  using Write = std::function<QString(const QString& file, const std::stop_token& stop,
                                      JobReporter& reporter)>;

  // `filter` and `suffix` for the file dialog (a chosen name without a suffix
  // gets `suffix`, when given).
  FileExportWindow(QWidget* parent, const QString& title, QString filter, QString suffix = {});

  // The rows of a window's own choices go above the file box: rows 0 ..
  // firstFileRow - 1 of grid(); then placeFileRows.
  QGridLayout* grid() const { return grid_; }
  void placeFileRows(int firstFileRow);
  QLineEdit* pathBox() const { return path_; }
  void setFileFilter(QString filter) { filter_ = std::move(filter); }

  // Read on the UI thread when 导出 is pressed: the run's writing, from the
  // choices as shown.
  virtual Write prepareWrite() = 0;

  void reject() override;

 private:
  void browse();
  void finish(const QString& text);

  QString title_;
  QString filter_;
  QString suffix_;
  std::function<void()> beforeWrite_;
  QGridLayout* grid_;
  QLineEdit* path_;
  QPushButton* browse_;
  QProgressBar* progress_;
  QLabel* result_;
  QPushButton* export_;
  QPushButton* cancel_;
  BackgroundJob job_;
};

// The progress callback of a streamed export: reports every so many rows and
// asks to stop once the run is cancelled.
std::function<bool(std::int64_t, std::int64_t)> exportProgress(const std::stop_token& stop,
                                                               JobReporter& reporter);

// "已取消, 没有写入文件." / "导出失败: reason" for a run that did not write.
QString exportCancelledText();
QString exportFailedText(const QString& reason);

// Streams what `write(out)` writes into `file`, which shows under its name
// only once it is complete, and says how it went: cancelled, failed with the
// reason, or `done(written)`. `Written` has `stopped` and `error`.
template <typename Written, typename WriteFn, typename DoneFn>
QString streamExport(const QString& file, WriteFn write, DoneFn done) {
  Written written;
  QString failure;
  const bool stored = writeWholeFileStreamed(
      file,
      [&](std::ostream& out) {
        written = write(out);
        return written.error.empty() && !written.stopped;
      },
      &failure);
  if (written.stopped) return exportCancelledText();
  if (!written.error.empty()) return exportFailedText(q(written.error));
  if (!stored) return exportFailedText(failure);
  return done(written);
}

// The whole listing in the order the view shows.
PageRequest wholeListingRequest(const std::string& sortKey, bool ascending);

}  // namespace pelmora::ui
