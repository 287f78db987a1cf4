#pragma once

// The status bar's view of a long run: a progress bar showing done/total, the
// estimated time left and a button that cancels the run, both hidden while nothing runs.

#include <QObject>
#include <QPointer>
#include <chrono>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace pelmora::ui {

class BackgroundJob;

class RunProgress : public QObject {
  Q_OBJECT

 public:
  explicit RunProgress(QStatusBar* bar);

  // Shows 0/`total` now, then the job's progress until its run finishes; the
  // button cancels it.
  void follow(BackgroundJob* job, int total);

  QProgressBar* bar() const { return bar_; }
  QPushButton* cancelButton() const { return cancel_; }

 private:
  void showDone(int done, int total);
  void hide();

  QProgressBar* bar_ = nullptr;
  QLabel* left_ = nullptr;  // the estimated time left
  QPushButton* cancel_ = nullptr;
  std::chrono::steady_clock::time_point started_;
  QPointer<BackgroundJob> job_;
  QMetaObject::Connection progressed_;
  QMetaObject::Connection finished_;
};

}  // namespace pelmora::ui
