#pragma once

// The settings window's captions and messages, in one place.

#include <QString>

namespace pelmora::ui::settings_texts {

inline QString title() { return QStringLiteral("软件设置"); }
inline QString hintCaption() { return QStringLiteral("提示:"); }

// The classification editor.
inline QString classGroup() { return QStringLiteral("分类设置"); }
inline QString nameLabel() { return QStringLiteral("名称"); }
inline QString add() { return QStringLiteral("新建"); }
inline QString rename() { return QStringLiteral("修改"); }
inline QString remove() { return QStringLiteral("删除"); }
inline QString up() { return QStringLiteral("▲"); }
inline QString down() { return QStringLiteral("▼"); }
inline QString emptyName() { return QStringLiteral("名称不能为空!"); }
inline QString nameTooLong(int maxLength) {
  return QStringLiteral("名称不能超过 ") + QString::number(maxLength) + QStringLiteral(" 个字符.");
}
inline QString nameWithParenthesis() {
  return QStringLiteral("名称不能含有 \"(\" : 列表只显示 \"(\" 之前的文字, 名称会被截断.");
}
inline QString addExists(const QString& name) {
  return QStringLiteral("添加失败 : [ ") + name + QStringLiteral(" ] 已存在.");
}
inline QString renameExists(const QString& name) {
  return QStringLiteral("修改失败 : [ ") + name + QStringLiteral(" ] 已存在.");
}
inline QString renameInUse(const QString& old) {
  return QStringLiteral("修改失败 : [ ") + old + QStringLiteral(" ] 中存在域名.");
}
inline QString deleteInUse(const QString& value) {
  return QStringLiteral("分类 [") + value + QStringLiteral("] 中存在域名,不能删除!");
}
inline QString addFailed(const QString& name, const QString& reason) {
  return QStringLiteral("添加失败 : [ ") + name + QStringLiteral(" ]\r\n\r\n原因: ") + reason;
}
inline QString renameFailed(const QString& old, const QString& reason) {
  return QStringLiteral("修改失败 : [ ") + old + QStringLiteral(" ]\r\n\r\n原因: ") + reason;
}
inline QString deleteFailed(const QString& value, const QString& reason) {
  return QStringLiteral("删除失败 : [ ") + value + QStringLiteral(" ]\r\n\r\n原因: ") + reason;
}

// The other settings.
inline QString otherGroup() { return QStringLiteral("其他设置"); }
inline QString customTitle() { return QStringLiteral("自定义标题"); }
inline QString reminderOn() { return QStringLiteral("开启到期提醒"); }
inline QString period() { return QStringLiteral("检测周期"); }
inline QString minutes() { return QStringLiteral("分钟"); }
inline QString hours() { return QStringLiteral("小时"); }
inline QString days() { return QStringLiteral("天"); }
inline QString closeToTray() { return QStringLiteral("关闭自动缩小到任务栏"); }
inline QString registryFirst() { return QStringLiteral("注册局优先"); }
inline QString autoRefresh() { return QStringLiteral("自动更新到期时间"); }
inline QString lookupPace() { return QStringLiteral("查询间隔(毫秒)"); }
inline QString lookupPaceInvalid() {
  return QStringLiteral("查询间隔只能是 0 到 60000 之间的整数(毫秒).");
}
inline QString tips() {
  return QStringLiteral("提示1: 对分类的增,删,改是实时的.\r\n\r\n提示2: 其他的设置需要保存.");
}
inline QString save() { return QStringLiteral("保存设置"); }
inline QString savedCaption() { return QStringLiteral("保存成功"); }
inline QString close() { return QStringLiteral("关 闭"); }
inline QString periodTooShort() { return QStringLiteral("检测周期不能低于10分钟."); }
inline QString periodNotWhole() { return QStringLiteral("检测周期只能是 0 或正整数."); }
inline QString periodTooLong(int max, const QString& unit) {
  return QStringLiteral("检测周期不能超过 ") + QString::number(max) + QStringLiteral(" ") + unit +
         QStringLiteral(".");
}
inline QString saved() { return QStringLiteral("恭喜! 保存设置成功."); }
inline QString readFailed(const QString& reason) {
  return QStringLiteral("读取设置失败.\r\n\r\n原因: ") + reason;
}
inline QString saveFailed(const QString& reason) {
  return QStringLiteral("保存设置失败.\r\n\r\n原因: ") + reason;
}

}  // namespace pelmora::ui::settings_texts
