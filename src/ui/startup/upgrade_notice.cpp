#include "ui/startup/upgrade_notice.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include "ui/background_job.h"
#include "ui/qt_text.h"
#include "ui/toolkit.h"

namespace pelmora::ui {

std::unique_ptr<QWidget> showUpgradeNotice(QWidget* above) {
  auto note = std::make_unique<QLabel>(
      QString::fromUtf8(kUpgradeNoticeText), nullptr,
      Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  note->setObjectName(QStringLiteral("标签_升级提示"));
  note->setMargin(24);
  note->setFrameShape(QFrame::Box);
  note->setAlignment(Qt::AlignCenter);
  note->adjustSize();
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (above != nullptr && above->isVisible()) {
    note->move(above->frameGeometry().center() - note->rect().center());
  } else if (screen != nullptr) {
    note->move(screen->availableGeometry().center() - note->rect().center());
  }
  // Both are splash windows: the window manager keeps the note above the
  // splash when it belongs to it.
  note->winId();
  if (above != nullptr && above->windowHandle() != nullptr) {
    note->windowHandle()->setTransientParent(above->windowHandle());
  }
  note->show();
  note->raise();
  return note;
}

std::unique_ptr<DomainDatabase> openDatabaseForWindow(const DatabaseOpen& open, QWidget* above,
                                                      std::string* error) {
  std::unique_ptr<QWidget> note;
  std::unique_ptr<DomainDatabase> db;
  std::string why;
  {
    const QPointer<QWidget> owner(above);
    BackgroundJob job;
    QEventLoop loop;
    QObject::connect(&job, &BackgroundJob::finished, &loop, &QEventLoop::quit);
    job.start([&](std::stop_token, JobReporter& reporter) {
      const UpgradeNotice notice = [&reporter, &note, owner] {
        reporter.post([&note, owner] { note = showUpgradeNotice(owner.data()); });
      };
      db = open(notice, &why);
    });
    loop.exec();
    // Leaving the job joins the worker, also when the loop was ended early.
  }
  note.reset();
  if (!db) {
    Toolkit::messageBox(nullptr, q(std::string(kOpenFailureMessage) + "\r\n\r\n原因: " + why),
                        QString());
    if (error != nullptr) *error = why;
  }
  return db;
}

}  // namespace pelmora::ui
