#include "app/tray_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace pelmora::ui {

QImage programIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QSvgRenderer renderer(QStringLiteral(":/pelmora/pelmora.svg"));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  return image;
}

QIcon programIcon() {
  QIcon icon;
  for (const int size : kProgramIconSizes)
    icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
  return icon;
}

}  // namespace pelmora::ui
