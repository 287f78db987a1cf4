#include "ui/filter_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editing/filter_ranges.h"
#include "support/numbers.h"
#include "ui/date_box.h"
#include "ui/export/fixed_price_tabs.h"
#include "ui/qt_text.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

// The amount criteria, in build order, by their check-box captions.
constexpr const char* kAmountCaptions[] = {"一次成本", "续费成本", "实际成本", "预售底价",
                                           "对外标价", "最终售价", "销售利润"};

const QString kExportHint = QStringLiteral(
    "提示: 以下是常用的域名交易平台的批量一口价生成功能,生成结果取决于上面的筛选条件. ");
const QString kUndoResetCaption = QStringLiteral("撤销重置");
const QString kNotADateCaption = QStringLiteral("提示:");
QString notADateMessage(const QString& text) {
  return QStringLiteral("[ ") + text + QStringLiteral(" ] 不是日期, 请按 2017-01-03 的格式填写!");
}

bool isKey(const QKeyEvent* key, Qt::Key which) {
  return key->keyCombination() == QKeyCombination(Qt::ControlModifier, which);
}

}  // namespace

FilterWindow::FilterWindow(QWidget* owner, const Clock& clock, DomainDatabase* db)
    : QDialog(owner), clock_(clock) {
  setWindowTitle(QStringLiteral("域名条件筛选"));
  setModal(false);
  build(clock, db);
}

void FilterWindow::build(const Clock& clock, DomainDatabase* db) {
  tabs_ = named(new QTabWidget(this), QStringLiteral("选择夹1"));
  tabs_->addTab(buildCriteriaPage(clock), QStringLiteral("筛选条件"));
  // The export pages belong to the tab widget.
  new FixedPriceTabs(
      tabs_, db, [this] { return buildWhere(criteria(), clock_.today()); }, this);
  exportHint_ = named(new QLabel(kExportHint), QStringLiteral("透明标签_tips"));
  exportHint_->setWordWrap(true);
  exportHint_->setVisible(false);
  connect(tabs_, &QTabWidget::currentChanged, this,
          [this](int index) { exportHint_->setVisible(index > 0); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(exportHint_);

  // Ctrl+Z and the window's right-click menu bring back what the last reset wiped.
  undoReset_ = new QAction(kUndoResetCaption, this);
  undoReset_->setObjectName(QStringLiteral("菜单_撤销重置"));
  undoReset_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
  undoReset_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  undoReset_->setEnabled(false);
  connect(undoReset_, &QAction::triggered, this, &FilterWindow::undoReset);
  addAction(undoReset_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  // Text boxes keep Ctrl+C / Ctrl+Z only when they have something to copy or undo.
  for (QLineEdit* edit : findChildren<QLineEdit*>()) {
    if (edit->window() == this) edit->installEventFilter(this);  // not the calendars' own
  }
}

QWidget* FilterWindow::buildCriteriaPage(const Clock& clock) {
  auto* page = new QWidget;
  auto* outer = new QVBoxLayout(page);

  auto* groups = new QGridLayout;
  const auto addCombo = [&](int row, int column, const QString& label, const QString& name) {
    groups->addWidget(new QLabel(label), row, column * 2);
    auto* combo = named(new QComboBox, name);
    combo->setMinimumWidth(140);
    groups->addWidget(combo, row, column * 2 + 1);
    return combo;
  };
  registrar_ = addCombo(0, 0, QStringLiteral("注册商"), QStringLiteral("组合框_注册商"));
  domainType_ = addCombo(0, 1, QStringLiteral("域名类型"), QStringLiteral("组合框_域名类型"));
  category_ = addCombo(0, 2, QStringLiteral("自定义分类"), QStringLiteral("组合框_自定义分类"));
  suffix_ = addCombo(1, 0, QStringLiteral("后缀"), QStringLiteral("组合框_后缀"));
  sold_ = addCombo(1, 1, QStringLiteral("出售"), QStringLiteral("组合框_出售"));
  for (std::string_view choice : kSoldChoices) sold_->addItem(q(choice));
  expiry_ = named(new QComboBox, QStringLiteral("组合框_到期"));
  for (std::string_view choice : kExpiryChoices) expiry_->addItem(q(choice));
  groups->addWidget(expiry_, 1, 4);
  groups->addWidget(new QLabel(QStringLiteral("天内到期")), 1, 5);
  outer->addLayout(groups);

  auto* texts = new QHBoxLayout;
  nameBox_ = named(new QCheckBox(QStringLiteral("域名")), QStringLiteral("选择框_域名"));
  nameText_ = named(new QLineEdit, QStringLiteral("编辑框_域名"));
  nameMode_ = named(new QComboBox, QStringLiteral("组合框_域名"));
  for (std::string_view choice : kNameMatchChoices) nameMode_->addItem(q(choice));
  noteBox_ = named(new QCheckBox(QStringLiteral("备注")), QStringLiteral("选择框_备注"));
  noteText_ = named(new QLineEdit, QStringLiteral("编辑框_备注"));
  for (QWidget* w :
       std::initializer_list<QWidget*>{nameBox_, nameText_, nameMode_, noteBox_, noteText_}) {
    texts->addWidget(w);
  }
  outer->addLayout(texts);

  auto* filterGroup = named(new QGroupBox(QStringLiteral("筛选")), QStringLiteral("分组框_筛选"));
  auto* filterLayout = new QGridLayout(filterGroup);
  int cell = 0;
  const auto place = [&](QWidget* w) {
    filterLayout->addWidget(w, cell / 2, cell % 2);
    ++cell;
  };
  place(addRange(QStringLiteral("长度"), QStringLiteral("长度"), false));
  for (const char* amount : kAmountCaptions) {
    const QString caption = QString::fromUtf8(amount);
    place(addRange(caption, caption, true));
  }
  place(addDates(QStringLiteral("注册时间"), QStringLiteral("注册时间"), registered_, clock));
  place(addDates(QStringLiteral("到期时间"), QStringLiteral("到期时间"), expires_, clock));
  place(addDates(QStringLiteral("购买时间"), QStringLiteral("购买时间"), purchased_, clock));
  place(addDates(QStringLiteral("出售时间"), QStringLiteral("出售时间"), soldOn_, clock));

  auto* pageRow = new QHBoxLayout;
  pageRow->addWidget(new QLabel(QStringLiteral("每页数")));
  pageSize_ = named(new QLineEdit, QStringLiteral("编辑框_每页显示数量"));
  pageSize_->setMaximumWidth(80);
  pageRow->addWidget(pageSize_);
  pageRow->addStretch();
  auto* confirm = named(new QPushButton(QStringLiteral("确 定")), QStringLiteral("按钮_确定"));
  auto* reset =
      named(new QPushButton(QStringLiteral("重 置(Ctrl+C)")), QStringLiteral("按钮_重置"));
  auto* close =
      named(new QPushButton(QStringLiteral("关 闭(Ctrl+F)")), QStringLiteral("按钮_关闭"));
  confirm->setAutoDefault(false);
  reset->setAutoDefault(false);
  close->setAutoDefault(false);
  pageRow->addWidget(confirm);
  pageRow->addWidget(reset);
  pageRow->addWidget(close);
  filterLayout->addLayout(pageRow, cell / 2 + 1, 0, 1, 2);
  outer->addWidget(filterGroup);

  connect(confirm, &QPushButton::clicked, this, &FilterWindow::confirmed);
  connect(reset, &QPushButton::clicked, this, &FilterWindow::resetCriteria);
  connect(close, &QPushButton::clicked, this, &FilterWindow::closeRequested);
  // Only while this window has the focus: the main window binds Ctrl+F too.
  const auto shortcut = [this](const char* keys) {
    auto* s = new QShortcut(QKeySequence(QString::fromLatin1(keys)), this);
    s->setContext(Qt::WidgetWithChildrenShortcut);
    return s;
  };
  connect(shortcut("Ctrl+C"), &QShortcut::activated, this, &FilterWindow::resetCriteria);
  connect(shortcut("Ctrl+F"), &QShortcut::activated, this, &FilterWindow::closeRequested);
  return page;
}

QWidget* FilterWindow::addRange(const QString& caption, const QString& key, bool withBox) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  Range range;
  range.caption = caption;
  if (withBox) {
    range.box = named(new QCheckBox(caption), QStringLiteral("选择框_") + key);
    layout->addWidget(range.box);
  } else {
    layout->addWidget(new QLabel(caption));
  }
  range.from = named(new QLineEdit(QStringLiteral("0")), QStringLiteral("编辑框_") + key + "a");
  range.to = named(new QLineEdit(QStringLiteral("0")), QStringLiteral("编辑框_") + key + "b");
  if (withBox) {
    // Amount boxes keep at most two decimals.
    for (QLineEdit* edit : {range.from, range.to}) {
      connect(edit, &QLineEdit::textChanged, this, [edit](const QString& text) {
        const std::string limited = limitTwoDecimals(text.toStdString());
        if (limited != text.toStdString()) edit->setText(QString::fromStdString(limited));
      });
    }
  }
  layout->addWidget(range.from);
  layout->addWidget(new QLabel(QStringLiteral("至")));
  layout->addWidget(range.to);
  ranges_.push_back(range);
  return row;
}

QWidget* FilterWindow::addDates(const QString& caption, const QString& key, Dates& dates,
                                const Clock& clock) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  dates.box = named(new QCheckBox(caption), QStringLiteral("选择框_") + key);
  const auto makeDate = [&](const QString& suffix) {
    auto* edit = named(new DateBox(clock.today()), QStringLiteral("日期框_") + key + suffix);
    connect(edit, &DateBox::refused, this, [](const QString& text) {
      Toolkit::messageBox(nullptr, notADateMessage(text), kNotADateCaption);
    });
    return edit;
  };
  dates.from = makeDate(QStringLiteral("_开始"));
  dates.to = makeDate(QStringLiteral("_结束"));
  layout->addWidget(dates.box);
  layout->addWidget(dates.from);
  layout->addWidget(new QLabel(QStringLiteral("至")));
  layout->addWidget(dates.to);
  return row;
}

FilterCriteria FilterWindow::criteria() const {
  FilterCriteria c;
  c.registrar = registrar_->currentText().toStdString();
  c.domainType = domainType_->currentText().toStdString();
  c.category = category_->currentText().toStdString();
  c.suffix = suffix_->currentText().toStdString();
  c.sold = sold_->currentText().toStdString();
  c.lengthFrom = ranges_[0].from->text().toStdString();
  c.lengthTo = ranges_[0].to->text().toStdString();
  const auto dates = [](const Dates& d) {
    // Always-a-date boxes: never empty.
    return DateRange{d.box->isChecked(), *d.from->date(), *d.to->date()};
  };
  c.registered = dates(registered_);
  c.expires = dates(expires_);
  c.purchased = dates(purchased_);
  c.soldOn = dates(soldOn_);
  MoneyRange* amounts[] = {&c.oneTimeCost, &c.renewalCost, &c.actualCost, &c.reservePrice,
                           &c.askingPrice, &c.finalPrice,  &c.profit};
  for (std::size_t i = 0; i < std::size(amounts); ++i) {
    const Range& r = ranges_[i + 1];
    *amounts[i] = {r.box->isChecked(), r.from->text().toStdString(), r.to->text().toStdString()};
  }
  c.nameOn = nameBox_->isChecked();
  c.nameMode = nameMode_->currentText().toStdString();
  c.nameText = nameText_->text().toStdString();
  c.expiry = expiry_->currentText().toStdString();
  c.noteOn = noteBox_->isChecked();
  c.noteText = noteText_->text().toStdString();
  return c;
}

void FilterWindow::fillCombo(QComboBox* combo, const std::vector<std::string>& items) {
  combo->clear();
  for (const std::string& item : items) combo->addItem(QString::fromStdString(item));
  combo->setCurrentIndex(0);
}

void FilterWindow::fillLists(const ClassificationLists& lists) {
  fillCombo(registrar_, lists.itemsFor(ListTarget::FilterWindow, CategoryKind::Registrar));
  fillCombo(domainType_, lists.itemsFor(ListTarget::FilterWindow, CategoryKind::DomainType));
  fillCombo(category_, lists.itemsFor(ListTarget::FilterWindow, CategoryKind::Category));
  fillCombo(suffix_, lists.suffixItemsForFilter());
}

void FilterWindow::refillKeepingPositions(const ClassificationLists& lists) {
  QComboBox* kept[] = {registrar_, suffix_, domainType_, sold_, category_};
  int positions[std::size(kept)];
  for (std::size_t i = 0; i < std::size(kept); ++i) positions[i] = kept[i]->currentIndex();
  fillLists(lists);
  for (std::size_t i = 0; i < std::size(kept); ++i) kept[i]->setCurrentIndex(positions[i]);
}

std::vector<QComboBox*> FilterWindow::resetChoices() const {
  return {registrar_, domainType_, category_, suffix_, sold_, expiry_, nameMode_};
}

std::vector<QCheckBox*> FilterWindow::resetTicks() const {
  std::vector<QCheckBox*> ticks{nameBox_, noteBox_};
  for (const Dates* d : {&registered_, &expires_, &purchased_, &soldOn_}) ticks.push_back(d->box);
  for (const Range& r : ranges_) {
    if (r.box != nullptr) ticks.push_back(r.box);
  }
  return ticks;
}

std::vector<QLineEdit*> FilterWindow::resetTexts() const {
  std::vector<QLineEdit*> texts{nameText_, noteText_};
  for (const Range& r : ranges_) {
    texts.push_back(r.from);
    texts.push_back(r.to);
  }
  return texts;
}

FilterWindow::ResetState FilterWindow::resetState() const {
  ResetState state;
  for (QComboBox* combo : resetChoices()) state.choices.push_back(combo->currentIndex());
  for (QCheckBox* box : resetTicks()) state.ticks.push_back(box->isChecked());
  for (QLineEdit* edit : resetTexts()) state.texts.push_back(edit->text());
  return state;
}

void FilterWindow::undoReset() {
  if (!beforeReset_) return;
  const ResetState state = *beforeReset_;
  beforeReset_.reset();
  undoReset_->setEnabled(false);
  const auto choices = resetChoices();
  for (std::size_t i = 0; i < choices.size(); ++i) choices[i]->setCurrentIndex(state.choices[i]);
  const auto ticks = resetTicks();
  for (std::size_t i = 0; i < ticks.size(); ++i) ticks[i]->setChecked(state.ticks[i]);
  const auto texts = resetTexts();
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i]->setText(state.texts[i]);
}

void FilterWindow::resetCriteria() {
  beforeReset_ = resetState();
  undoReset_->setEnabled(true);
  for (QComboBox* combo :
       {registrar_, domainType_, category_, suffix_, sold_, expiry_, nameMode_}) {
    combo->setCurrentIndex(0);
  }
  for (const Dates* d : {&registered_, &expires_, &purchased_, &soldOn_}) d->box->setChecked(false);
  for (const Range& r : ranges_) {
    if (r.box != nullptr) r.box->setChecked(false);
    r.from->setText(QStringLiteral("0"));
    r.to->setText(QStringLiteral("0"));
  }
  nameBox_->setChecked(false);
  noteBox_->setChecked(false);
  // setText, not clear: the boxes forget their own undo, so Ctrl+Z there undoes the reset.
  nameText_->setText(QString());
  noteText_->setText(QString());
}

void FilterWindow::selectExpiryShortcut(int index) {
  resetCriteria();
  expiry_->setCurrentIndex(index);
}

QString FilterWindow::pageSizeText() const { return pageSize_->text(); }

void FilterWindow::setPageSizeText(const QString& text) { pageSize_->setText(text); }

void FilterWindow::closeEvent(QCloseEvent* event) {
  // Never destroyed while the main window lives: the criteria persist.
  event->ignore();
  emit closeRequested();
}

void FilterWindow::reject() { emit closeRequested(); }

bool FilterWindow::letShortcutThrough(QLineEdit* edit, QEvent* event) const {
  if (event->type() != QEvent::ShortcutOverride) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  return (isKey(key, Qt::Key_C) && !edit->hasSelectedText()) ||
         (isKey(key, Qt::Key_Z) && !edit->isUndoAvailable());
}

bool FilterWindow::eventFilter(QObject* watched, QEvent* event) {
  if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && letShortcutThrough(edit, event)) {
    event->ignore();  // not the text box's: the window's reset / undo shortcut takes it
    return true;
  }
  if (event->type() == QEvent::FocusOut) {
    if (watched == nameText_) {
      nameBox_->setChecked(!nameText_->text().isEmpty());
    } else if (watched == noteText_) {
      noteBox_->setChecked(!noteText_->text().isEmpty());
    } else if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
      checkRangeOnLeave(edit);
    }
  }
  return QDialog::eventFilter(watched, event);
}

void FilterWindow::checkRangeOnLeave(QLineEdit* edit) {
  for (const Range& r : ranges_) {
    if (edit != r.from && edit != r.to) continue;
    const RangeCheck check = checkRange(
        r.caption.toStdString(), r.from->text().toStdString(), r.to->text().toStdString(),
        edit == r.from ? RangeBox::Minimum : RangeBox::Maximum, r.box != nullptr);
    if (check.tick && r.box != nullptr) r.box->setChecked(*check.tick);
    if (check.resetBox) {
      (*check.resetBox == RangeBox::Minimum ? r.from : r.to)->setText(QStringLiteral("0"));
      Toolkit::messageBox(nullptr, QString::fromStdString(check.message), QStringLiteral("提示:"));
    }
    return;
  }
}

}  // namespace pelmora::ui
