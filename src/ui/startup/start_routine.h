#pragma once

// The program's start: the splash window is shown while one background thread
// fetches the update record; the splash timer waits for it (at most
// kSplashDeadline, then the default record stands in), offers a new version,
// and hands the record to the loader that creates the main window.

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "support/update_record.h"

namespace pelmora::ui {

class SplashWindow;

// The fetch's own time-out and two seconds more.
inline constexpr std::chrono::milliseconds kSplashDeadline{kUpdateTimeoutSeconds * 1000 + 2000};

inline constexpr const char* kNewVersionPrompt =
    "检测到新版本!\r\n\r\n点击是,打开新版下载地址,点击否,继续适应当前版本.";
inline constexpr const char* kNewVersionCaption = "提示";

struct StartRoutineOptions {
  // Runs on the update thread; asked to stop when the splash gives up on it.
  std::function<std::string(std::stop_token)> fetch;  // empty: fetchUpdateText
  std::chrono::milliseconds deadline = kSplashDeadline;
  // Ends the process after the download page was opened.
  std::function<void()> endProcess;  // empty: std::_Exit(0)
};

class StartRoutine : public QObject {
  Q_OBJECT

 public:
  // Creates the main window from the record's status text and news address.
  using Loader = std::function<void(const UpdateRecord&)>;

  explicit StartRoutine(Loader loader, StartRoutineOptions options = {});
  // Stops and joins the update thread if it still runs.
  ~StartRoutine() override;

  // Shows the splash window and starts the update thread.
  void start();
  SplashWindow* splash() const { return splash_.get(); }  // gone after the hand-over
  bool handedOver() const { return handedOver_; }

 signals:
  // The splash window is gone: the main window was loaded, or the process
  // was asked to end for the new version.
  void finished();

 private:
  void tick();
  void handOver(const std::string& updateText);

  Loader loader_;
  StartRoutineOptions options_;
  std::unique_ptr<SplashWindow> splash_;
  std::chrono::steady_clock::time_point deadline_;
  bool handedOver_ = false;
  // Written once by the update thread, read by the splash timer.
  std::mutex updateTextMutex_;
  std::optional<std::string> updateText_;
  std::jthread updateThread_;  // last: stopped and joined before the rest goes
};

}  // namespace pelmora::ui
