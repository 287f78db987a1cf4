#pragma once

// 报表统计: purchases and sales of a date range cut into days, months or
// years, as a bar chart (one group of bars per period) and as the totals of
// the whole range. Modeless; it only reads. The report runs on the UI thread
// (one grouped query per run, well under a second on a large inventory): once
// when the window is made, with its initial choices, and on 按钮_确定.
//
// Beyond the form, the chart can be saved as PNG or SVG or copied to the
// clipboard, and the report table exported as CSV (the chart's context menu,
// also behind the 导出 button).

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "reports/statistics_report.h"
#include "store/domain_database.h"
#include "support/dates.h"

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QChartView;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QStatusBar;
class QIODevice;
class QLabel;
class QValueAxis;

namespace pelmora::ui {

class DateBox;

// Asks for the name of a file to write: owner, caption, proposed name and
// filter; an empty answer cancels. Tests put their own in place of the dialog.
using SaveFileAsker = std::function<QString(QWidget* owner, const QString& caption,
                                            const QString& proposed, const QString& filter)>;

class ReportWindow : public QDialog {
  Q_OBJECT

 public:
  ReportWindow(QWidget* owner, DomainDatabase& db, const Clock& clock);
  ~ReportWindow() override;

  // 按钮_确定: runs the report with the controls' choices and shows it. A
  // failed query is reported with its reason; the chart and totals keep what
  // they showed and false comes back.
  bool runReport();
  // The last report shown.
  const StatisticsReport& report() const { return report_; }

  // The series ticked now, in chart order.
  std::vector<ReportSeries> shownSeries() const;

  // Writing out; false (and a message) when the file cannot be written.
  bool saveChartPng(const QString& path);
  bool saveChartSvg(const QString& path);
  bool exportTableCsv(const QString& path);
  void copyChart();

  // The context-menu items: ask for a file name, then write.
  void saveChartPngAs();
  void saveChartSvgAs();
  void exportTableCsvAs();

  void setSaveFileAsker(SaveFileAsker asker) { askSaveFile_ = std::move(asker); }
  QMenu* chartMenu() const { return chartMenu_; }

 private:
  void build(const Clock& clock);
  QWidget* buildChoices(const Clock& clock);
  QWidget* buildTotals();
  void buildChartMenu();
  void showChart(const StatisticsReport& report, const std::vector<ReportSeries>& shown);
  void showTotals(const ReportFigures& totals);
  void showBarTip(bool entered, int column, QBarSet* set);
  QString askFile(const QString& caption, const QString& suffix, const QString& filter);
  // Writes the file whole (ui/whole_file) and tells how it went.
  bool writeFile(const QString& path, const std::function<bool(QIODevice&)>& write);
  void setStatus(const QString& text);

  DomainDatabase& db_;
  StatisticsReport report_;
  SaveFileAsker askSaveFile_;
  DateBox* start_ = nullptr;
  DateBox* end_ = nullptr;
  QComboBox* unit_ = nullptr;
  std::vector<QCheckBox*> seriesBoxes_;  // in chart order
  QChartView* chartView_ = nullptr;
  QBarSeries* bars_ = nullptr;
  QBarCategoryAxis* periods_ = nullptr;
  QValueAxis* values_ = nullptr;
  std::vector<QLineEdit*> totals_;  // in the order of reportTotalTexts
  QMenu* chartMenu_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace pelmora::ui
