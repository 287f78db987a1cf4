#pragma once

// One window per database, and a second start brings it forward: the open
// window listens on a local socket named after the database's real path, and a
// program started on the same file asks it to come forward and ends.

#include <QObject>
#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>

class QLocalServer;

namespace pelmora::ui {

// The socket name for a database: the user and a hash of the file's real
// path, so that a link or a relative path to the same file finds the window.
QString beaconName(const std::filesystem::path& database);

// True when a window open on `database` answered and was brought forward.
bool raiseOpenWindow(const std::filesystem::path& database,
                     std::chrono::milliseconds wait = std::chrono::milliseconds(2000));

class WindowBeacon : public QObject {
  Q_OBJECT

 public:
  // Listens for later starts on `database`; each one calls `raise`. A socket
  // left by a window that crashed is replaced.
  WindowBeacon(const std::filesystem::path& database, std::function<void()> raise,
               QObject* parent = nullptr);
  bool isListening() const;

 private:
  void answer();

  QLocalServer* server_;
  std::function<void()> raise_;
};

}  // namespace pelmora::ui
