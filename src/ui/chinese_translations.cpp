#include "ui/chinese_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace pelmora::ui {

bool installChineseTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

}  // namespace pelmora::ui
