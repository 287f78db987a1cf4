#include "ui/background_job.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace pelmora::testing {
namespace {

using ui::BackgroundJob;
using ui::JobReporter;
using namespace std::chrono_literals;

// Reports progress as fast as it can until asked to stop.
struct EndlessWork {
  std::atomic<int> reported{0};
  std::atomic<bool> returned{false};

  BackgroundJob::Work work() {
    return [this](std::stop_token stop, JobReporter& report) {
      while (!stop.stop_requested()) {
        report.progress(++reported, 0);
        std::this_thread::sleep_for(1ms);
      }
      returned = true;
    };
  }
};

TEST(BackgroundJobTest, ACancelledRunEndsAndDeliversNothingAfterItsEnd) {
  EndlessWork endless;  // outlives the job, whose worker uses it
  int delivered = 0;
  BackgroundJob job;
  QObject::connect(&job, &BackgroundJob::progress, &job, [&] { ++delivered; });
  QSignalSpy finished(&job, &BackgroundJob::finished);
  job.start(endless.work());
  ASSERT_TRUE(QTest::qWaitFor([&] { return delivered >= 3; }, 5000));
  EXPECT_TRUE(job.isRunning());

  job.cancel();
  ASSERT_TRUE(finished.wait(5000));
  EXPECT_TRUE(endless.returned);
  EXPECT_EQ(finished.count(), 1);
  EXPECT_TRUE(finished.at(0).at(0).toBool());  // cancelled
  EXPECT_FALSE(job.isRunning());
  const int atEnd = delivered;
  EXPECT_EQ(atEnd, endless.reported.load());  // everything before the end arrived
  QTest::qWait(100);
  EXPECT_EQ(delivered, atEnd);
  EXPECT_EQ(finished.count(), 1);
}

TEST(BackgroundJobTest, DestroyingTheJobMidRunJoinsItsWorkerAndDropsWhatIsQueued) {
  EndlessWork endless;
  int delivered = 0;
  bool finished = false;
  auto job = std::make_unique<BackgroundJob>();
  QObject::connect(job.get(), &BackgroundJob::progress, job.get(), [&] { ++delivered; });
  QObject::connect(job.get(), &BackgroundJob::finished, job.get(), [&] { finished = true; });
  job->start(endless.work());
  ASSERT_TRUE(QTest::qWaitFor([&] { return delivered >= 3; }, 5000));
  // Let reports pile up in the queue: the worker keeps posting meanwhile.
  std::this_thread::sleep_for(30ms);

  job.reset();
  EXPECT_TRUE(endless.returned);  // joined, not left running
  const int atDestruction = delivered;
  EXPECT_LT(atDestruction, endless.reported.load());  // some were still queued
  QTest::qWait(100);
  EXPECT_EQ(delivered, atDestruction);
  EXPECT_FALSE(finished);
}

TEST(BackgroundJobTest, ProgressArrivesQueuedOnTheJobsThreadAndInOrder) {
  constexpr int kTotal = 50;
  std::vector<std::pair<int, int>> seen;
  bool allOnThisThread = true;
  int finishedAfter = -1;
  std::atomic<bool> returned{false};
  BackgroundJob job;
  QObject::connect(&job, &BackgroundJob::progress, &job, [&](int done, int total) {
    seen.emplace_back(done, total);
    allOnThisThread = allOnThisThread && QThread::currentThread() == job.thread();
  });
  QObject::connect(&job, &BackgroundJob::finished, &job,
                   [&] { finishedAfter = static_cast<int>(seen.size()); });
  job.start([&returned](std::stop_token, JobReporter& report) {
    for (int done = 1; done <= kTotal; ++done) report.progress(done, kTotal);
    returned = true;
  });
  while (!returned) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(seen.empty());  // nothing is delivered on the worker or without an event loop

  ASSERT_TRUE(QTest::qWaitFor([&] { return finishedAfter >= 0; }, 5000));
  ASSERT_EQ(seen.size(), static_cast<std::size_t>(kTotal));
  for (int k = 0; k < kTotal; ++k) {
    EXPECT_EQ(seen[static_cast<std::size_t>(k)], std::make_pair(k + 1, kTotal));
  }
  EXPECT_TRUE(allOnThisThread);
  EXPECT_EQ(finishedAfter, kTotal);  // the end comes after the last report
}

TEST(BackgroundJobTest, AResultOfAnOlderGenerationIsDropped) {
  std::vector<QString> results;
  std::atomic<bool> oldPosted{false};
  BackgroundJob job;
  QSignalSpy finished(&job, &BackgroundJob::finished);
  // After the job: should the test stop early, they break and free the workers.
  std::promise<void> releaseOld, releaseNew;
  // Neither watches its stop token: the old one reports after it was superseded.
  const auto resultAfter = [&results](std::shared_future<void> release, QString result,
                                      std::atomic<bool>* posted) {
    return [&results, release, result, posted](std::stop_token, JobReporter& report) {
      release.wait();
      report.post([&results, result] { results.push_back(result); });
      if (posted != nullptr) *posted = true;
    };
  };
  const int first = job.start(resultAfter(releaseOld.get_future().share(), "old", &oldPosted));
  const int second = job.start(resultAfter(releaseNew.get_future().share(), "new", nullptr));
  EXPECT_GT(second, first);
  EXPECT_EQ(job.generation(), second);

  releaseOld.set_value();
  const bool oldReported = QTest::qWaitFor([&] { return oldPosted.load(); }, 5000);
  QTest::qWait(50);  // its result and its end reach the queue and are handled
  EXPECT_TRUE(oldReported);
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(finished.count(), 0);
  EXPECT_TRUE(job.isRunning());  // the current run has not ended

  releaseNew.set_value();
  ASSERT_TRUE(finished.wait(5000));
  EXPECT_EQ(results, std::vector<QString>{"new"});
  EXPECT_EQ(finished.count(), 1);
  EXPECT_FALSE(job.isRunning());
}

}  // namespace
}  // namespace pelmora::testing
