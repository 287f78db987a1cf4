#include "ui/column_visibility_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelmora::ui {
namespace {

// The check box of each column, by column number (利润 is 销售利润 here).
constexpr const char* kBoxNames[kDomainFieldCount] = {
    "选",       "域名",     "后缀",     "长度",     "注册商",   "域名类型", "自定义分类",
    "注册时间", "到期时间", "一次成本", "续费成本", "实际成本", "预售底价", "对外标价",
    "最终售价", "销售利润", "出售",     "备注",     "购买时间", "出售时间"};

}  // namespace

ColumnVisibilityWindow::ColumnVisibilityWindow(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("隐藏显示列"));
  setWindowTitle(QStringLiteral("隐藏显示列"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  for (int k = 0; k < kDomainFieldCount; ++k) {
    const QString caption = QString::fromUtf8(kBoxNames[k]);
    auto* box = new QCheckBox(caption);
    box->setObjectName(QStringLiteral("选择框_") + caption);
    box->setChecked(true);
    boxes_[static_cast<std::size_t>(k)] = box;
    grid->addWidget(box, k / 4, k % 4);
  }
  layout->addLayout(grid);
  auto* all = new QCheckBox(QStringLiteral("全选/不选"));
  all->setObjectName(QStringLiteral("选择框_全选不选"));
  all->setChecked(true);
  auto* confirm = new QPushButton(QStringLiteral("确认"));
  confirm->setObjectName(QStringLiteral("按钮_确认"));
  auto* close = new QPushButton(QStringLiteral("关闭"));
  close->setObjectName(QStringLiteral("按钮_关闭"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(all);
  buttons->addStretch();
  buttons->addWidget(confirm);
  buttons->addWidget(close);
  layout->addLayout(buttons);

  connect(all, &QCheckBox::toggled, this, [this](bool on) {
    for (QCheckBox* box : boxes_) box->setChecked(on);
  });
  connect(confirm, &QPushButton::clicked, this, [this] {
    emit applied();
    hide();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

std::array<bool, kDomainFieldCount> ColumnVisibilityWindow::visibleColumns() const {
  std::array<bool, kDomainFieldCount> visible{};
  for (std::size_t k = 0; k < boxes_.size(); ++k) visible[k] = boxes_[k]->isChecked();
  return visible;
}

void ColumnVisibilityWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
}

}  // namespace pelmora::ui
