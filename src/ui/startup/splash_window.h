#pragma once

// The small window shown while the update check runs: the program's picture
// and the timer that polls for the check's result.

#include <QTimer>
#include <QWidget>

class QLabel;

namespace pelmora::ui {

inline constexpr int kSplashTickMs = 500;

class SplashWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SplashWindow(QWidget* parent = nullptr);

  QLabel* picture() const { return picture_; }  // 图片框1
  QTimer* timer() { return &timer_; }           // 时钟1

 private:
  QLabel* picture_ = nullptr;
  QTimer timer_;
};

}  // namespace pelmora::ui
