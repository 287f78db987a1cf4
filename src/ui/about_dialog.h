#pragma once

#include <QDialog>

namespace pelmora::ui {

// 关于: the program version and how to reach its makers.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* owner);
};

}  // namespace pelmora::ui
