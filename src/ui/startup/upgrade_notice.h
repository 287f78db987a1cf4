#pragma once

// Opening the database for the window, and the note shown meanwhile while an
// older file is upgraded: at a million domains its backup and new indexes
// take a minute or more.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "store/schema.h"

namespace pelmora::ui {

inline constexpr const char* kUpgradeNoticeText =
    "正在升级数据库：先备份，再建立索引。\n文件较大时需要一分钟或更久，请稍候……";

// Shows the note, centred on `above` (the splash window) and on top of it;
// it stays until the result is dropped.
std::unique_ptr<QWidget> showUpgradeNotice(QWidget* above = nullptr);

// Opens and, if need be, upgrades the database; calls the notice before an
// upgrade starts (see openCurrentDatabase).
using DatabaseOpen =
    std::function<std::unique_ptr<DomainDatabase>(const UpgradeNotice& notice, std::string* error)>;

// Runs `open` on a worker thread while this thread's event loop goes on, so
// the windows paint and respond; when it says an upgrade starts, the note
// appears above `above`, and it goes when the open is done. The database then
// belongs to this thread. A failure is shown as kOpenFailureMessage with the
// reason below it: nullptr, the reason in `error`.
std::unique_ptr<DomainDatabase> openDatabaseForWindow(const DatabaseOpen& open, QWidget* above,
                                                      std::string* error);

}  // namespace pelmora::ui
