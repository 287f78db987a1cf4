#pragma once

// The advanced-modify window's captions, help, examples and messages.

#include <QString>

namespace pelmora::ui::advanced_modify_texts {

inline QString title() { return QStringLiteral("高级修改"); }
inline QString pendingCaption() { return QStringLiteral("待修改列表"); }
inline QString failuresCaption() { return QStringLiteral("修改失败列表"); }
inline QString tipsCaption() { return QStringLiteral("友情提示"); }
inline QString confirm() { return QStringLiteral("确认"); }
inline QString close() { return QStringLiteral("关闭"); }

inline QString tips() {
  return QStringLiteral(
      "1) 高级修改的目的: 不同的域名的某一个字段可能是不一样的值.那么就需要用到这个功能."
      "支持修改的字段如下:(且只能是以下字段)\r\n\r\n\r\n\r\n"
      "2) 格式:域名,字段1=值1,字段2=值2,字段3=值3,字段n=值n\r\n\r\n"
      "   注1:域名是必须字段,且必须排第一位.一行一个域名\r\n\r\n"
      "   注2:半角的逗号为分割符,所以值属性里面请不要使用逗号,或者其他符号.\r\n"
      "   \r\n"
      "   注3:注册商,域名类型,自定义分类 这3个字段需要是分类设置里面存在的.");
}
// The help line the field list stands below.
inline constexpr int kFieldListLine = 2;

inline QString examples() {
  return QStringLiteral(
      "qinghe.com,注册商=西数,备注=已做站\r\n"
      "qinghe.net,注册商=爱名,注册时间=2013-06-10\r\n"
      "qinghe.cn,注册商=西数,自定义分类=三拼");
}

inline QString messageCaption() { return QStringLiteral("提示:"); }
inline QString nothingToModify() { return QStringLiteral("没有要修改的域名"); }
inline QString notStored(const QString& reason) {
  return QStringLiteral("修改无法保存, 之后的域名没有修改.\r\n\r\n原因: ") + reason;
}

inline QString closeWhileRunning() {
  return QStringLiteral(
      "高级修改正在进行, 要停止吗?\r\n\r\n"
      "停止: 已修改的域名保持修改, 其余的不再修改, 然后关闭窗口.\r\n"
      "继续运行: 窗口保持打开, 修改继续进行.");
}
inline QString stopRun() { return QStringLiteral("停止"); }
inline QString keepRunning() { return QStringLiteral("继续运行"); }
inline QString stopping() { return QStringLiteral("正在停止, 停止后关闭窗口…"); }

}  // namespace pelmora::ui::advanced_modify_texts
