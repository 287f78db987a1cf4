// The window at scale: time from creating the main window to the first page
// shown, page switches and sort switches, at page sizes 100 and 1000 over a
// million domains, on the offscreen platform; and the resident memory.

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "bench_data.h"
#include "store/schema.h"
#include "store/settings_store.h"
#include "ui/listing_grid.h"
#include "ui/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

long statusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size()));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  const auto path = pelmora::bench::ensureBenchDatabase(folder, 1000000);
  auto db = pelmora::openCurrentDatabase(path);
  if (!db) return 2;
  pelmora::ui::Toolkit::startScripting();
  pelmora::ui::Toolkit::setTrayAvailable(false);
  pelmora::SettingsStore settings(*db);
  settings.write(pelmora::kSettingExpiryCheck, "1|30|0");

  std::printf("Pelmora window benchmark: 1,000,000 domains, offscreen, median of 9 runs\n\n");
  std::printf(
      "| page size | first page shown (ms) | page switch (ms) | sort switch, 到期时间 and 域名 "
      "(ms) |\n");
  std::printf("|---:|---:|---:|---:|\n");
  bool met = true;
  for (int pageSize : {100, 1000}) {
    settings.write(pelmora::kSettingPageSize, std::to_string(pageSize));
    std::vector<double> starts, pages, sorts;
    for (int run = 0; run < 9; ++run) {
      const auto start = Clock::now();
      pelmora::ui::MainWindow window(*db);
      window.show();
      QApplication::processEvents();
      starts.push_back(msSince(start));

      auto* next = window.centralWidget()->findChild<QPushButton*>("按钮_下一页");
      auto* previous = window.centralWidget()->findChild<QPushButton*>("按钮_上一页");
      auto switchPage = [&](QPushButton* button) {
        const auto began = Clock::now();
        button->click();
        QApplication::processEvents();
        pages.push_back(msSince(began));
      };
      switchPage(next);
      switchPage(previous);
      auto* header = window.grid()->horizontalHeader();
      for (int column : {8, 0 /* tick column: no change */, 1}) {
        if (column == 0) continue;
        const auto began = Clock::now();
        emit header->sectionClicked(column);
        QApplication::processEvents();
        sorts.push_back(msSince(began));
      }
    }
    const double first = median(starts), page = median(pages), sort = median(sorts);
    met = met && first <= 1500 && page <= 150;
    std::printf("| %d | %.1f | %.1f | %.1f |\n", pageSize, first, page, sort);
  }
  const long rssMb = statusKb("VmHWM:") / 1024;
  std::printf("\npeak resident memory: %ld MB (target ≤ 200 MB)\n", rssMb);
  std::printf("targets: first page ≤ 1500 ms, page or sort switch ≤ 150 ms on indexed keys: %s\n",
              met && rssMb <= 200 ? "met" : "MISSED");
  return met && rssMb <= 200 ? 0 : 1;
}
