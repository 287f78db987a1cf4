#include "ui/export/listing_export_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <cstdint>

#include "reports/listing_table.h"
#include "ui/qt_text.h"
#include "ui/whole_file.h"

namespace pelmora::ui {
namespace {

// Progress is reported every so many rows: often enough for the bar, rarely
// enough to cost nothing.
constexpr std::int64_t kProgressStep = 2000;

// Streams the table into the file, which shows under its name only once it
// is complete: a cancelled or failed export leaves nothing half-written.
QString writeExport(DomainDatabase& db, const ListingView& view, const ListingTableOptions& options,
                    const QString& file, const std::stop_token& stop, JobReporter& reporter) {
  PageRequest request;
  request.sortKey = view.sortKey;
  request.ascending = view.ascending;
  request.wholeListing = true;
  ListingTableResult written;
  QString failure;
  const bool stored = writeWholeFileStreamed(
      file,
      [&](std::ostream& out) {
        written = writeListingTable(
            db, view.condition, request, options, out, [&](std::int64_t done, std::int64_t total) {
              if (done % kProgressStep == 0 || done == total) {
                reporter.progress(static_cast<int>(std::min<std::int64_t>(done, INT_MAX)),
                                  static_cast<int>(std::min<std::int64_t>(total, INT_MAX)));
              }
              return !stop.stop_requested();
            });
        return written.error.empty() && !written.stopped;
      },
      &failure);
  if (written.stopped) return QStringLiteral("已取消, 没有写入文件.");
  if (!written.error.empty()) return QStringLiteral("导出失败: ") + q(written.error);
  if (!stored) return QStringLiteral("导出失败: ") + failure;
  return QStringLiteral("已导出 %1 个域名到 %2").arg(written.rows).arg(file);
}

}  // namespace

ListingExportWindow::ListingExportWindow(QWidget* parent, DomainDatabase& db, ListingView view)
    : QDialog(parent), db_(db), view_(std::move(view)) {
  setWindowTitle(QStringLiteral("导出列表"));
  auto* layout = new QGridLayout(this);
  format_ = named(new QComboBox, QStringLiteral("组合框_导出格式"));
  format_->addItems({QStringLiteral("CSV (电子表格)"), QStringLiteral("JSON")});
  byteOrderMark_ = named(new QCheckBox(QStringLiteral("写入 BOM (电子表格程序正确显示中文)")),
                         QStringLiteral("选择框_BOM"));
  byteOrderMark_->setChecked(true);
  path_ = named(new QLineEdit, QStringLiteral("编辑框_导出文件"));
  path_->setMinimumWidth(320);
  auto* browse = named(new QPushButton(QStringLiteral("浏览...")), QStringLiteral("按钮_浏览"));
  progress_ = named(new QProgressBar, QStringLiteral("进度条_导出"));
  progress_->setVisible(false);
  result_ = named(new QLabel, QStringLiteral("标签_导出结果"));
  result_->setWordWrap(true);
  export_ = named(new QPushButton(QStringLiteral("导出")), QStringLiteral("按钮_导出"));
  cancel_ = named(new QPushButton(QStringLiteral("关闭")), QStringLiteral("按钮_取消导出"));
  layout->addWidget(new QLabel(QStringLiteral("格式")), 0, 0);
  layout->addWidget(format_, 0, 1, 1, 2);
  layout->addWidget(byteOrderMark_, 1, 1, 1, 2);
  layout->addWidget(new QLabel(QStringLiteral("文件")), 2, 0);
  layout->addWidget(path_, 2, 1);
  layout->addWidget(browse, 2, 2);
  layout->addWidget(progress_, 3, 0, 1, 3);
  layout->addWidget(result_, 4, 0, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(export_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons, 5, 0, 1, 3);

  connect(format_, &QComboBox::currentIndexChanged, this, [this](int index) {
    byteOrderMark_->setEnabled(index == 0);
    const QString path = path_->text();
    const QString wanted = index == 0 ? QStringLiteral(".csv") : QStringLiteral(".json");
    const QString other = index == 0 ? QStringLiteral(".json") : QStringLiteral(".csv");
    if (path.endsWith(other)) path_->setText(path.chopped(other.size()) + wanted);
  });
  connect(browse, &QPushButton::clicked, this, &ListingExportWindow::browse);
  connect(export_, &QPushButton::clicked, this, &ListingExportWindow::startExport);
  connect(cancel_, &QPushButton::clicked, this, &ListingExportWindow::reject);
  connect(&job_, &BackgroundJob::progress, this, [this](int done, int total) {
    progress_->setMaximum(std::max(total, 1));
    progress_->setValue(done);
  });
}

void ListingExportWindow::browse() {
  const bool csv = format_->currentIndex() == 0;
  const QString chosen = QFileDialog::getSaveFileName(
      this, QStringLiteral("导出列表"), path_->text(),
      csv ? QStringLiteral("CSV (*.csv)") : QStringLiteral("JSON (*.json)"));
  if (!chosen.isEmpty()) path_->setText(chosen);
}

void ListingExportWindow::startExport() {
  const QString path = path_->text().trimmed();
  if (path.isEmpty()) {
    result_->setText(QStringLiteral("请先选择要写入的文件."));
    return;
  }
  ListingTableOptions options;
  options.format = format_->currentIndex() == 0 ? TableFormat::Csv : TableFormat::Json;
  options.byteOrderMark = options.format == TableFormat::Csv && byteOrderMark_->isChecked();
  export_->setEnabled(false);
  cancel_->setText(QStringLiteral("取消"));
  progress_->setValue(0);
  progress_->setVisible(true);
  result_->setText(QStringLiteral("正在导出..."));
  job_.start([this, &db = db_, view = view_, options, file = path, hook = beforeWrite_](
                 std::stop_token stop, JobReporter& reporter) {
    if (hook) hook();
    const QString text = writeExport(db, view, options, file, stop, reporter);
    reporter.post([this, text] { finish(text); });
  });
}

void ListingExportWindow::finish(const QString& text) {
  export_->setEnabled(true);
  cancel_->setText(QStringLiteral("关闭"));
  progress_->setVisible(false);
  result_->setText(text);
  emit exportEnded(text);
}

void ListingExportWindow::reject() {
  // 取消 during a run stops it (the part written is removed); else it closes.
  if (job_.isRunning()) {
    job_.cancel();
    return;
  }
  QDialog::reject();
}

}  // namespace pelmora::ui
