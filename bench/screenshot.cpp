// Renders the main window over a small demo database to a PNG, for the docs.
// Usage: pelmora-screenshot OUT.png [FOLDER]

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "app/main_window.h"
#include "bench_data.h"
#include "store/schema.h"
#include "store/settings_store.h"
#include "ui/chinese_translations.h"
#include "ui/toolkit.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  pelmora::ui::installChineseTranslations(app);
  if (argc < 2) return 2;
  const std::filesystem::path folder = argc > 2 ? argv[2] : "screenshot-data";
  const auto path = pelmora::bench::ensureBenchDatabase(folder, 260);
  auto db = pelmora::openCurrentDatabase(path);
  if (!db) return 2;
  pelmora::SettingsStore settings(*db);
  if (!settings.write(pelmora::kSettingExpiryCheck, "1|30|0") ||
      !settings.write(pelmora::kSettingCustomTitle, "我的域名")) {
    return 2;
  }
  pelmora::ui::Toolkit::startScripting();
  pelmora::ui::Toolkit::setTrayAvailable(false);
  pelmora::ui::MainWindow window(*db, {pelmora::Clock::system(), "欢迎使用青禾名簿", {}});
  window.resize(1280, 720);
  window.show();
  QTimer::singleShot(300, &app, [&] {
    window.grab().save(QString::fromLocal8Bit(argv[1]));
    app.quit();
  });
  return app.exec();
}
