#pragma once

// 报表统计: purchases and sales of a date range cut into days, months or
// years, as a bar chart (one group of bars per period) and as the totals of
// the whole range. Modeless; it only reads. The report runs once when the
// window is made, with its initial choices, and on 按钮_确定, each time on a
// worker: the query and the chart's data (values and labels) are made there,
// and the UI thread only puts them into the chart. The window keeps
// responding meanwhile and shows a busy cursor; a newer run or closing the
// window drops the answer of the run before.
//
// However many periods the range holds, every period gets its bars, and only
// as many period labels as fit side by side are written under them (every
// k-th period, see labelledPeriods); hovering a bar names its series, period
// and value.
//
// Beyond the form, the chart can be saved as PNG or SVG or copied to the
// clipboard, and the report table exported as CSV (the chart's context menu,
// also behind the 导出 button).

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "reports/statistics_report.h"
#include "store/domain_database.h"
#include "support/dates.h"
#include "ui/background_job.h"

class QBarSeries;
class QBarSet;
class QCategoryAxis;
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

  // 按钮_确定: starts the report with the controls' choices; it is shown when
  // it arrives. A failed query is reported with its reason; the chart and
  // totals keep what they showed. A run still going is superseded.
  void runReport();
  // From runReport until its answer has been shown.
  bool isReporting() const { return job_.isRunning(); }
  // The last report shown.
  const StatisticsReport& report() const { return report_; }
  // Runs on the worker before every query, to stand in for a slow database
  // in tests.
  void setBeforeQuery(std::function<void()> hook) { beforeQuery_ = std::move(hook); }

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
  struct Answer;
  void showAnswer(Answer& answer);
  void showChart(Answer& answer);
  // Writes the labels of the periods that fit the axis as it is now wide.
  void labelPeriods();
  void showTotals(const ReportFigures& totals);
  void showBarTip(bool entered, int column, QBarSet* set);
  QString askFile(const QString& caption, const QString& suffix, const QString& filter);
  // Writes the file whole (ui/whole_file) and tells how it went.
  bool writeFile(const QString& path, const std::function<bool(QIODevice&)>& write);
  void setStatus(const QString& text);

  DomainDatabase& db_;
  std::function<void()> beforeQuery_;
  StatisticsReport report_;
  ReportUnit reportUnit_ = ReportUnit::Month;  // of report_
  QStringList periodLabels_;                   // every period's, in order
  double labelWidth_ = 0;                      // the widest of them, with room around
  std::vector<std::size_t> labelled_;          // the periods labelled now
  SaveFileAsker askSaveFile_;
  DateBox* start_ = nullptr;
  DateBox* end_ = nullptr;
  QComboBox* unit_ = nullptr;
  std::vector<QCheckBox*> seriesBoxes_;  // in chart order
  QChartView* chartView_ = nullptr;
  QBarSeries* bars_ = nullptr;
  QCategoryAxis* periods_ = nullptr;
  QValueAxis* values_ = nullptr;
  std::vector<QLineEdit*> totals_;  // in the order of reportTotalTexts
  QMenu* chartMenu_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QLabel* status_ = nullptr;
  BackgroundJob job_;  // last: its worker is joined before the rest goes
};

}  // namespace pelmora::ui
