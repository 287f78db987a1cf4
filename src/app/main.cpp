// pelmora: the desktop program.

#include <QApplication>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/window_beacon.h"
#include "store/schema.h"
#include "ui/chinese_translations.h"
#include "ui/startup/splash_window.h"
#include "ui/startup/start_routine.h"
#include "ui/startup/upgrade_notice.h"

namespace {

constexpr const char* kUsage =
    "Usage: pelmora [--db PATH]\n"
    "The domain inventory's window. The database is ~/.local/share/pelmora/domain.mdb\n"
    "($XDG_DATA_HOME/pelmora), or domain.mdb beside the program when one is there or\n"
    "the program runs from its build folder, unless --db names another file; the\n"
    "first start creates it. Started again on the same file, it brings the open\n"
    "window forward.\n"
    "\n"
    "Options:\n"
    "  --db PATH   the database file to open\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "For scripts and cron: pelmora-cli --help\n";

struct Arguments {
  std::string databasePath;
  int exitCode = -1;  // set when the program ends without a window
};

// Reads the command line before anything is opened or created: --help and
// --version print and end, and anything unknown is a usage error (exit 2).
Arguments readArguments(int argc, char** argv) {
  Arguments read;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "-h" || word == "--help") {
      std::fputs(kUsage, stdout);
      read.exitCode = std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
      return read;
    }
    if (word == "--version") {
      std::fputs("pelmora " PELMORA_VERSION "\n", stdout);
      read.exitCode = std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
      return read;
    }
    if (word == "--db" && i + 1 < argc) {
      read.databasePath = argv[++i];
    } else if (word.rfind("--db=", 0) == 0) {
      read.databasePath = word.substr(5);
    } else {
      if (word == "--db") {
        std::fprintf(stderr, "pelmora: --db needs a value\n\n%s", kUsage);
      } else {
        std::fprintf(stderr, "pelmora: unknown option %s\n\n%s", word.c_str(), kUsage);
      }
      read.exitCode = 2;
      return read;
    }
  }
  if (read.databasePath.empty() && argc > 1) {
    std::fprintf(stderr, "pelmora: --db needs a value\n\n%s", kUsage);
    read.exitCode = 2;
  }
  return read;
}

bool hasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0') return true;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

}  // namespace

int main(int argc, char** argv) {
  const Arguments arguments = readArguments(argc, argv);
  if (arguments.exitCode >= 0) return arguments.exitCode;
  const std::string& databasePath = arguments.databasePath;
  if (!hasDisplay()) {
    std::fputs(
        "pelmora: no display found (DISPLAY is not set).\n"
        "Start it from a desktop session, or under a virtual display: xvfb-run -a pelmora\n"
        "Without any display, use the command line: pelmora-cli list\n",
        stderr);
    return 2;
  }

  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  if (!pelmora::ui::installChineseTranslations(app)) {
    std::fputs(
        "pelmora: Qt's Chinese translations (qtbase_zh_CN) were not found; "
        "standard buttons show English texts.\n",
        stderr);
  }
  const auto path =
      databasePath.empty() ? pelmora::defaultDatabasePath() : std::filesystem::path(databasePath);
  // A window already open on this file comes forward instead of a second one.
  if (pelmora::ui::raiseOpenWindow(path)) {
    std::fprintf(stderr, "pelmora: %s is open in a window; it was brought forward.\n",
                 path.string().c_str());
    return 0;
  }
  std::unique_ptr<pelmora::DomainDatabase> db;
  std::unique_ptr<pelmora::ui::MainWindow> window;
  pelmora::ui::StartRoutine* start = nullptr;
  const auto loadMainWindow = [&](const pelmora::UpdateRecord& record) {
    std::string why;
    db = pelmora::ui::openDatabaseForWindow(
        [&path](const pelmora::UpgradeNotice& notice, std::string* error) {
          return pelmora::openCurrentDatabase(path, error, pelmora::OpenMode::ReadWrite, notice,
                                              nullptr, pelmora::Opener::Window);
        },
        start->splash(), &why);
    if (!db) {
      std::fprintf(stderr, "pelmora: %s\n", why.c_str());
      QCoreApplication::exit(2);
      return;
    }
    pelmora::ui::MainWindowOptions options;
    options.statusText = QString::fromStdString(record.statusText);
    options.newsAddress = QString::fromStdString(record.newsAddress);
    options.placesFile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/pelmora/window.ini");
    window = std::make_unique<pelmora::ui::MainWindow>(*db, std::move(options));
    QObject::connect(window.get(), &pelmora::ui::MainWindow::closed, &app, &QApplication::quit);
    window->show();
    new pelmora::ui::WindowBeacon(
        path, [shown = window.get()] { shown->bringForward(); }, window.get());
  };
  pelmora::ui::StartRoutineOptions startOptions;
  startOptions.endProcess = [] { QCoreApplication::exit(0); };
  pelmora::ui::StartRoutine routine(loadMainWindow, std::move(startOptions));
  start = &routine;
  routine.start();
  return app.exec();
}
