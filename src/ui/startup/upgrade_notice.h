#pragma once

// The note shown while an older database is upgraded on opening: building its
// new indexes holds the event loop for a minute or more at a million domains.

#include <QWidget>
#include <memory>

namespace pelmora::ui {

inline constexpr const char* kUpgradeNoticeText =
    "正在升级数据库：先备份，再建立索引。\n文件较大时需要一分钟或更久，请稍候……";

// Shows the note and paints it at once; it stays until the result is dropped.
std::unique_ptr<QWidget> showUpgradeNotice();

}  // namespace pelmora::ui
