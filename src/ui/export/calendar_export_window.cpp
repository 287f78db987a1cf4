#include "ui/export/calendar_export_window.h"

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

#include "reports/expiry_calendar.h"
#include "ui/qt_text.h"
#include "ui/whole_file.h"

namespace pelmora::ui {
namespace {

const QString kTitle = QStringLiteral("导出日历");
const QString kFileFilter = QStringLiteral("iCalendar (*.ics)");
const QString kNoFile = QStringLiteral("请先选择要写入的文件.");
const QString kRunning = QStringLiteral("正在导出...");
const QString kCancelled = QStringLiteral("已取消, 没有写入文件.");
const QString kFailed = QStringLiteral("导出失败: ");

// "已导出 3 个到期日到 FILE", and how many domains had no date to show.
QString writtenText(const ExpiryCalendarResult& written, const QString& file) {
  QString text = QStringLiteral("已导出 %1 个到期日到 %2").arg(written.events).arg(file);
  if (written.undated > 0) {
    text += QStringLiteral(", %1 个域名没有到期时间").arg(written.undated);
  }
  return text;
}

// Progress is reported every so many rows: often enough for the bar, rarely
// enough to cost nothing.
constexpr std::int64_t kProgressStep = 2000;

// Streams the calendar into the file, which shows under its name only once
// it is complete: a cancelled or failed export leaves nothing half-written.
QString writeCalendar(DomainDatabase& db, const ListingView& view, const std::string& stampUtc,
                      const QString& file, const std::stop_token& stop, JobReporter& reporter) {
  PageRequest request;
  request.sortKey = view.sortKey;
  request.ascending = view.ascending;
  request.wholeListing = true;
  ExpiryCalendarResult written;
  QString failure;
  const bool stored = writeWholeFileStreamed(
      file,
      [&](std::ostream& out) {
        written = writeExpiryCalendar(
            db, view.condition, request, stampUtc, out, [&](std::int64_t done, std::int64_t total) {
              if (done % kProgressStep == 0 || done == total) {
                reporter.progress(static_cast<int>(std::min<std::int64_t>(done, INT_MAX)),
                                  static_cast<int>(std::min<std::int64_t>(total, INT_MAX)));
              }
              return !stop.stop_requested();
            });
        return written.error.empty() && !written.stopped;
      },
      &failure);
  if (written.stopped) return kCancelled;
  if (!written.error.empty()) return kFailed + q(written.error);
  if (!stored) return kFailed + failure;
  return writtenText(written, file);
}

}  // namespace

CalendarExportWindow::CalendarExportWindow(QWidget* parent, DomainDatabase& db, ListingView view,
                                           Clock clock)
    : QDialog(parent), db_(db), view_(std::move(view)), clock_(clock) {
  setWindowTitle(kTitle);
  auto* layout = new QGridLayout(this);
  auto* note = new QLabel(
      QStringLiteral("当前筛选的域名, 每个到期日一个全天日程, 提前 30 天, 7 天和 1 天提醒."));
  note->setWordWrap(true);
  path_ = named(new QLineEdit, QStringLiteral("编辑框_导出文件"));
  path_->setMinimumWidth(320);
  auto* browse = named(new QPushButton(QStringLiteral("浏览...")), QStringLiteral("按钮_浏览"));
  progress_ = named(new QProgressBar, QStringLiteral("进度条_导出"));
  progress_->setVisible(false);
  result_ = named(new QLabel, QStringLiteral("标签_导出结果"));
  result_->setWordWrap(true);
  export_ = named(new QPushButton(QStringLiteral("导出")), QStringLiteral("按钮_导出"));
  cancel_ = named(new QPushButton(QStringLiteral("关闭")), QStringLiteral("按钮_取消导出"));
  layout->addWidget(note, 0, 0, 1, 3);
  layout->addWidget(new QLabel(QStringLiteral("文件")), 1, 0);
  layout->addWidget(path_, 1, 1);
  layout->addWidget(browse, 1, 2);
  layout->addWidget(progress_, 2, 0, 1, 3);
  layout->addWidget(result_, 3, 0, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(export_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons, 4, 0, 1, 3);

  connect(browse, &QPushButton::clicked, this, &CalendarExportWindow::browse);
  connect(export_, &QPushButton::clicked, this, &CalendarExportWindow::startExport);
  connect(cancel_, &QPushButton::clicked, this, &CalendarExportWindow::reject);
  connect(&job_, &BackgroundJob::progress, this, [this](int done, int total) {
    progress_->setMaximum(std::max(total, 1));
    progress_->setValue(done);
  });
}

void CalendarExportWindow::browse() {
  QString chosen = QFileDialog::getSaveFileName(this, kTitle, path_->text(), kFileFilter);
  if (chosen.isEmpty()) return;
  if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".ics");
  path_->setText(chosen);
}

void CalendarExportWindow::startExport() {
  const QString path = path_->text().trimmed();
  if (path.isEmpty()) {
    result_->setText(kNoFile);
    return;
  }
  export_->setEnabled(false);
  cancel_->setText(QStringLiteral("取消"));
  progress_->setValue(0);
  progress_->setVisible(true);
  result_->setText(kRunning);
  job_.start([this, &db = db_, view = view_, stamp = clock_.nowUtc(), file = path,
              hook = beforeWrite_](std::stop_token stop, JobReporter& reporter) {
    if (hook) hook();
    const QString text = writeCalendar(db, view, stamp, file, stop, reporter);
    reporter.post([this, text] { finish(text); });
  });
}

void CalendarExportWindow::finish(const QString& text) {
  export_->setEnabled(true);
  cancel_->setText(QStringLiteral("关闭"));
  progress_->setVisible(false);
  result_->setText(text);
  emit exportEnded(text);
}

void CalendarExportWindow::reject() {
  // 取消 during a run stops it (the part written is removed); else it closes.
  if (job_.isRunning()) {
    job_.cancel();
    return;
  }
  QDialog::reject();
}

}  // namespace pelmora::ui
