#include "ui/run_progress.h"

#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "ui/background_job.h"

namespace pelmora::ui {

RunProgress::RunProgress(QStatusBar* bar) : QObject(bar) {
  bar_ = new QProgressBar;
  bar_->setObjectName(QStringLiteral("进度条_任务"));
  bar_->setFormat(QStringLiteral("%v/%m"));
  bar_->setMaximumWidth(180);
  cancel_ = new QPushButton(QStringLiteral("取消"));
  cancel_->setObjectName(QStringLiteral("按钮_取消任务"));
  bar->addPermanentWidget(bar_);
  bar->addPermanentWidget(cancel_);
  bar_->hide();
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
  showDone(0, total);
  cancel_->setEnabled(true);
  bar_->show();
  cancel_->show();
}

void RunProgress::showDone(int done, int total) {
  bar_->setRange(0, total);
  bar_->setValue(done);
}

void RunProgress::hide() {
  disconnect(progressed_);
  disconnect(finished_);
  job_ = nullptr;
  bar_->hide();
  cancel_->hide();
}

}  // namespace pelmora::ui
