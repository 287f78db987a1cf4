#include "ui/editing/single_add_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <stop_token>

#include "editing/single_add.h"
#include "lookup/date_update.h"
#include "lookup/fetched_dates.h"
#include "store/program_settings.h"
#include "support/numbers.h"
#include "ui/background_job.h"
#include "ui/date_box.h"
#include "ui/editing/single_add_texts.h"
#include "ui/editing/window_footer.h"
#include "ui/qt_text.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

namespace texts = single_add_texts;

std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

SingleAddWindow::SingleAddWindow(QWidget* owner, DomainDatabase& db,
                                 const ClassificationLists& lists, const Clock& clock)
    : QDialog(owner), db_(db), clock_(clock), job_(std::make_unique<BackgroundJob>()) {
  setWindowTitle(texts::title());
  build();
  fillCombos(lists);
}

SingleAddWindow::~SingleAddWindow() = default;

void SingleAddWindow::build() {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(buildRequired());
  layout->addWidget(buildOptional());
  layout->addWidget(buildTips());

  const WindowFooter footer = addWindowFooter(layout, texts::confirm(), texts::close());
  confirm_ = footer.confirm;
  close_ = footer.close;
  status_ = footer.status;

  connect(confirm_, &QPushButton::clicked, this, &SingleAddWindow::confirm);
  connect(footer.close, &QPushButton::clicked, this, &QWidget::close);
}

QLabel* SingleAddWindow::caption(const QString& key, const QString& text) {
  return named(new QLabel(text), QStringLiteral("透明标签_") + key);
}

QLineEdit* SingleAddWindow::amountEdit(const QString& key) {
  auto* edit = named(new QLineEdit, QStringLiteral("编辑框_") + key);
  connect(edit, &QLineEdit::textChanged, this, [this, edit] { amountChanged(edit); });
  edit->installEventFilter(this);
  return edit;
}

QWidget* SingleAddWindow::buildRequired() {
  auto* group = named(new QGroupBox(texts::requiredCaption()), QStringLiteral("分组框_必填字段"));
  auto* grid = new QGridLayout(group);
  domain_ = named(new QLineEdit, QStringLiteral("编辑框_域名"));
  domain_->installEventFilter(this);
  suffix_ = named(new QLineEdit, QStringLiteral("编辑框_后缀"));
  length_ = named(new QLineEdit, QStringLiteral("编辑框_长度"));
  registeredOn_ = named(new DateBox(clock_.today()), QStringLiteral("日期框_注册时间"));
  expiresOn_ = named(new DateBox(clock_.today()), QStringLiteral("日期框_到期时间"));
  fetchLabel_ = named(new QLabel(texts::fetching()), QStringLiteral("透明标签_获取时间"));
  fetchLabel_->setVisible(false);
  fetchAgain_ = named(new QPushButton(texts::fetchAgain()), QStringLiteral("按钮_获取时间"));
  fetchAgain_->setAutoDefault(false);
  fetchAgain_->setVisible(false);
  // The row keeps its place while hidden, so nothing below it moves under
  // the pointer when it comes and goes.
  for (QWidget* part : {static_cast<QWidget*>(fetchLabel_), static_cast<QWidget*>(fetchAgain_)}) {
    QSizePolicy policy = part->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    part->setSizePolicy(policy);
  }

  grid->addWidget(caption(QStringLiteral("域名"), QStringLiteral("域名")), 0, 0);
  grid->addWidget(domain_, 0, 1, 1, 3);
  grid->addWidget(caption(QStringLiteral("后缀"), QStringLiteral("后缀")), 1, 0);
  grid->addWidget(suffix_, 1, 1);
  grid->addWidget(caption(QStringLiteral("长度"), QStringLiteral("长度")), 1, 2);
  grid->addWidget(length_, 1, 3);
  grid->addWidget(caption(QStringLiteral("注册时间"), QStringLiteral("注册时间")), 2, 0);
  grid->addWidget(registeredOn_, 2, 1);
  grid->addWidget(caption(QStringLiteral("到期时间"), QStringLiteral("到期时间")), 2, 2);
  grid->addWidget(expiresOn_, 2, 3);
  grid->addWidget(fetchLabel_, 3, 1);
  grid->addWidget(fetchAgain_, 3, 3);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);

  connect(domain_, &QLineEdit::textChanged, this, &SingleAddWindow::domainChanged);
  connect(fetchAgain_, &QPushButton::clicked, this, &SingleAddWindow::startFetch);
  return group;
}

QWidget* SingleAddWindow::buildOptional() {
  auto* group = named(new QGroupBox(texts::optionalCaption()), QStringLiteral("分组框_可选字段"));
  auto* grid = new QGridLayout(group);
  const auto combo = [](const QString& key) {
    auto* made = named(new QComboBox, QStringLiteral("组合框_") + key);
    made->setMinimumWidth(150);
    return made;
  };
  registrar_ = combo(QStringLiteral("注册商"));
  domainType_ = combo(QStringLiteral("域名类型"));
  category_ = combo(QStringLiteral("自定义分类"));
  oneTimeCost_ = amountEdit(QStringLiteral("一次成本"));
  renewalCost_ = amountEdit(QStringLiteral("续费成本"));
  actualCost_ = named(new QLineEdit, QStringLiteral("编辑框_实际成本"));
  reservePrice_ = amountEdit(QStringLiteral("预售底价"));
  askingPrice_ = amountEdit(QStringLiteral("对外标价"));
  finalPrice_ = amountEdit(QStringLiteral("最终售价"));
  profit_ = named(new QLineEdit, QStringLiteral("编辑框_利润"));
  note_ = named(new QLineEdit, QStringLiteral("编辑框_备注"));
  purchasedOn_ = named(new DateBox(clock_.today()), QStringLiteral("日期框_购买时间"));
  auto* sameAsRegistered =
      named(new QPushButton(texts::sameAsRegistered()), QStringLiteral("按钮_同注册时间"));
  sameAsRegistered->setAutoDefault(false);
  soldOnCaption_ = caption(QStringLiteral("出售时间"), texts::soldOn());
  soldOn_ = named(new DateBox(clock_.today()), QStringLiteral("日期框_出售时间"));
  soldOnCaption_->setVisible(false);
  soldOn_->setVisible(false);

  // (object-name key, caption, control) in reading order, two to a row.
  const struct {
    const char* key;
    const char* caption;
    QWidget* control;
  } rows[] = {
      {"注册商", "注册商", registrar_},
      {"域名类型", "域名类型", domainType_},
      {"自定义分类", "自定义分类", category_},
      {"备注", "备注", note_},
      {"一次成本", "一次成本", oneTimeCost_},
      {"续费成本", "续费成本", renewalCost_},
      {"实际成本", "实际成本", actualCost_},
      {"预售底价", "预售底价", reservePrice_},
      {"对外标价", "标价", askingPrice_},
      {"最终售价", "最终售价", finalPrice_},
      {"利润", "利润", profit_},
  };
  int row = 0;
  int column = 0;
  for (const auto& item : rows) {
    grid->addWidget(caption(QString::fromUtf8(item.key), QString::fromUtf8(item.caption)), row,
                    column);
    grid->addWidget(item.control, row, column + 1);
    column = column == 0 ? 2 : 0;
    if (column == 0) ++row;
  }
  grid->addWidget(soldOnCaption_, row, 2);
  grid->addWidget(soldOn_, row, 3);
  ++row;
  grid->addWidget(caption(QStringLiteral("购买时间"), QStringLiteral("购买时间")), row, 0);
  grid->addWidget(purchasedOn_, row, 1);
  grid->addWidget(sameAsRegistered, row, 2, 1, 2, Qt::AlignLeft);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);

  connect(finalPrice_, &QLineEdit::textChanged, this, &SingleAddWindow::finalPriceChanged);
  connect(sameAsRegistered, &QPushButton::clicked, this,
          [this] { purchasedOn_->setDate(registeredOn_->date()); });
  return group;
}

QWidget* SingleAddWindow::buildTips() {
  auto* group = named(new QGroupBox(texts::tipsCaption()), QStringLiteral("分组框_友情提示"));
  QString lines = texts::tips().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (lines.endsWith(QLatin1Char('\n'))) lines.chop(1);
  auto* tips = named(new QLabel(lines), QStringLiteral("透明标签_tips"));
  tips->setTextInteractionFlags(Qt::TextSelectableByMouse);
  (new QVBoxLayout(group))->addWidget(tips);
  return group;
}

void SingleAddWindow::fillCombos(const ClassificationLists& lists) {
  const std::pair<QComboBox*, CategoryKind> combos[] = {{registrar_, CategoryKind::Registrar},
                                                        {domainType_, CategoryKind::DomainType},
                                                        {category_, CategoryKind::Category}};
  for (const auto& [combo, kind] : combos) {
    combo->clear();
    for (const std::string& item : lists.itemsFor(ListTarget::SingleAddWindow, kind)) {
      combo->addItem(q(item));
    }
    combo->setCurrentIndex(0);
  }
}

bool SingleAddWindow::isFetching() const { return job_->isRunning(); }

void SingleAddWindow::domainChanged() {
  const DomainShape shape = addedDomainShape(text(domain_));
  suffix_->setText(q(shape.suffix));
  length_->setText(q(shape.length));
}

void SingleAddWindow::amountChanged(QLineEdit* edit) {
  const std::string typed = text(edit);
  const std::string limited = limitTwoDecimals(typed);
  if (limited != typed) {
    // The change this makes comes back here with the limited text.
    edit->setText(q(limited));
    return;
  }
  if (edit == oneTimeCost_ || edit == renewalCost_) {
    actualCost_->setText(q(addedActualCost(text(oneTimeCost_), text(renewalCost_))));
  }
}

void SingleAddWindow::finalPriceChanged() {
  const AddedProfit profit = addedProfit(text(finalPrice_), text(actualCost_));
  profit_->setText(q(profit.text));
  soldOnCaption_->setVisible(profit.showSaleDate);
  soldOn_->setVisible(profit.showSaleDate);
}

bool SingleAddWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit == nullptr) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::FocusIn) {
    selectOnFocus(edit);
  } else if (event->type() == QEvent::FocusOut && edit == domain_) {
    // Another program or a pop-up taking the focus is not leaving the field,
    // and a fetch for a window about to close would only get in the way (its
    // label moves the buttons from under the pointer).
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool toClose = QApplication::focusWidget() == close_;
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !toClose) {
      startFetch();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SingleAddWindow::selectOnFocus(QLineEdit* edit) {
  // After the click that gave the focus has placed the cursor.
  QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
  if (edit == domain_) {
    fetchLabel_->setVisible(false);
    fetchAgain_->setVisible(false);
  }
}

void SingleAddWindow::startFetch() {
  if (closing_ || !isVisible()) return;
  if (!domain_->text().contains(QLatin1Char('.'))) return;
  confirm_->setEnabled(false);
  showFetchLabel(texts::fetching(), texts::fetchingColour());
  const std::string domain = normaliseAddedDomain(text(domain_));
  setStatus(q(fetchingDatesStatus(domain)));
  const SourceChoice choice =
      programSettingsOrDefaults(db_).registryFirst ? SourceChoice::Registry : SourceChoice::Auto;
  // A fetch still going is superseded: only the latest reports.
  job_->start([this, domain, choice](std::stop_token stop, JobReporter& reporter) {
    std::atomic<bool> stopped{false};
    const std::stop_callback raise(stop, [&stopped] { stopped = true; });
    const DateLookupResult result = lookupDomainDates(domain, kUseCache, &stopped, choice);
    if (stopped) return;
    reporter.post([this, domain, result] { showFetched(domain, result); });
  });
}

void SingleAddWindow::showFetched(const std::string& domain, const DateLookupResult& result) {
  const FetchedDates fetched = readFetchedDates(result);
  if (fetched.failed) {
    Toolkit::messageBox(this, q(fetched.message), q(kFetchFailedCaption));
    setStatus(q(fetchFailedStatus(domain)));
    showFetchLabel(texts::fetchFailed(), texts::fetchFailedColour());
    fetchAgain_->setVisible(true);
  } else {
    // A side the result leaves empty keeps the date the box shows.
    if (fetched.registered) registeredOn_->setDate(fetched.registered);
    if (fetched.expires) expiresOn_->setDate(fetched.expires);
    setStatus(q(fetchDoneStatus(domain)));
    showFetchLabel(texts::fetchDone(), texts::fetchDoneColour());
    fetchAgain_->setVisible(false);
  }
  confirm_->setEnabled(true);
  emit fetchEnded();
}

void SingleAddWindow::showFetchLabel(const QString& caption, const QColor& colour) {
  fetchLabel_->setText(caption);
  QPalette palette = fetchLabel_->palette();
  palette.setColor(QPalette::WindowText, colour);
  fetchLabel_->setPalette(palette);
  fetchLabel_->setVisible(true);
}

void SingleAddWindow::confirm() {
  SingleAddFields fields;
  fields.domain = text(domain_);
  fields.suffix = text(suffix_);
  fields.length = text(length_);
  fields.registrar = registrar_->currentText().toStdString();
  fields.domainType = domainType_->currentText().toStdString();
  fields.category = category_->currentText().toStdString();
  // Date boxes of this window always hold a date.
  fields.registeredOn = registeredOn_->date().value_or(clock_.today());
  fields.expiresOn = expiresOn_->date().value_or(clock_.today());
  fields.oneTimeCost = text(oneTimeCost_);
  fields.renewalCost = text(renewalCost_);
  fields.actualCost = text(actualCost_);
  fields.reservePrice = text(reservePrice_);
  fields.askingPrice = text(askingPrice_);
  fields.finalPrice = text(finalPrice_);
  fields.profit = text(profit_);
  fields.note = text(note_);
  fields.purchasedOn = purchasedOn_->date().value_or(clock_.today());
  if (soldOn_->isVisibleTo(this)) fields.soldOn = soldOn_->date();
  const SingleAddOutcome outcome = insertSingleDomain(db_, fields);
  setStatus(q(outcome.status));
  if (!outcome.message.empty()) {
    Toolkit::messageBox(this, q(outcome.message), QStringLiteral("提示:"));
  }
  emit insertTried();
  // The field may have the focus already, or not get it while the window is
  // not the active one: what it does on getting it happens all the same.
  domain_->setFocus(Qt::OtherFocusReason);
  selectOnFocus(domain_);
}

void SingleAddWindow::setStatus(const QString& text) { status_->setText(text); }

void SingleAddWindow::abandonFetch() {
  // Stops the worker and waits for it; nothing it had to report arrives.
  job_ = std::make_unique<BackgroundJob>();
  confirm_->setEnabled(true);
}

void SingleAddWindow::reject() { close(); }

void SingleAddWindow::showEvent(QShowEvent* event) {
  closing_ = false;
  QDialog::showEvent(event);
}

void SingleAddWindow::closeEvent(QCloseEvent* event) {
  closing_ = true;
  abandonFetch();
  event->accept();
}

}  // namespace pelmora::ui
