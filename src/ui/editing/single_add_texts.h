#pragma once

// The single-add window's captions, help and colours, in one place.

#include <QColor>
#include <QString>

namespace pelmora::ui::single_add_texts {

inline QString title() { return QStringLiteral("单个添加域名"); }
inline QString requiredCaption() { return QStringLiteral("必填字段"); }
inline QString optionalCaption() { return QStringLiteral("可选字段"); }
inline QString tipsCaption() { return QStringLiteral("友情提示"); }
inline QString tips() {
  return QStringLiteral(
      "1) 填写域名后. 后缀,长度,注册到期时间都会自动获取.\r\n\r\n"
      "2) 如最终售价不为空,则代表该域名已售出.并可以编辑出售日期.\r\n");
}
inline QString fetching() { return QStringLiteral("获取时间Ing..."); }
inline QString fetchFailed() { return QStringLiteral("获取失败..."); }
inline QString fetchDone() { return QStringLiteral("获取成功..."); }
inline QString fetchAgain() { return QStringLiteral("重新获取时间"); }
inline QString sameAsRegistered() { return QStringLiteral("同注册时间"); }
inline QString soldOn() { return QStringLiteral("出售时间"); }
inline QString confirm() { return QStringLiteral("确认"); }
inline QString close() { return QStringLiteral("关闭"); }

inline QColor fetchingColour() { return {88, 48, 224}; }
inline QColor fetchFailedColour() { return {163, 19, 7}; }
inline QColor fetchDoneColour() { return {85, 170, 0}; }

}  // namespace pelmora::ui::single_add_texts
