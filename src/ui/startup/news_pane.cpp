#include "ui/startup/news_pane.h"

#include <QTextBrowser>
#include <atomic>
#include <optional>
#include <string>

#include "support/news_html.h"
#include "support/news_page.h"
#include "ui/background_job.h"
#include "ui/qt_text.h"

namespace pelmora::ui {

NewsPane::NewsPane(QTextBrowser& browser)
    : QObject(&browser), browser_(browser), job_(new BackgroundJob(this)) {}

void NewsPane::load(const QString& address) {
  const std::string url = address.toStdString();
  job_->start([this, url](std::stop_token stop, JobReporter& report) {
    std::atomic<bool> cancel{false};
    std::stop_callback onStop(stop, [&cancel] { cancel = true; });
    std::optional<std::string> fetched = fetchNewsPage(url, &cancel);
    std::optional<std::string> page = fetched ? safeNewsHtml(*fetched) : std::nullopt;
    report.post([this, page = std::move(page)] {
      browser_.setHtml(q(page.value_or(builtInNewsPage())));
      emit shown(page.has_value());
    });
  });
}

bool NewsPane::isLoading() const { return job_->isRunning(); }

}  // namespace pelmora::ui
