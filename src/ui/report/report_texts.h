#pragma once

// The report window's captions and messages, in one place.

#include <QString>

namespace pelmora::ui::report_texts {

inline QString title() {
  return QStringLiteral(
      "报表统计  (注:报表功能所有数值统一四舍五入到百分位,并且忽视手续费的计算.仅供参考)");
}
inline QString choiceCaption() { return QStringLiteral("请选择"); }
inline QString to() { return QStringLiteral("至"); }
inline QString unit() { return QStringLiteral("时间单位"); }
inline QString confirm() { return QStringLiteral("确定"); }
inline QString close() { return QStringLiteral("关闭"); }
inline QString totalsCaption() { return QStringLiteral("周期总统计"); }
inline QString tips() {
  return QStringLiteral("提示: 如时间单位选择年,则选择的时间只需要精确到年.选择月份也同理.");
}
// Labels of the seven totals, in the order of reportTotalTexts.
inline constexpr const char* kTotalLabels[] = {"购买总数", "总 成 本", "购买均价", "销售总数",
                                               "总销售额", "销售均价", "总 利 润"};
inline constexpr const char* kTotalKeys[] = {"购买总数", "总成本",   "购买均价", "销售总数",
                                             "总销售额", "销售均价", "总利润"};

inline QString hintCaption() { return QStringLiteral("提示:"); }
inline QString reportFailed(const QString& reason) {
  return QStringLiteral("统计失败,图表和总计保持原样.\r\n\r\n原因: ") + reason;
}

// Writing the chart and the table out.
inline QString exportButton() { return QStringLiteral("导出"); }
inline QString savePng() { return QStringLiteral("保存图表为 PNG…"); }
inline QString saveSvg() { return QStringLiteral("保存图表为 SVG…"); }
inline QString copyChart() { return QStringLiteral("复制图表"); }
inline QString exportCsv() { return QStringLiteral("导出表格为 CSV…"); }
inline QString pngFilter() { return QStringLiteral("PNG 图片 (*.png)"); }
inline QString svgFilter() { return QStringLiteral("SVG 图片 (*.svg)"); }
inline QString csvFilter() { return QStringLiteral("CSV 表格 (*.csv)"); }
inline QString proposedName() { return QStringLiteral("报表统计"); }
inline QString saved(const QString& path) { return QStringLiteral(" 提示:已保存到 ") + path; }
inline QString copied() { return QStringLiteral(" 提示:图表已复制到剪贴板"); }
inline QString saveFailed(const QString& path, const QString& reason) {
  return QStringLiteral("无法写入文件:\r\n") + path + QStringLiteral("\r\n\r\n原因: ") + reason;
}

}  // namespace pelmora::ui::report_texts
