#pragma once

// A main window over a fresh database, with scripted message boxes.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "store/settings_store.h"
#include "test_db.h"
#include "ui/listing_grid.h"
#include "ui/toolkit.h"

namespace pelmora::testing {

inline const Date kTestToday{std::chrono::year{2017}, std::chrono::month{3}, std::chrono::day{15}};

class MainWindowTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    ui::Toolkit::startScripting();
    ui::Toolkit::setTrayAvailable(true);
  }
  void TearDown() override {
    window_.reset();
    ui::Toolkit::stopScripting();
    QApplication::processEvents();
  }

  void setSetting(std::string_view key, const std::string& value) {
    ASSERT_TRUE(SettingsStore(db()).write(key, value));
  }

  void addNumbered(int count) {
    std::vector<DomainRecord> records;
    for (int i = 1; i <= count; ++i) {
      records.push_back(makeDomain("n" + std::to_string(i) + ".com",
                                   {{DomainField::AskingPrice, std::to_string(i % 7)}}));
    }
    add(records);
  }

  ui::MainWindow& open(const QString& statusText = {}, const QString& placesFile = {},
                       std::optional<std::chrono::milliseconds> autoRefreshDelay = {}) {
    window_ = std::make_unique<ui::MainWindow>(
        db(), ui::MainWindowOptions{
                  Clock::fixed(kTestToday), statusText, {}, placesFile, autoRefreshDelay});
    window_->show();
    waitForPage();
    return *window_;
  }

  // Spins the event loop until the window has shown the answer of its latest
  // page load or count.
  void waitForPage() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window_->isLoading(); }, 10000))
        << "the page load did not finish";
  }

  // Controls of the main window itself (tool windows reuse some names).
  template <typename T>
  T* control(const QString& name) {
    T* found = window_->centralWidget()->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  template <typename T>
  T* filterControl(const QString& name) {
    T* found = window_->filterWindow()->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QAction* menuAction(const QString& menuName, const QString& caption) {
    auto* menu = window_->menuBar()->findChild<QMenu*>(menuName);
    if (menu == nullptr) menu = window_->findChild<QMenu*>(menuName);
    EXPECT_NE(menu, nullptr) << menuName.toStdString();
    for (QAction* action : menu->actions()) {
      if (action->text() == caption) return action;
    }
    ADD_FAILURE() << "no item " << caption.toStdString();
    return nullptr;
  }

  ui::PageModel& model() { return *window_->grid()->pageModel(); }
  QString caption() { return control<QGroupBox>("分组框_翻页")->title(); }

  std::unique_ptr<ui::MainWindow> window_;
};

// An editing window of the main window (batch add, advanced modify): opened
// by its button, its parts found by objectName, a run waited for, closed by
// its 关闭 button.
template <typename W>
class EditingWindowTest : public MainWindowTest {
 protected:
  W& openByButton(const char* button) {
    QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton);
    tool_ = window_->findChild<W*>();
    EXPECT_NE(tool_, nullptr);
    return *tool_;
  }

  template <typename T>
  T* part(const QString& name) {
    T* found = tool_->template findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QPushButton* confirm() { return part<QPushButton>("按钮_确认"); }
  QString status() { return part<QLabel>("状态条1_提示")->text(); }

  // Clicks 确认 and waits for the result; the button is off meanwhile.
  void runAndWait(int timeoutMs = 60000) {
    QSignalSpy ended(tool_, &W::runEnded);
    QTest::mouseClick(confirm(), Qt::LeftButton);
    EXPECT_FALSE(confirm()->isEnabled());
    ASSERT_TRUE(ended.wait(timeoutMs));
    EXPECT_TRUE(confirm()->isEnabled());
  }

  void closeTool() {
    QPointer<W> going = tool_;
    QTest::mouseClick(part<QPushButton>("按钮_关闭"), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(going.isNull());
    tool_ = nullptr;
    waitForPage();
  }

  W* tool_ = nullptr;
};

}  // namespace pelmora::testing
