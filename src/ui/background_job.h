#pragma once

// Work on a worker thread that reports back to the thread the job lives in
// (the UI thread). The work function gets a stop token and a reporter; what it
// reports is delivered queued, in order, to this object, and only while the
// run it came from is still the current one: starting again supersedes the
// run before (it is asked to stop and its later reports are dropped). The
// destructor asks every run to stop and joins it, so no worker outlives the
// job and nothing is delivered after it is gone. Workers never touch widgets;
// they hand the UI thread closures through the reporter.

#include <QObject>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace pelmora::ui {

class BackgroundJob;

// What a work function may do from its worker thread.
class JobReporter {
 public:
  // `done` of `total` units are finished: BackgroundJob::progress.
  void progress(int done, int total);
  // Runs `deliver` on the job's thread, unless the run has been superseded or
  // the job destroyed by then.
  void post(std::function<void()> deliver);

 private:
  friend class BackgroundJob;
  JobReporter(BackgroundJob& job, int generation) : job_(job), generation_(generation) {}

  BackgroundJob& job_;
  int generation_;
};

class BackgroundJob : public QObject {
  Q_OBJECT

 public:
  using Work = std::function<void(std::stop_token, JobReporter&)>;

  explicit BackgroundJob(QObject* parent = nullptr);
  ~BackgroundJob() override;

  // Runs `work` on a new worker thread and returns the run's generation. A
  // run still going is asked to stop; nothing it reports is delivered any more.
  int start(Work work);
  // Asks the current run to stop. It ends when its work function returns;
  // what it reports until then is still delivered, then `finished(true)`.
  void cancel();
  // From start until the current run's `finished` is delivered.
  bool isRunning() const { return running_; }
  int generation() const { return generation_; }

 signals:
  void progress(int done, int total);
  // The current run's work function returned; `cancelled` when it had been
  // asked to stop.
  void finished(bool cancelled);

 private:
  friend class JobReporter;
  struct Worker {
    std::jthread thread;
    std::atomic<bool> ended{false};
  };

  struct Posted {
    int generation = 0;
    std::function<void()> deliver;
  };

  // Worker side: queues a delivery and asks for one call of deliverNext.
  void enqueue(int generation, std::function<void()> deliver);
  Q_INVOKABLE void deliverNext();
  void joinEnded();

  int generation_ = 0;  // touched on the job's own thread only
  bool running_ = false;
  std::vector<std::unique_ptr<Worker>> workers_;  // the current run's last
  std::mutex postedMutex_;
  std::deque<Posted> posted_;
};

}  // namespace pelmora::ui
