// Renders the program's icon as PNG files for the desktop's icon theme:
//   pelmora-render-icon OUTPUT_FOLDER
// writes OUTPUT_FOLDER/<size>x<size>/apps/pelmora.png for every installed size.

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "app/tray_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: pelmora-render-icon OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString root = QString::fromLocal8Bit(argv[1]);
  for (const int size : pelmora::ui::kProgramIconSizes) {
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
    const QString file = folder + QStringLiteral("/pelmora.png");
    if (!QDir().mkpath(folder) || !pelmora::ui::programIconImage(size).save(file, "PNG")) {
      std::fprintf(stderr, "pelmora-render-icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
