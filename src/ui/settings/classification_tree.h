#pragma once

// The classification editor of the settings window: a tree of the three
// lists and their values, with the name box and the new/modify, delete and
// move buttons. Adding, renaming and deleting go to the database at once;
// the order is only handed out (order()) for the window's save.

#include <QWidget>
#include <string>
#include <vector>

#include "store/classification_edit.h"
#include "store/classification_lists.h"
#include "store/domain_database.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pelmora::ui {

class ClassificationTree : public QWidget {
  Q_OBJECT

 public:
  ClassificationTree(DomainDatabase& db, QWidget* parent = nullptr);

  // One item per list with its values below, expanded; the first item selected.
  void fill(const ClassificationLists& lists);
  // Every value with its position in the whole tree, list items counted.
  std::vector<ClassificationOrder> order() const;

 private:
  void showSelection();
  void applyName();
  void addValue(QTreeWidgetItem* list, const std::string& name);
  void renameValue(QTreeWidgetItem* value, const std::string& name);
  void deleteValue();
  void move(bool up);
  // Items in display order, list items included.
  std::vector<QTreeWidgetItem*> items() const;
  void message(const QString& text);

  DomainDatabase& db_;
  QTreeWidget* tree_ = nullptr;
  QLabel* nameLabel_ = nullptr;
  QLineEdit* name_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
};

}  // namespace pelmora::ui
