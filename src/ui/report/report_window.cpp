#include "ui/report/report_window.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QFormLayout>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "reports/report_table.h"
#include "support/numbers.h"
#include "support/table_writer.h"
#include "ui/date_box.h"
#include "ui/qt_text.h"
#include "ui/report/report_texts.h"
#include "ui/toolkit.h"
#include "ui/whole_file.h"

namespace pelmora::ui {
namespace {

namespace texts = report_texts;

constexpr QSize kMinimumSize(915, 390);
constexpr QSize kStartingSize(1000, 600);
// The room a period label needs beyond its text: the chart's margins and
// padding around it and a gap to the next one.
constexpr double kLabelRoom = 16;

QColor colourOf(std::size_t series) {
  const Rgb rgb = kReportSeriesColours[series];
  return {rgb.red, rgb.green, rgb.blue};
}

// A round step (1, 2 or 5 times a power of ten) giving five to ten ticks.
double tickInterval(double maximum) {
  const double rough = maximum / 8;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double step : {1.0, 2.0, 5.0}) {
    if (step * power >= rough) return step * power;
  }
  return 10 * power;
}

QString defaultAsker(QWidget* owner, const QString& caption, const QString& proposed,
                     const QString& filter) {
  return QFileDialog::getSaveFileName(owner, caption, proposed, filter);
}

}  // namespace

// A report as the chart takes it, made on the worker: the values of each
// shown series and every period's label.
struct ReportWindow::Answer {
  StatisticsReport report;
  ReportUnit unit = ReportUnit::Month;
  std::vector<ReportSeries> shown;
  std::vector<QList<qreal>> values;  // per shown series, one per period
  QStringList labels;
};

ReportWindow::ReportWindow(QWidget* owner, DomainDatabase& db, const Clock& clock)
    : QDialog(owner), db_(db), askSaveFile_(defaultAsker) {
  setWindowTitle(texts::title());
  setModal(false);
  build(clock);
  setMinimumSize(kMinimumSize);
  resize(kStartingSize);
  runReport();
}

ReportWindow::~ReportWindow() {
#if defined(__GLIBC__)
  // The bars of a long range leave much freed memory behind them; once the
  // window is gone with them, that goes back to the system.
  QTimer::singleShot(0, qApp, [] { malloc_trim(0); });
#endif
}

void ReportWindow::build(const Clock& clock) {
  auto* chartGroup = named(new QGroupBox, QStringLiteral("分组框1"));
  chartView_ = named(new QChartView, QStringLiteral("柱状图控件1"));
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setMinimumSize(300, 150);
  // Thousands of bars are laid out anew on every run and resize; an index of
  // their places would cost more to keep up than it saves.
  chartView_->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
  QChart* chart = chartView_->chart();
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setVisible(true);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  bars_ = new QBarSeries;
  chart->addSeries(bars_);
  connect(bars_, &QBarSeries::hovered, this, &ReportWindow::showBarTip);
  // Period k is at k on this axis; labels stand under the periods that
  // labelPeriods picks, so they stay few and readable however long the range.
  periods_ = new QCategoryAxis;
  periods_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  periods_->setGridLineVisible(false);
  periods_->setStartValue(-0.5);
  periods_->setRange(-0.5, 0.5);
  chart->addAxis(periods_, Qt::AlignBottom);
  bars_->attachAxis(periods_);
  connect(chart, &QChart::plotAreaChanged, this, &ReportWindow::labelPeriods);
  values_ = new QValueAxis;
  values_->setLabelFormat(QStringLiteral("%.13g"));
  // Ticks on round numbers from 0; the maximum itself is the rule's number.
  values_->setTickType(QValueAxis::TicksDynamic);
  values_->setTickAnchor(0);
  chart->addAxis(values_, Qt::AlignLeft);
  bars_->attachAxis(values_);
  auto* chartLayout = new QVBoxLayout(chartGroup);
  chartLayout->setContentsMargins(2, 2, 2, 2);
  chartLayout->addWidget(chartView_);
  buildChartMenu();

  auto* top = new QHBoxLayout;
  top->addWidget(chartGroup, 1);
  top->addWidget(buildTotals());

  auto* tips = named(new QLabel(texts::tips()), QStringLiteral("透明标签_tips"));
  auto* close = named(new QPushButton(texts::close()), QStringLiteral("按钮_关闭"));
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(tips, 1);
  bottom->addWidget(close);

  statusBar_ = named(new QStatusBar, QStringLiteral("状态条1"));
  statusBar_->setSizeGripEnabled(false);
  status_ = named(new QLabel, QStringLiteral("状态条1_提示"));
  statusBar_->addWidget(status_, 1);
  connect(&job_, &BackgroundJob::finished, this, [this] { unsetCursor(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 0);
  layout->setSpacing(4);
  layout->addLayout(top, 1);
  layout->addWidget(buildChoices(clock));
  layout->addLayout(bottom);
  layout->addWidget(statusBar_);
}

QWidget* ReportWindow::buildChoices(const Clock& clock) {
  auto* group = named(new QGroupBox(texts::choiceCaption()), QStringLiteral("分组框_请选择"));
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setVerticalSpacing(2);

  const Date today = clock.today();
  start_ = named(new DateBox(Date{today.year(), std::chrono::January, std::chrono::day{1}}),
                 QStringLiteral("日期框_开始时间"));
  end_ = named(new DateBox(today), QStringLiteral("日期框_结束时间"));
  unit_ = named(new QComboBox, QStringLiteral("组合框_单位"));
  for (std::string_view name : kReportUnitNames) unit_->addItem(q(name));
  unit_->setCurrentText(q(kReportUnitNames[static_cast<int>(ReportUnit::Month)]));
  auto* confirm = named(new QPushButton(texts::confirm()), QStringLiteral("按钮_确定"));
  confirm->setAutoDefault(false);
  connect(confirm, &QPushButton::clicked, this, [this] { runReport(); });
  auto* more = named(new QToolButton, QStringLiteral("按钮_导出"));
  more->setText(texts::exportButton());
  more->setPopupMode(QToolButton::InstantPopup);
  more->setMenu(chartMenu_);

  auto* range = new QHBoxLayout;
  range->addWidget(start_);
  range->addWidget(named(new QLabel(texts::to()), QStringLiteral("透明标签_至")));
  range->addWidget(end_);
  range->addSpacing(12);
  range->addWidget(named(new QLabel(texts::unit()), QStringLiteral("透明标签_时间单位")));
  range->addWidget(unit_);
  range->addStretch(1);
  range->addWidget(confirm);
  range->addWidget(more);
  grid->addLayout(range, 0, 0);

  auto* series = new QHBoxLayout;
  for (std::string_view name : kReportSeriesNames) {
    auto* box = named(new QCheckBox(q(name)), QStringLiteral("选择框_") + q(name));
    box->setChecked(true);
    seriesBoxes_.push_back(box);
    series->addWidget(box);
  }
  series->addStretch(1);
  grid->addLayout(series, 1, 0);
  return group;
}

QWidget* ReportWindow::buildTotals() {
  auto* group = named(new QGroupBox(texts::totalsCaption()), QStringLiteral("分组框_周期总统计"));
  auto* form = new QFormLayout(group);
  form->setContentsMargins(6, 2, 6, 2);
  form->setVerticalSpacing(2);
  for (std::size_t i = 0; i < std::size(texts::kTotalKeys); ++i) {
    auto* edit = named(new QLineEdit, QStringLiteral("编辑框_") + q(texts::kTotalKeys[i]));
    edit->setReadOnly(true);
    edit->setMinimumWidth(120);
    totals_.push_back(edit);
    form->addRow(q(texts::kTotalLabels[i]), edit);
  }
  return group;
}

void ReportWindow::buildChartMenu() {
  chartMenu_ = named(new QMenu(this), QStringLiteral("图表菜单"));
  connect(chartMenu_->addAction(texts::savePng()), &QAction::triggered, this,
          &ReportWindow::saveChartPngAs);
  connect(chartMenu_->addAction(texts::saveSvg()), &QAction::triggered, this,
          &ReportWindow::saveChartSvgAs);
  connect(chartMenu_->addAction(texts::copyChart()), &QAction::triggered, this,
          &ReportWindow::copyChart);
  chartMenu_->addSeparator();
  connect(chartMenu_->addAction(texts::exportCsv()), &QAction::triggered, this,
          &ReportWindow::exportTableCsvAs);
  chartView_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(chartView_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { chartMenu_->popup(chartView_->mapToGlobal(at)); });
}

std::vector<ReportSeries> ReportWindow::shownSeries() const {
  std::vector<ReportSeries> shown;
  for (std::size_t i = 0; i < seriesBoxes_.size(); ++i) {
    if (seriesBoxes_[i]->isChecked()) shown.push_back(static_cast<ReportSeries>(i));
  }
  return shown;
}

void ReportWindow::runReport() {
  const std::optional<Date> start = start_->date();
  const std::optional<Date> end = end_->date();
  const ReportUnit unit =
      reportUnitFromName(unit_->currentText().toStdString()).value_or(ReportUnit::Month);
  setCursor(Qt::BusyCursor);
  job_.start([this, &db = db_, hook = beforeQuery_, start = *start, end = *end, unit,
              shown = shownSeries()](std::stop_token, JobReporter& reporter) {
    if (hook) hook();
    Answer answer{runStatisticsReport(db, start, end, unit, shown), unit, shown, {}, {}};
    for (ReportSeries series : shown) {
      QList<qreal>& values = answer.values.emplace_back();
      values.reserve(static_cast<qsizetype>(answer.report.columns.size()));
      for (const ReportColumn& column : answer.report.columns) {
        values.append(column.figures.series[static_cast<std::size_t>(series)]);
      }
    }
    for (const ReportColumn& column : answer.report.columns) answer.labels << q(column.label);
    reporter.post([this, answer = std::move(answer)]() mutable { showAnswer(answer); });
  });
}

void ReportWindow::showAnswer(Answer& answer) {
  if (!answer.report.ok()) {
    Toolkit::messageBox(this, texts::reportFailed(q(answer.report.error)), texts::hintCaption());
    return;
  }
  showChart(answer);
  report_ = std::move(answer.report);
  showTotals(report_.totals);
}

void ReportWindow::showChart(Answer& answer) {
  QToolTip::hideText();
  // The series and axes stay; their contents are replaced, so nothing of the
  // last run lingers on the scene. The axes are set before the bars come, so
  // the bars are laid out once.
  bars_->clear();
  // Below 1 everywhere the maximum rule gives 0; the axis still needs a span.
  const double maximum = std::max(answer.report.axisMaximum, 1.0);
  values_->setRange(0, maximum);
  values_->setTickInterval(tickInterval(maximum));

  reportUnit_ = answer.unit;
  periodLabels_ = std::move(answer.labels);
  const QFontMetricsF metrics(periods_->labelsFont());
  labelWidth_ = 0;
  for (const QString& label : periodLabels_) {
    labelWidth_ = std::max(labelWidth_, metrics.horizontalAdvance(label));
  }
  labelWidth_ += kLabelRoom;
  periods_->setRange(-0.5, std::max<double>(periodLabels_.size(), 1) - 0.5);
  labelled_.clear();
  labelPeriods();

  QList<QBarSet*> sets;
  for (std::size_t i = 0; i < answer.shown.size(); ++i) {
    const auto index = static_cast<std::size_t>(answer.shown[i]);
    auto* set = new QBarSet(q(kReportSeriesNames[index]));
    set->setColor(colourOf(index));
    set->setBorderColor(colourOf(index));
    set->append(answer.values[i]);
    sets << set;
  }
  bars_->append(sets);
  // Laid out now rather than on a later turn of the event loop: whoever
  // saves or copies the chart next gets it whole.
  chartView_->chart()->layout()->activate();
}

void ReportWindow::labelPeriods() {
  std::vector<std::size_t> labelled =
      labelledPeriods(static_cast<std::size_t>(periodLabels_.size()), reportUnit_,
                      chartView_->chart()->plotArea().width(), labelWidth_);
  // Relabelling moves the plot area, which asks again: the same answer ends it.
  if (labelled == labelled_ && periods_->count() == static_cast<int>(labelled.size())) return;
  labelled_ = std::move(labelled);
  for (const QString& label : periods_->categoriesLabels()) periods_->remove(label);
  for (const std::size_t period : labelled_) {
    periods_->append(periodLabels_[static_cast<qsizetype>(period)], static_cast<double>(period));
  }
}

void ReportWindow::showBarTip(bool entered, int column, QBarSet* set) {
  if (!entered || column < 0 || static_cast<std::size_t>(column) >= report_.columns.size()) {
    QToolTip::hideText();
    return;
  }
  const QString text = set->label() + QStringLiteral("  ") +
                       q(report_.columns[static_cast<std::size_t>(column)].label) +
                       QStringLiteral(": ") + q(formatNumber(set->at(column)));
  QToolTip::showText(QCursor::pos(), text, chartView_);
}

void ReportWindow::showTotals(const ReportFigures& totals) {
  const std::array<std::string, 7> texts = reportTotalTexts(totals);
  for (std::size_t i = 0; i < totals_.size(); ++i) totals_[i]->setText(q(texts[i]));
}

bool ReportWindow::saveChartPng(const QString& path) {
  const QPixmap chart = chartView_->grab();
  return writeFile(path, [&chart](QIODevice& file) { return chart.save(&file, "PNG"); });
}

bool ReportWindow::saveChartSvg(const QString& path) {
  return writeFile(path, [this](QIODevice& file) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(chartView_->size());
    svg.setViewBox(QRect(QPoint(0, 0), chartView_->size()));
    svg.setTitle(texts::proposedName());
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    chartView_->render(&painter);
    return painter.end();
  });
}

bool ReportWindow::exportTableCsv(const QString& path) {
  const std::string text = tableText(statisticsTable(report_), TableFormat::Csv);
  return writeFile(path, [&text](QIODevice& file) {
    return file.write(text.data(), static_cast<qint64>(text.size())) ==
           static_cast<qint64>(text.size());
  });
}

bool ReportWindow::writeFile(const QString& path, const std::function<bool(QIODevice&)>& write) {
  QString reason;
  if (!writeWholeFile(path, write, &reason)) {
    Toolkit::messageBox(this, texts::saveFailed(path, reason), texts::hintCaption());
    return false;
  }
  setStatus(texts::saved(path));
  return true;
}

void ReportWindow::copyChart() {
  Toolkit::setClipboardImage(chartView_->grab().toImage());
  setStatus(texts::copied());
}

QString ReportWindow::askFile(const QString& caption, const QString& suffix,
                              const QString& filter) {
  return askSaveFile_(this, caption, texts::proposedName() + suffix, filter);
}

void ReportWindow::saveChartPngAs() {
  const QString path = askFile(texts::savePng(), QStringLiteral(".png"), texts::pngFilter());
  if (!path.isEmpty()) saveChartPng(path);
}

void ReportWindow::saveChartSvgAs() {
  const QString path = askFile(texts::saveSvg(), QStringLiteral(".svg"), texts::svgFilter());
  if (!path.isEmpty()) saveChartSvg(path);
}

void ReportWindow::exportTableCsvAs() {
  const QString path = askFile(texts::exportCsv(), QStringLiteral(".csv"), texts::csvFilter());
  if (!path.isEmpty()) exportTableCsv(path);
}

void ReportWindow::setStatus(const QString& text) { status_->setText(text); }

}  // namespace pelmora::ui
