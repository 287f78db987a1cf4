#include "ui/editing/batch_modify_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "support/list_lines.h"
#include "support/numbers.h"
#include "ui/date_box.h"
#include "ui/qt_text.h"
#include "ui/run_progress.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

const QString kTitle = QStringLiteral("批量修改 (如数据库里有的域名也可以自行加入)");
const QString kFieldsCaption = QStringLiteral("修改字段(勾选则有效)");
const QString kTips = QStringLiteral("注:最终售价设置为0.则出售时间清空.");
const QString kDomainsCaption = QStringLiteral("待修改域名");
const QString kFailuresCaption = QStringLiteral("修改失败");
const QString kHintCaption = QStringLiteral("提示:");
const QString kNoDomains = QStringLiteral("没有要修改的域名");
const QString kNothingChosen = QStringLiteral("请勾选要修改的数据字段!");

// Object-name key and caption of each field selector, in FieldBox order.
struct FieldName {
  const char* key;
  const char* caption;
};
constexpr FieldName kFieldNames[] = {
    {"注册商", "注  册  商"}, {"域名类型", "域名类型"}, {"自定义分类", "自定义分类"},
    {"一次成本", "一次成本"}, {"续费成本", "续费成本"}, {"预售底价", "预售底价"},
    {"对外标价", "对外标价"}, {"最终售价", "最终售价"}, {"备注", "备    注"},
    {"购买时间", "购买时间"}, {"出售时间", "出售时间"},
};

QString countedCaption(const QString& caption, const QString& text) {
  return caption + QStringLiteral(" [ ") + QString::number(countListLines(text.toStdString())) +
         QStringLiteral(" ]");
}

// "-" for no classification, else the name before the count.
std::string comboValue(const QComboBox* combo) {
  const QString text = combo->currentText();
  if (text == q(kItemNotGrouped)) return std::string(kNotGrouped);
  return nameOfItem(text.toStdString());
}

}  // namespace

BatchModifyWindow::BatchModifyWindow(DomainDatabase& db, const Clock& clock, QWidget* owner)
    : QDialog(owner), db_(db), clock_(clock) {
  setWindowTitle(kTitle);
  setModal(false);
  build();
  connect(&job_, &BackgroundJob::progress, this, [this](int done, int total) {
    setStatus(q(
        batchModifyProgressText(static_cast<std::size_t>(done), static_cast<std::size_t>(total))));
  });
}

BatchModifyWindow::~BatchModifyWindow() = default;

void BatchModifyWindow::build() {
  auto* body = new QHBoxLayout;
  body->addWidget(buildFields());
  body->addWidget(buildLists(), 1);

  statusBar_ = named(new QStatusBar, QStringLiteral("状态条1"));
  statusBar_->setSizeGripEnabled(false);
  status_ = named(new QLabel, QStringLiteral("状态条1_提示"));
  statusBar_->addWidget(status_, 1);
  progress_ = new RunProgress(statusBar_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(statusBar_);
}

QWidget* BatchModifyWindow::buildFields() {
  auto* group = named(new QGroupBox(kFieldsCaption), QStringLiteral("分组框_修改字段"));
  auto* grid = new QGridLayout(group);

  const auto combo = [](const QString& key) {
    auto* made = named(new QComboBox, QStringLiteral("组合框_") + key);
    made->setMinimumWidth(150);
    return made;
  };
  const auto amount = [this](const QString& key) {
    auto* edit = named(new QLineEdit(QStringLiteral("0")), QStringLiteral("编辑框_") + key);
    // At most two decimals can be typed.
    connect(edit, &QLineEdit::textChanged, this, [edit](const QString& text) {
      const std::string limited = limitTwoDecimals(text.toStdString());
      if (limited != text.toStdString()) edit->setText(q(limited));
    });
    return edit;
  };
  const auto date = [this](const QString& key) {
    return named(new DateBox(clock_.today()), QStringLiteral("日期框_") + key);
  };
  const auto key = [](FieldBox box) { return QString::fromUtf8(kFieldNames[box].key); };

  registrar_ = combo(key(kRegistrar));
  domainType_ = combo(key(kDomainType));
  category_ = combo(key(kCategory));
  oneTimeCost_ = amount(key(kOneTimeCost));
  renewalCost_ = amount(key(kRenewalCost));
  reservePrice_ = amount(key(kReservePrice));
  askingPrice_ = amount(key(kAskingPrice));
  finalPrice_ = amount(key(kFinalPrice));
  note_ = named(new QLineEdit, QStringLiteral("编辑框_") + key(kNote));
  purchasedOn_ = date(key(kPurchasedOn));
  soldOn_ = date(key(kSoldOn));
  QWidget* inputs[kFieldBoxCount] = {registrar_,   domainType_,   category_,    oneTimeCost_,
                                     renewalCost_, reservePrice_, askingPrice_, finalPrice_,
                                     note_,        purchasedOn_,  soldOn_};
  for (int i = 0; i < kFieldBoxCount; ++i) {
    boxes_[i] = named(new QCheckBox(QString::fromUtf8(kFieldNames[i].caption)),
                      QStringLiteral("选择框_") + key(static_cast<FieldBox>(i)));
    grid->addWidget(boxes_[i], i, 0);
    grid->addWidget(inputs[i], i, 1);
  }

  tips_ = named(new QLabel(kTips), QStringLiteral("透明标签_tips"));
  tips_->setVisible(false);
  grid->addWidget(tips_, kFieldBoxCount, 0, 1, 2);
  grid->setRowStretch(kFieldBoxCount + 1, 1);
  connect(boxes_[kFinalPrice], &QCheckBox::toggled, tips_, &QLabel::setVisible);
  return group;
}

QWidget* BatchModifyWindow::buildLists() {
  auto* side = new QWidget;
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* lists = new QHBoxLayout;
  const auto list = [&](const QString& caption, const QString& key, QGroupBox*& group) {
    group = named(new QGroupBox(caption), QStringLiteral("分组框_") + key);
    auto* edit = named(new QPlainTextEdit, QStringLiteral("编辑框_") + key);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setMinimumWidth(200);
    auto* inside = new QVBoxLayout(group);
    inside->addWidget(edit);
    lists->addWidget(group, 1);
    connect(edit, &QPlainTextEdit::textChanged, this, [group, edit, caption] {
      group->setTitle(countedCaption(caption, edit->toPlainText()));
    });
    return edit;
  };
  domains_ = list(kDomainsCaption, QStringLiteral("待修改域名"), domainsGroup_);
  failures_ = list(kFailuresCaption, QStringLiteral("修改失败"), failuresGroup_);
  layout->addLayout(lists, 1);

  auto* buttons = new QHBoxLayout;
  const auto button = [&](const QString& caption, const QString& name) {
    auto* made = named(new QPushButton(caption), name);
    made->setAutoDefault(false);
    buttons->addWidget(made);
    return made;
  };
  buttons->addStretch();
  confirm_ = button(QStringLiteral("确认"), QStringLiteral("按钮_确认"));
  QPushButton* reset = button(QStringLiteral("重 置"), QStringLiteral("按钮_重置"));
  QPushButton* clear = button(QStringLiteral("清空列表"), QStringLiteral("按钮_清空列表"));
  QPushButton* close = button(QStringLiteral("关 闭"), QStringLiteral("按钮_关闭"));
  layout->addLayout(buttons);

  connect(confirm_, &QPushButton::clicked, this, &BatchModifyWindow::confirm);
  connect(reset, &QPushButton::clicked, this, &BatchModifyWindow::resetFields);
  connect(clear, &QPushButton::clicked, this, &BatchModifyWindow::clearLists);
  connect(close, &QPushButton::clicked, this, &BatchModifyWindow::closeRequested);
  return side;
}

void BatchModifyWindow::refillKeepingPositions(const ClassificationLists& lists) {
  const std::pair<QComboBox*, CategoryKind> combos[] = {{registrar_, CategoryKind::Registrar},
                                                        {domainType_, CategoryKind::DomainType},
                                                        {category_, CategoryKind::Category}};
  for (const auto& [combo, kind] : combos) {
    const int position = combo->currentIndex();
    combo->clear();
    for (const std::string& item : lists.itemsFor(ListTarget::BatchModifyWindow, kind)) {
      combo->addItem(q(item));
    }
    // A position the shorter list no longer has falls back to the first item.
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : 0);
  }
}

void BatchModifyWindow::fillDomains(const QStringList& domains) {
  clearLists();
  QString text;
  for (const QString& domain : domains) text += domain + QLatin1Char('\n');
  domains_->setPlainText(text);
  domainsGroup_->setTitle(kDomainsCaption + QLatin1Char('(') + QString::number(domains.size()) +
                          QLatin1Char(')'));
}

void BatchModifyWindow::clearLists() {
  domains_->clear();
  failures_->clear();
}

bool BatchModifyWindow::ticked(FieldBox box) const { return boxes_[box]->isChecked(); }

BatchModifyChoices BatchModifyWindow::choices() const {
  BatchModifyChoices c;
  const auto text = [](const QLineEdit* edit) { return edit->text().toStdString(); };
  if (ticked(kRegistrar)) c.registrar = comboValue(registrar_);
  if (ticked(kDomainType)) c.domainType = comboValue(domainType_);
  if (ticked(kCategory)) c.category = comboValue(category_);
  if (ticked(kOneTimeCost)) c.oneTimeCost = text(oneTimeCost_);
  if (ticked(kRenewalCost)) c.renewalCost = text(renewalCost_);
  if (ticked(kReservePrice)) c.reservePrice = text(reservePrice_);
  if (ticked(kAskingPrice)) c.askingPrice = text(askingPrice_);
  if (ticked(kFinalPrice)) c.finalPrice = text(finalPrice_);
  if (ticked(kNote)) c.note = text(note_);
  if (ticked(kPurchasedOn)) c.purchasedOn = purchasedOn_->date();
  if (ticked(kSoldOn)) c.soldOn = soldOn_->date();
  return c;
}

void BatchModifyWindow::confirm() {
  if (job_.isRunning()) return;
  const std::string text = domains_->toPlainText().toStdString();
  std::vector<std::string> domains = splitListLines(text);
  if (domains.empty()) {
    Toolkit::messageBox(this, kNoDomains, kHintCaption);
    return;
  }
  const BatchModifyChoices chosen = choices();
  if (chosen.nothingChosen()) {
    Toolkit::messageBox(this, kNothingChosen, kHintCaption);
    BatchModifyResult nothing;
    nothing.total = domains.size();
    nothing.nothingChosen = true;
    setStatus(q(batchModifyResultText(nothing)));
    return;
  }

  confirm_->setEnabled(false);
  const int total = static_cast<int>(domains.size());
  setStatus(q(batchModifyProgressText(0, domains.size())));
  DomainDatabase* db = &db_;
  job_.start([this, db, domains = std::move(domains), chosen](std::stop_token stop,
                                                              JobReporter& report) {
    // One hand-over per committed chunk: the window shows what is stored as
    // fast as it is stored.
    std::vector<BatchModifyItem> chunk;
    const BatchModifyItemSink onItem = [&chunk](const BatchModifyItem& item) {
      chunk.push_back(item);
    };
    const BatchModifyProgress progress = [this, &report, &chunk](std::size_t done,
                                                                 std::size_t count) {
      report.post([this, items = std::move(chunk)] { showItems(items); });
      chunk.clear();
      report.progress(static_cast<int>(done), static_cast<int>(count));
    };
    const BatchModifyResult result = runBatchModify(*db, domains, chosen, onItem, progress, stop);
    report.post([this, result] { finishRun(result); });
  });
  progress_->follow(&job_, total);
}

void BatchModifyWindow::showItems(const std::vector<BatchModifyItem>& items) {
  QString failed;
  for (const BatchModifyItem& item : items) {
    // One domain per line, so the list can be pasted back for another try.
    if (!item.ok) failed += q(item.domain) + QLatin1Char('\n');
  }
  if (!failed.isEmpty()) {
    QTextCursor end(failures_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(failed);
  }
  emit itemsFinished(items);
}

void BatchModifyWindow::finishRun(const BatchModifyResult& result) {
  confirm_->setEnabled(true);
  setStatus(q(batchModifyResultText(result)));
  if (result.nothingChosen) Toolkit::messageBox(this, kNothingChosen, kHintCaption);
  if (!result.error.empty()) Toolkit::messageBox(this, q(result.error), kHintCaption);
}

void BatchModifyWindow::resetFields() {
  for (QCheckBox* box : boxes_) box->setChecked(false);
  for (QComboBox* combo : {registrar_, domainType_, category_}) combo->setCurrentIndex(0);
  for (QLineEdit* amount : {oneTimeCost_, renewalCost_, reservePrice_, askingPrice_, finalPrice_}) {
    amount->setText(QStringLiteral("0"));
  }
  note_->setText(QString());
  purchasedOn_->setDate(clock_.today());
  soldOn_->setDate(clock_.today());
  tips_->setVisible(false);
}

void BatchModifyWindow::setStatus(const QString& text) { status_->setText(text); }

}  // namespace pelmora::ui
