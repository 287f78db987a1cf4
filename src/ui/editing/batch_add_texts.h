#pragma once

// The batch-add window's captions, help, examples and messages, in one place.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <string>

namespace pelmora::ui::batch_add_texts {

inline QString title() { return QStringLiteral("批量添加域名"); }
inline QString pendingCaption() { return QStringLiteral("待添加列表"); }
inline QString failuresCaption() { return QStringLiteral("添加失败列表"); }
// "待添加列表 [ n ]"
inline QString counted(const QString& caption, std::size_t lines) {
  return caption + QStringLiteral(" [ ") + QString::number(lines) + QStringLiteral(" ]");
}
inline QString tipsCaption() { return QStringLiteral("友情提示"); }
inline QString confirm() { return QStringLiteral("确认"); }
inline QString close() { return QStringLiteral("关闭"); }

inline QString tips() {
  return QStringLiteral(
      "1) 添加格式如下(每个字段用 | 分割,且一行一个域名) , "
      "且注册商,域名类型,自定义分类需要对应软件设置里面的分类.或者为空.\r\n\r\n"
      "   域名|注册商|域名类型|自定义分类|注册时间|到期时间|一次成本|续费成本|预售底价|标价|"
      "最终售价|备注|购买时间|出售时间\r\n\r\n"
      "   例如:\r\n\r\n"
      "2) 如需要导入域名和成本这2个字段,则所有分隔符不能少. 格式如: "
      "域名||||||一次成本|||||||\r\n\r\n"
      "   例如:\r\n\r\n"
      "3) 如您一次性导入很多域名嫌麻烦,可以直接导入整个域名列表,"
      "格式为一行一个域名即可.且只能是域名,不能有其他字段和分隔符\r\n\r\n"
      "   例如:\r\n\r\n"
      "4) 批量添加域名,没有自动获取注册/到期时间功能.");
}
// What stands at the start of the three lines the examples sit beside.
inline QString exampleLead() { return QStringLiteral("   例如:"); }

inline QStringList examples() {
  return {
      QStringLiteral(
          "qinghe.com|西数|3数字|已挂一口价|2016-12-09|2026-12-09|25|400|200000|400000|0|"
          "已建站,自用|2017-1-3|2017-3-15"),
      QStringLiteral("qinghe.net||||||500|||||||"),
      QStringLiteral("qinghe.cn"),
  };
}

inline QString cancelled() { return QStringLiteral("  已取消: 没有添加任何域名."); }
inline QString notStoredStatus() { return QStringLiteral("结果: 保存失败, 没有添加任何域名."); }
inline QString notStored(const QString& reason) {
  return QStringLiteral("添加的域名无法保存, 没有添加任何域名.\r\n\r\n原因: ") + reason;
}
inline QString notImportedStatus() { return QStringLiteral("结果: 没有添加任何域名."); }
inline std::string csvRefused(const std::string& name, const std::string& reason) {
  return "无法导入 CSV 文件 [" + name + "]\r\n\r\n原因: " + reason;
}
// Closing the window while a run goes on.
inline QString closeWhileRunning() {
  return QStringLiteral(
      "批量添加正在进行, 要停止吗?\r\n\r\n"
      "停止并放弃: 停止本次添加, 不添加任何域名, 然后关闭窗口 (待添加列表下次打开时仍在).\r\n"
      "继续运行: 窗口保持打开, 添加继续进行.");
}
inline QString stopAndDiscard() { return QStringLiteral("停止并放弃"); }
inline QString keepRunning() { return QStringLiteral("继续运行"); }
inline QString stopping() { return QStringLiteral("正在停止, 停止后关闭窗口…"); }
// The run had stored its lines before the stop reached it.
inline QString storedBeforeStop(const QString& result) {
  return QStringLiteral("本次添加在停止之前已经完成并保存, 无法放弃.\r\n\r\n") + result;
}
inline QString messageCaption() { return QStringLiteral("提示:"); }
inline QString unreadable(const QString& path, const QString& reason) {
  return QStringLiteral("无法读取文件 [ ") + path + QStringLiteral(" ]\r\n\r\n原因: ") + reason;
}
inline QString undecodable(std::ptrdiff_t line) {
  return QStringLiteral("第 %1 行含有无法识别的字符, 没有载入任何内容.").arg(line);
}
inline QString importCsv(const QString& name) {
  return QStringLiteral("导入 CSV 文件 [") + name + QStringLiteral("] ?");
}

}  // namespace pelmora::ui::batch_add_texts
