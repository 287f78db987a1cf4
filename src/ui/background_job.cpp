#include "ui/background_job.h"

#include <utility>

namespace pelmora::ui {

void JobReporter::progress(int done, int total) {
  BackgroundJob* job = &job_;
  post([job, done, total] { emit job->progress(done, total); });
}

void JobReporter::post(std::function<void()> deliver) {
  job_.enqueue(generation_, std::move(deliver));
}

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob() {
  ++generation_;
  for (auto& worker : workers_) worker->thread.request_stop();
  for (auto& worker : workers_) {
    if (worker->thread.joinable()) worker->thread.join();
  }
}

int BackgroundJob::start(Work work) {
  joinEnded();
  if (!workers_.empty()) workers_.back()->thread.request_stop();
  const int generation = ++generation_;
  running_ = true;
  auto worker = std::make_unique<Worker>();
  Worker* self = worker.get();
  workers_.push_back(std::move(worker));
  self->thread =
      std::jthread([this, self, generation, work = std::move(work)](std::stop_token stop) {
        JobReporter reporter(*this, generation);
        work(stop, reporter);
        const bool cancelled = stop.stop_requested();
        reporter.post([this, cancelled] {
          running_ = false;
          joinEnded();
          emit finished(cancelled);
        });
        self->ended = true;
      });
  return generation;
}

void BackgroundJob::cancel() {
  if (!workers_.empty()) workers_.back()->thread.request_stop();
}

// The closures travel through our own locked queue and the wake-up call is
// queued by name, so everything the two threads share is handed over under a
// lock (visible to ThreadSanitizer, unlike Qt's own event queue). The job
// joins its workers before it dies, so it is alive here; a wake-up still
// queued when it dies is discarded with it.
void BackgroundJob::enqueue(int generation, std::function<void()> deliver) {
  {
    const std::lock_guard lock(postedMutex_);
    posted_.push_back({generation, std::move(deliver)});
  }
  QMetaObject::invokeMethod(this, "deliverNext", Qt::QueuedConnection);
}

void BackgroundJob::deliverNext() {
  Posted next;
  {
    const std::lock_guard lock(postedMutex_);
    if (posted_.empty()) return;
    next = std::move(posted_.front());
    posted_.pop_front();
  }
  if (next.generation == generation_) next.deliver();
}

// Workers whose function has returned: joining them costs nothing now.
void BackgroundJob::joinEnded() {
  std::erase_if(workers_, [](const std::unique_ptr<Worker>& worker) {
    if (!worker->ended) return false;
    worker->thread.join();
    return true;
  });
}

}  // namespace pelmora::ui
