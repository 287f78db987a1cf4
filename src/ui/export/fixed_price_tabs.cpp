#include "ui/export/fixed_price_tabs.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/qt_text.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

const QString kCaption = QStringLiteral(" 提示:");
const QString kWestDone =
    QStringLiteral("西数一口价格式已生成并复制到剪贴板, 可以到 www.west.cn 批量发布.");
const QString kAimingDone =
    QStringLiteral("爱名一口价格式已生成并复制到剪贴板, 可以到 www.22.cn 批量发布.");
const QString kFailed = QStringLiteral("一口价列表未能生成, 剪贴板未改动: ");
const QString kAimingNote =
    QStringLiteral("爱名 (www.22.cn) 目前只支持导入 \"域名,简介\" 格式的一口价列表.");
const QString kEasyNote =
    QStringLiteral("易名 (www.ename.com) 与爱名格式相同, 可直接使用爱名的生成结果.");

constexpr const char* kDescriptionItems[] = {"取备注", "取自定义分类"};
constexpr const char* kPriceItems[] = {"同对外标价", "同预售底价"};
constexpr const char* kPeriodItems[] = {"今天", "1天",  "2天",   "3天",   "4天",           "5天",
                                        "6天",  "7天",  "8天",   "15天",  "30天",          "45天",
                                        "60天", "90天", "180天", "365天", "同域名到期时间"};

template <std::size_t N>
QComboBox* comboWith(const QString& name, const char* const (&items)[N]) {
  auto* combo = named(new QComboBox, name);
  for (const char* item : items) combo->addItem(QString::fromUtf8(item));
  return combo;
}

QLabel* note(const QString& text, const QString& name) {
  auto* label = named(new QLabel(text), name);
  label->setWordWrap(true);
  return label;
}

}  // namespace

FixedPriceTabs::FixedPriceTabs(QTabWidget* tabs, DomainDatabase* db, ConditionSource condition,
                               QWidget* owner)
    : QObject(tabs), db_(db), condition_(std::move(condition)), owner_(owner) {
  tabs->addTab(buildWestPage(), QStringLiteral("  西数  "));
  tabs->addTab(buildAimingPage(), QStringLiteral("  爱名  "));
  tabs->addTab(buildEasyPage(), QStringLiteral("  易名  "));
  connect(&job_, &BackgroundJob::finished, this, [this] { owner_->unsetCursor(); });
}

QWidget* FixedPriceTabs::buildWestPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  westDescription_ = comboWith(QStringLiteral("组合框_西数_简介"), kDescriptionItems);
  westPrice_ = comboWith(QStringLiteral("组合框_西数_出售价格"), kPriceItems);
  westPeriod_ = comboWith(QStringLiteral("组合框_西数_发布周期"), kPeriodItems);
  westEndTime_ = named(new QComboBox, QStringLiteral("组合框_西数_结束时间"));
  westEndTime_->addItem(QStringLiteral("随机时间"));
  for (int hour = kFirstEndHour; hour <= kLastEndHour; ++hour)
    westEndTime_->addItem(QStringLiteral("%1:00-%1:59").arg(hour));
  hourFrom_ = named(new QLineEdit(QStringLiteral("8")), QStringLiteral("编辑框_西数_随机时间a"));
  hourRangeWord_ =
      named(new QLabel(QStringLiteral("至")), QStringLiteral("透明标签_西数_随机时间_至"));
  hourTo_ = named(new QLineEdit(QStringLiteral("22")), QStringLiteral("编辑框_西数_随机时间b"));
  for (QLineEdit* edit : {hourFrom_, hourTo_}) {
    edit->setMaximumWidth(48);
    edit->installEventFilter(this);
  }
  auto* confirm = named(new QPushButton(QStringLiteral("确定")), QStringLiteral("按钮_西数_确定"));

  grid->addWidget(new QLabel(QStringLiteral("简    介")), 0, 0);
  grid->addWidget(westDescription_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("出售价格")), 0, 2);
  grid->addWidget(westPrice_, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("发布周期")), 1, 0);
  grid->addWidget(westPeriod_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("结束时间")), 1, 2);
  grid->addWidget(westEndTime_, 1, 3);
  auto* range = new QHBoxLayout;
  range->addWidget(hourFrom_);
  range->addWidget(hourRangeWord_);
  range->addWidget(hourTo_);
  range->addStretch();
  grid->addLayout(range, 1, 4);
  grid->addWidget(confirm, 2, 3);
  grid->setColumnStretch(5, 1);
  grid->setRowStretch(3, 1);

  connect(westEndTime_, &QComboBox::currentIndexChanged, this, &FixedPriceTabs::showHourRange);
  connect(confirm, &QPushButton::clicked, this, [this] { generate(FixedPriceFormat::West); });
  return page;
}

QWidget* FixedPriceTabs::buildAimingPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  aimingDescription_ = comboWith(QStringLiteral("组合框_爱名_域名介绍"), kDescriptionItems);
  auto* confirm = named(new QPushButton(QStringLiteral("确定")), QStringLiteral("按钮_爱名_确定"));
  row->addWidget(new QLabel(QStringLiteral("域名介绍")));
  row->addWidget(aimingDescription_);
  row->addWidget(confirm);
  row->addStretch();
  layout->addLayout(row);
  layout->addWidget(note(kAimingNote, QStringLiteral("透明标签_tips_爱名")));
  layout->addStretch();
  connect(confirm, &QPushButton::clicked, this, [this] { generate(FixedPriceFormat::Aiming); });
  return page;
}

QWidget* FixedPriceTabs::buildEasyPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(note(kEasyNote, QStringLiteral("透明标签_tips_爱名1")));
  layout->addStretch();
  return page;
}

void FixedPriceTabs::showHourRange() {
  const bool random = westEndTime_->currentIndex() == kRandomEndTime;
  hourFrom_->setVisible(random);
  hourRangeWord_->setVisible(random);
  hourTo_->setVisible(random);
}

bool FixedPriceTabs::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && (watched == hourFrom_ || watched == hourTo_)) {
    const bool from = watched == hourFrom_;
    QLineEdit* edit = from ? hourFrom_ : hourTo_;
    QLineEdit* other = from ? hourTo_ : hourFrom_;
    const int hour = clampEndHour(edit->text().toStdString(), from ? HourEdge::From : HourEdge::To,
                                  other->text().toStdString());
    edit->setText(QString::number(hour));
  }
  return QObject::eventFilter(watched, event);
}

FixedPriceChoices FixedPriceTabs::westChoices() const {
  FixedPriceChoices choices;
  choices.description = westDescription_->currentIndex();
  choices.price = westPrice_->currentIndex();
  choices.period = westPeriod_->currentIndex();
  choices.endTime = westEndTime_->currentIndex();
  // An edit still being typed in has not been corrected yet.
  choices.hourFrom =
      clampEndHour(hourFrom_->text().toStdString(), HourEdge::From, hourTo_->text().toStdString());
  choices.hourTo =
      clampEndHour(hourTo_->text().toStdString(), HourEdge::To, std::to_string(choices.hourFrom));
  return choices;
}

FixedPriceChoices FixedPriceTabs::aimingChoices() const {
  FixedPriceChoices choices;
  choices.description = aimingDescription_->currentIndex();
  return choices;
}

void FixedPriceTabs::generate(FixedPriceFormat format) {
  if (db_ == nullptr) {
    handOver(format, FixedPriceText{{}, "no database"});
    return;
  }
  owner_->setCursor(Qt::BusyCursor);
  job_.start([this, &db = *db_, format, condition = condition_(),
              choices = format == FixedPriceFormat::West ? westChoices() : aimingChoices()](
                 std::stop_token stop, JobReporter& reporter) {
    FixedPriceText result =
        buildFixedPriceText(db, condition, format, choices, randomHourDraw(), stop);
    if (stop.stop_requested()) return;  // superseded: nobody waits for this list
    reporter.post([this, format, result = std::move(result)] { handOver(format, result); });
  });
}

void FixedPriceTabs::handOver(FixedPriceFormat format, const FixedPriceText& result) {
  if (!result.ok()) {
    Toolkit::messageBox(owner_, kFailed + QString::fromStdString(result.error), kCaption);
    return;
  }
  Toolkit::setClipboardText(QString::fromStdString(result.text));
  Toolkit::messageBox(owner_, format == FixedPriceFormat::West ? kWestDone : kAimingDone, kCaption);
}

}  // namespace pelmora::ui
