#include "ui/startup/splash_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace pelmora::ui {

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("启动窗口"));
  picture_ = new QLabel(this);
  picture_->setObjectName(QStringLiteral("图片框1"));
  picture_->setPixmap(QPixmap(QStringLiteral(":/pelmora/splash.png")));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(picture_);
  timer_.setObjectName(QStringLiteral("时钟1"));
  timer_.setParent(this);
  timer_.setInterval(kSplashTickMs);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace pelmora::ui
