#pragma once

// 隐藏显示列: one check box per grid column; confirming hides the unticked ones.

#include <QDialog>
#include <array>

#include "store/domain_record.h"

class QCheckBox;

namespace pelmora::ui {

class ColumnVisibilityWindow : public QDialog {
  Q_OBJECT

 public:
  explicit ColumnVisibilityWindow(QWidget* owner);

  std::array<bool, kDomainFieldCount> visibleColumns() const;

 signals:
  void applied();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::array<QCheckBox*, kDomainFieldCount> boxes_{};
};

}  // namespace pelmora::ui
