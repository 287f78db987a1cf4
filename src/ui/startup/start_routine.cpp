#include "ui/startup/start_routine.h"

#include <atomic>
#include <cstdlib>

#include "ui/qt_text.h"
#include "ui/startup/splash_window.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

std::string fetchUntilStopped(std::stop_token stop) {
  std::atomic<bool> cancel{false};
  std::stop_callback onStop(stop, [&cancel] { cancel = true; });
  return fetchUpdateText(&cancel);
}

}  // namespace

StartRoutine::StartRoutine(Loader loader, StartRoutineOptions options)
    : loader_(std::move(loader)), options_(std::move(options)) {
  if (!options_.fetch) options_.fetch = fetchUntilStopped;
  if (!options_.endProcess) options_.endProcess = [] { std::_Exit(0); };
}

StartRoutine::~StartRoutine() {
  updateThread_.request_stop();
  if (updateThread_.joinable()) updateThread_.join();
}

void StartRoutine::start() {
  splash_ = std::make_unique<SplashWindow>();
  connect(splash_->timer(), &QTimer::timeout, this, &StartRoutine::tick);
  deadline_ = std::chrono::steady_clock::now() + options_.deadline;
  updateThread_ = std::jthread([this](std::stop_token stop) {
    std::string text = options_.fetch(stop);
    std::lock_guard lock(updateTextMutex_);
    updateText_ = std::move(text);
  });
  splash_->timer()->start();
  splash_->show();
}

void StartRoutine::tick() {
  std::optional<std::string> text;
  {
    std::lock_guard lock(updateTextMutex_);
    text = updateText_;
  }
  if (!text) {
    if (std::chrono::steady_clock::now() < deadline_) return;
    // The network holds the check up: start without it.
    updateThread_.request_stop();
    text = defaultUpdateText();
  }
  handOver(*text);
}

void StartRoutine::handOver(const std::string& updateText) {
  splash_->timer()->stop();
  const UpdateRecord record = readUpdateRecord(updateText);
  if (offersNewVersion(record) &&
      Toolkit::messageBox(splash_.get(), QString::fromUtf8(kNewVersionPrompt),
                          QString::fromUtf8(kNewVersionCaption), true) == Answer::Yes) {
    Toolkit::openUrl(q(record.downloadAddress));
    options_.endProcess();
  } else {
    loader_(record);
  }
  handedOver_ = true;
  // Its timer is the one calling: the window goes once the call has returned.
  SplashWindow* splash = splash_.release();
  splash->hide();
  splash->deleteLater();
  emit finished();
}

}  // namespace pelmora::ui
