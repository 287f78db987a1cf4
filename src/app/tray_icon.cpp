#include "app/tray_icon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace pelmora::ui {

QIcon programIcon() {
  QPixmap pixmap(48, 48);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(46, 139, 87));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);
  QFont font = painter.font();
  font.setPixelSize(30);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, QStringLiteral("青"));
  return QIcon(pixmap);
}

}  // namespace pelmora::ui
