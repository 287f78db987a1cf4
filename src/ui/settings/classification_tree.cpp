#include "ui/settings/classification_tree.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editing/classification_editing.h"
#include "store/domain_delete.h"
#include "ui/qt_text.h"
#include "ui/settings/settings_texts.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

namespace texts = settings_texts;

constexpr CategoryKind kKinds[] = {CategoryKind::Registrar, CategoryKind::DomainType,
                                   CategoryKind::Category};
constexpr int kKindRole = Qt::UserRole;

bool isList(const QTreeWidgetItem* item) { return item->parent() == nullptr; }

// The list a value or list item belongs to.
QTreeWidgetItem* listOf(QTreeWidgetItem* item) { return isList(item) ? item : item->parent(); }

CategoryKind kindOf(const QTreeWidgetItem* list) {
  return static_cast<CategoryKind>(list->data(0, kKindRole).toInt());
}

std::string textOf(const QTreeWidgetItem* item) { return item->text(0).toStdString(); }

std::vector<std::string> valuesOf(const QTreeWidgetItem* list) {
  std::vector<std::string> values;
  for (int i = 0; i < list->childCount(); ++i) values.push_back(textOf(list->child(i)));
  return values;
}

}  // namespace

ClassificationTree::ClassificationTree(DomainDatabase& db, QWidget* parent)
    : QWidget(parent), db_(db) {
  tree_ = named(new QTreeWidget, QStringLiteral("树型框_筛选条件"));
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  nameLabel_ = named(new QLabel(texts::nameLabel()), QStringLiteral("透明标签_名称"));
  name_ = named(new QLineEdit, QStringLiteral("编辑框_名称"));
  apply_ = named(new QPushButton(texts::add()), QStringLiteral("按钮_操作"));
  delete_ = named(new QPushButton(texts::remove()), QStringLiteral("按钮_删除"));
  up_ = named(new QPushButton(texts::up()), QStringLiteral("按钮_上移"));
  down_ = named(new QPushButton(texts::down()), QStringLiteral("按钮_下移"));
  for (QPushButton* button : {apply_, delete_, up_, down_}) button->setAutoDefault(false);

  auto* side = new QGridLayout;
  side->addWidget(nameLabel_, 0, 0);
  side->addWidget(name_, 0, 1, 1, 2);
  side->addWidget(apply_, 1, 1);
  side->addWidget(delete_, 1, 2);
  side->addWidget(up_, 2, 1);
  side->addWidget(down_, 2, 2);
  side->setRowStretch(3, 1);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tree_, 1);
  layout->addLayout(side);

  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { showSelection(); });
  connect(apply_, &QPushButton::clicked, this, &ClassificationTree::applyName);
  connect(delete_, &QPushButton::clicked, this, &ClassificationTree::deleteValue);
  connect(up_, &QPushButton::clicked, this, [this] { move(true); });
  connect(down_, &QPushButton::clicked, this, [this] { move(false); });
}

void ClassificationTree::fill(const ClassificationLists& lists) {
  tree_->clear();
  for (CategoryKind kind : kKinds) {
    auto* list = new QTreeWidgetItem(tree_, QStringList{q(categoryTable(kind))});
    list->setData(0, kKindRole, static_cast<int>(kind));
    for (const ClassItem& entry : lists.list(kind)) {
      new QTreeWidgetItem(list, QStringList{q(entry.name)});
    }
    list->setExpanded(true);
  }
  tree_->setCurrentItem(tree_->topLevelItem(0));
  showSelection();
}

std::vector<ClassificationOrder> ClassificationTree::order() const {
  std::vector<ClassificationOrder> order;
  const std::vector<QTreeWidgetItem*> all = items();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (isList(all[i])) continue;
    order.push_back({kindOf(all[i]->parent()), textOf(all[i]), static_cast<int>(i)});
  }
  return order;
}

std::vector<QTreeWidgetItem*> ClassificationTree::items() const {
  std::vector<QTreeWidgetItem*> all;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* list = tree_->topLevelItem(i);
    all.push_back(list);
    for (int j = 0; j < list->childCount(); ++j) all.push_back(list->child(j));
  }
  return all;
}

void ClassificationTree::showSelection() {
  QTreeWidgetItem* current = tree_->currentItem();
  if (current == nullptr) return;
  const bool value = !isList(current);
  nameLabel_->setVisible(true);
  name_->setVisible(true);
  apply_->setVisible(true);
  for (QPushButton* button : {delete_, up_, down_}) button->setVisible(value);
  apply_->setText(value ? texts::rename() : texts::add());
  if (value) name_->setText(current->text(0));
}

void ClassificationTree::message(const QString& text) {
  Toolkit::messageBox(window(), text, texts::hintCaption());
}

void ClassificationTree::applyName() {
  QTreeWidgetItem* current = tree_->currentItem();
  if (current == nullptr) return;
  const std::string name = classificationName(name_->text().toStdString());
  const bool adding = isList(current);
  switch (checkClassificationName(name, valuesOf(listOf(current)))) {
    case NameCheck::Empty:
      message(texts::emptyName());
      return;
    case NameCheck::TooLong:
      message(texts::nameTooLong(static_cast<int>(kMaxClassificationNameLength)));
      return;
    case NameCheck::HasParenthesis:
      message(texts::nameWithParenthesis());
      return;
    case NameCheck::Duplicate:
      message(adding ? texts::addExists(q(name)) : texts::renameExists(q(name)));
      return;
    case NameCheck::Ok:
      break;
  }
  if (adding) {
    addValue(current, name);
  } else {
    renameValue(current, name);
  }
}

void ClassificationTree::addValue(QTreeWidgetItem* list, const std::string& name) {
  const ClassificationEditResult result = addClassificationValue(db_, kindOf(list), name);
  switch (result.status) {
    case ClassificationEditStatus::Done:
      new QTreeWidgetItem(list, QStringList{q(name)});
      list->setExpanded(true);
      return;
    case ClassificationEditStatus::AlreadyExists:
      message(texts::addExists(q(name)));
      return;
    case ClassificationEditStatus::InUse:
    case ClassificationEditStatus::Failed:
      message(texts::addFailed(q(name), q(result.error)));
      return;
  }
}

void ClassificationTree::renameValue(QTreeWidgetItem* value, const std::string& name) {
  const std::string old = textOf(value);
  const ClassificationEditResult result =
      renameClassificationValue(db_, kindOf(value->parent()), old, name);
  switch (result.status) {
    case ClassificationEditStatus::Done:
      value->setText(0, q(name));
      return;
    case ClassificationEditStatus::AlreadyExists:
      message(texts::renameExists(q(name)));
      return;
    case ClassificationEditStatus::InUse:
      message(texts::renameInUse(q(old)));
      return;
    case ClassificationEditStatus::Failed:
      message(texts::renameFailed(q(old), q(result.error)));
      return;
  }
}

void ClassificationTree::deleteValue() {
  QTreeWidgetItem* current = tree_->currentItem();
  if (current == nullptr || isList(current)) return;
  const std::string value = textOf(current);
  std::string error;
  switch (deleteClassificationValue(db_, kindOf(current->parent()), value, &error)) {
    case ClassificationDelete::Deleted:
      delete current;
      return;
    case ClassificationDelete::InUse:
      message(texts::deleteInUse(q(value)));
      return;
    case ClassificationDelete::Failed:
      message(texts::deleteFailed(q(value), q(error)));
      return;
  }
}

void ClassificationTree::move(bool up) {
  QTreeWidgetItem* current = tree_->currentItem();
  if (current == nullptr) return;
  const std::vector<QTreeWidgetItem*> all = items();
  std::vector<bool> isValue;
  std::size_t from = all.size();
  for (std::size_t i = 0; i < all.size(); ++i) {
    isValue.push_back(!isList(all[i]));
    if (all[i] == current) from = i;
  }
  const auto to = classificationMoveTarget(isValue, from, up);
  if (!to) return;
  QTreeWidgetItem* other = all[*to];
  const QString text = current->text(0);
  current->setText(0, other->text(0));
  other->setText(0, text);
  tree_->setCurrentItem(other);
}

}  // namespace pelmora::ui
