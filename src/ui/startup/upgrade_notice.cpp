#include "ui/startup/upgrade_notice.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace pelmora::ui {

std::unique_ptr<QWidget> showUpgradeNotice() {
  auto note = std::make_unique<QLabel>(QString::fromUtf8(kUpgradeNoticeText), nullptr,
                                       Qt::SplashScreen | Qt::FramelessWindowHint);
  note->setObjectName(QStringLiteral("标签_升级提示"));
  note->setMargin(24);
  note->setFrameShape(QFrame::Box);
  note->setAlignment(Qt::AlignCenter);
  note->adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    note->move(screen->availableGeometry().center() - note->rect().center());
  }
  note->show();
  // The upgrade that follows runs on this thread: paint now, or never.
  note->repaint();
  QCoreApplication::processEvents();
  return note;
}

}  // namespace pelmora::ui
