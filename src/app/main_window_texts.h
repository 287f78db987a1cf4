#pragma once

// The main window's messages and status texts, in one place.

#include <QString>

#include "store/file_check.h"

namespace pelmora::ui::texts {

inline QString dataLoaded() { return QStringLiteral(" 提示:数据加载完毕!"); }
inline QString reading() { return QStringLiteral("正在读取…"); }
inline QString readFailed(const QString& reason) {
  return QStringLiteral("读取数据失败,列表保持原样.\r\n\r\n原因: ") + reason;
}
// The file failed the check before writing (store/file_check).
inline QString damagedFile(const QString& reason) {
  return QString::fromUtf8(kDamagedFileMessage.data(),
                           static_cast<qsizetype>(kDamagedFileMessage.size())) +
         QStringLiteral("\r\n\r\n原因: ") + reason;
}
inline QString pageSizeNotSaved(const QString& reason) {
  return QStringLiteral("每页数量保存失败.\r\n\r\n原因: ") + reason;
}
inline QString expiryCheckFailed(const QString& reason) {
  return QStringLiteral(" 提示:到期检测失败: ") + reason;
}
inline QString copied(const QString& domain) {
  return QStringLiteral(" 提示: 复制 [ ") + domain + QStringLiteral(" ] 成功!");
}
inline QString gridMenuDomain(const QString& domain) {
  return QStringLiteral("当前欲操作 [ ") + domain + QStringLiteral(" ]");
}
inline QString gridMenuIdle() { return QStringLiteral("当前无其他任务,可使用以上功能."); }
inline QString gridMenuBusy(const QString& running) {
  return QStringLiteral("正在更新 [ ") + running + QStringLiteral(" ] 时间,请稍后.");
}
inline QString editStored(const QString& domain) {
  return QStringLiteral(" 提示: 修改 [") + domain + QStringLiteral("]  成功!");
}
// `reason`: the database's, when it refused the write.
inline QString editRefused(const QString& domain, const QString& reason = {}) {
  return QStringLiteral(" 提示: 修改 [") + domain +
         (reason.isEmpty() ? QStringLiteral("]  失败! 请检查字段是否填写正确!")
                           : QStringLiteral("]  失败! ") + reason);
}
inline QString useCachePrompt() {
  return QStringLiteral("是否使用缓存数据!\r\n\r\n一般选择 [是] ,提高查询速度!");
}
inline QString useCacheCaption() { return QStringLiteral("请选择"); }
inline QString batchDoneCaption() { return QStringLiteral("提示!"); }
inline QString noTrayMinimised() { return QStringLiteral(" 提示:没有系统托盘,窗口已最小化!"); }

}  // namespace pelmora::ui::texts
