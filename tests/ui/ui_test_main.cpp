// Runs the UI tests inside one QApplication on the offscreen platform, with
// Qt's Chinese button texts and a CJK font as on a Chinese desktop.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <cstdio>

#include "ui/chinese_translations.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (!pelmora::ui::installChineseTranslations(app)) {
    std::fputs("ui tests: Qt's Chinese translations (qtbase_zh_CN) are missing\n", stderr);
    return 1;
  }
  const QString cjk = QStringLiteral("Noto Sans CJK SC");
  if (!QFontDatabase::hasFamily(cjk)) {
    std::fputs("ui tests: the font Noto Sans CJK SC is missing\n", stderr);
    return 1;
  }
  QFont font = QApplication::font();
  font.setFamilies({cjk});
  QApplication::setFont(font);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
