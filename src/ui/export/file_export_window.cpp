#include "ui/export/file_export_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <cstdint>

#include "ui/qt_text.h"

namespace pelmora::ui {
namespace {

// Progress is reported every so many rows: often enough for the bar, rarely
// enough to cost nothing.
constexpr std::int64_t kProgressStep = 2000;

}  // namespace

std::function<bool(std::int64_t, std::int64_t)> exportProgress(const std::stop_token& stop,
                                                               JobReporter& reporter) {
  return [&stop, &reporter](std::int64_t done, std::int64_t total) {
    if (done % kProgressStep == 0 || done == total) {
      reporter.progress(static_cast<int>(std::min<std::int64_t>(done, INT_MAX)),
                        static_cast<int>(std::min<std::int64_t>(total, INT_MAX)));
    }
    return !stop.stop_requested();
  };
}

PageRequest wholeListingRequest(const std::string& sortKey, bool ascending) {
  PageRequest request;
  request.sortKey = sortKey;
  request.ascending = ascending;
  request.wholeListing = true;
  return request;
}

QString exportCancelledText() { return QStringLiteral("已取消, 没有写入文件."); }
QString exportFailedText(const QString& reason) { return QStringLiteral("导出失败: ") + reason; }

FileExportWindow::FileExportWindow(QWidget* parent, const QString& title, QString filter,
                                   QString suffix)
    : QDialog(parent), title_(title), filter_(std::move(filter)), suffix_(std::move(suffix)) {
  setWindowTitle(title);
  grid_ = new QGridLayout(this);
  path_ = named(new QLineEdit, QStringLiteral("编辑框_导出文件"));
  path_->setMinimumWidth(320);
  browse_ = named(new QPushButton(QStringLiteral("浏览...")), QStringLiteral("按钮_浏览"));
  progress_ = named(new QProgressBar, QStringLiteral("进度条_导出"));
  progress_->setVisible(false);
  result_ = named(new QLabel, QStringLiteral("标签_导出结果"));
  result_->setWordWrap(true);
  export_ = named(new QPushButton(QStringLiteral("导出")), QStringLiteral("按钮_导出"));
  cancel_ = named(new QPushButton(QStringLiteral("关闭")), QStringLiteral("按钮_取消导出"));
  connect(browse_, &QPushButton::clicked, this, &FileExportWindow::browse);
  connect(export_, &QPushButton::clicked, this, &FileExportWindow::startExport);
  connect(cancel_, &QPushButton::clicked, this, &FileExportWindow::reject);
  connect(&job_, &BackgroundJob::progress, this, [this](int done, int total) {
    progress_->setMaximum(std::max(total, 1));
    progress_->setValue(done);
  });
}

void FileExportWindow::placeFileRows(int row) {
  grid_->addWidget(new QLabel(QStringLiteral("文件")), row, 0);
  grid_->addWidget(path_, row, 1);
  grid_->addWidget(browse_, row, 2);
  grid_->addWidget(progress_, row + 1, 0, 1, 3);
  grid_->addWidget(result_, row + 2, 0, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(export_);
  buttons->addWidget(cancel_);
  grid_->addLayout(buttons, row + 3, 0, 1, 3);
}

void FileExportWindow::browse() {
  QString chosen = QFileDialog::getSaveFileName(this, title_, path_->text(), filter_);
  if (chosen.isEmpty()) return;
  if (!suffix_.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) chosen += suffix_;
  path_->setText(chosen);
}

void FileExportWindow::startExport() {
  const QString path = path_->text().trimmed();
  if (path.isEmpty()) {
    result_->setText(QStringLiteral("请先选择要写入的文件."));
    return;
  }
  export_->setEnabled(false);
  cancel_->setText(QStringLiteral("取消"));
  progress_->setValue(0);
  progress_->setVisible(true);
  result_->setText(QStringLiteral("正在导出..."));
  job_.start([this, write = prepareWrite(), file = path, hook = beforeWrite_](
                 std::stop_token stop, JobReporter& reporter) {
    if (hook) hook();
    const QString text = write(file, stop, reporter);
    reporter.post([this, text] { finish(text); });
  });
}

void FileExportWindow::finish(const QString& text) {
  export_->setEnabled(true);
  cancel_->setText(QStringLiteral("关闭"));
  progress_->setVisible(false);
  result_->setText(text);
  emit exportEnded(text);
}

void FileExportWindow::reject() {
  // 取消 during a run stops it (the part written is removed); else it closes.
  if (job_.isRunning()) {
    job_.cancel();
    return;
  }
  QDialog::reject();
}

}  // namespace pelmora::ui
