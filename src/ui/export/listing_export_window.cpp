#include "ui/export/listing_export_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "reports/listing_table.h"
#include "ui/qt_text.h"

namespace pelmora::ui {

ListingExportWindow::ListingExportWindow(QWidget* parent, DomainDatabase& db, ListingView view)
    : FileExportWindow(parent, QStringLiteral("导出列表"), QStringLiteral("CSV (*.csv)")),
      db_(db),
      view_(std::move(view)) {
  format_ = named(new QComboBox, QStringLiteral("组合框_导出格式"));
  format_->addItems({QStringLiteral("CSV (电子表格)"), QStringLiteral("JSON")});
  byteOrderMark_ = named(new QCheckBox(QStringLiteral("写入 BOM (电子表格程序正确显示中文)")),
                         QStringLiteral("选择框_BOM"));
  byteOrderMark_->setChecked(true);
  grid()->addWidget(new QLabel(QStringLiteral("格式")), 0, 0);
  grid()->addWidget(format_, 0, 1, 1, 2);
  grid()->addWidget(byteOrderMark_, 1, 1, 1, 2);
  placeFileRows(2);

  connect(format_, &QComboBox::currentIndexChanged, this, [this](int index) {
    byteOrderMark_->setEnabled(index == 0);
    setFileFilter(index == 0 ? QStringLiteral("CSV (*.csv)") : QStringLiteral("JSON (*.json)"));
    const QString path = pathBox()->text();
    const QString wanted = index == 0 ? QStringLiteral(".csv") : QStringLiteral(".json");
    const QString other = index == 0 ? QStringLiteral(".json") : QStringLiteral(".csv");
    if (path.endsWith(other)) pathBox()->setText(path.chopped(other.size()) + wanted);
  });
}

FileExportWindow::Write ListingExportWindow::prepareWrite() {
  ListingTableOptions options;
  options.format = format_->currentIndex() == 0 ? TableFormat::Csv : TableFormat::Json;
  options.byteOrderMark = options.format == TableFormat::Csv && byteOrderMark_->isChecked();
  return [&db = db_, condition = view_.condition,
          request = wholeListingRequest(view_.sortKey, view_.ascending),
          options](const QString& file, const std::stop_token& stop, JobReporter& reporter) {
    return streamExport<ListingTableResult>(
        file,
        [&](std::ostream& out) {
          return writeListingTable(db, condition, request, options, out,
                                   exportProgress(stop, reporter));
        },
        [&](const ListingTableResult& written) {
          return QStringLiteral("已导出 %1 个域名到 %2").arg(written.rows).arg(file);
        });
  };
}

}  // namespace pelmora::ui
