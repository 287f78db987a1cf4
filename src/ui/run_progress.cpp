#include "ui/run_progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "lookup/paced_lookups.h"
#include "ui/background_job.h"
#include "ui/qt_text.h"

namespace pelmora::ui {

RunProgress::RunProgress(QStatusBar* bar) : QObject(bar) {
  bar_ = new QProgressBar;
  bar_->setObjectName(QStringLiteral("进度条_任务"));
  bar_->setFormat(QStringLiteral("%v/%m"));
  bar_->setMaximumWidth(180);
  left_ = new QLabel;
  left_->setObjectName(QStringLiteral("标签_剩余时间"));
  cancel_ = new QPushButton(QStringLiteral("取消"));
  cancel_->setObjectName(QStringLiteral("按钮_取消任务"));
  bar->addPermanentWidget(bar_);
  bar->addPermanentWidget(left_);
  bar->addPermanentWidget(cancel_);
  bar_->hide();
  left_->hide();
  cancel_->hide();
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (job_) job_->cancel();
    cancel_->setEnabled(false);  // once is enough; the run ends after its current unit
  });
}

void RunProgress::follow(BackgroundJob* job, int total) {
  disconnect(progressed_);
  disconnect(finished_);
  job_ = job;
  progressed_ = connect(job, &BackgroundJob::progress, this, &RunProgress::showDone);
  finished_ = connect(job, &BackgroundJob::finished, this, &RunProgress::hide);
  started_ = std::chrono::steady_clock::now();
  showDone(0, total);
  cancel_->setEnabled(true);
  bar_->show();
  cancel_->show();
}

void RunProgress::showDone(int done, int total) {
  bar_->setRange(0, total);
  bar_->setValue(done);
  // The time left at the rate so far, once there is a rate.
  const bool estimate = done > 0 && done < total;
  if (estimate) {
    left_->setText(QStringLiteral("剩余时间 ") +
                   q(timeLeftText(estimatedTimeLeft(done, total,
                                                    std::chrono::steady_clock::now() - started_))));
  }
  left_->setVisible(estimate);
}

void RunProgress::hide() {
  disconnect(progressed_);
  disconnect(finished_);
  job_ = nullptr;
  bar_->hide();
  left_->hide();
  cancel_->hide();
}

}  // namespace pelmora::ui
