#include "store/forecast_queries.h"

namespace pelmora {
namespace {

// The condition's own fragments and ours, joined.
std::string whereWith(const SqlCondition& condition, std::string_view ours) {
  if (condition.empty()) return " WHERE " + std::string(ours);
  return " WHERE (" + condition.sql + ") and " + std::string(ours);
}

SqlParams paramsWith(const SqlCondition& condition, SqlParams ours) {
  SqlParams params = condition.params;
  params.insert(params.end(), ours.begin(), ours.end());
  return params;
}

}  // namespace

std::string_view forecastGroupColumn(ForecastGroup group) {
  switch (group) {
    case ForecastGroup::Registrar:
      return "注册商";
    case ForecastGroup::Suffix:
      return "后缀";
    case ForecastGroup::Category:
      break;
  }
  return "自定义分类";
}

Result<std::vector<RenewalCell>> renewalCells(DomainDatabase& db, const SqlCondition& condition,
                                              ForecastGroup group, const Date& from,
                                              const Date& until) {
  // The column name comes from the fixed list above, never from the caller.
  const std::string column(forecastGroupColumn(group));
  const std::string sql =
      "SELECT coalesce(" + column +
      ",''), CASE WHEN 到期时间 < ? THEN '' ELSE substr(到期时间,1,7) END,"
      " count(*), total(续费成本) FROM 域名" +
      whereWith(condition,
                "出售=0 and 到期时间 IS NOT NULL and 到期时间 < ? and 到期时间 <> '2222-11-11'") +
      " GROUP BY 1, 2 ORDER BY 2, 1";
  std::vector<RenewalCell> cells;
  std::string error;
  const SqlParams params = paramsWith(condition, {formatDate(until)});
  SqlParams all{formatDate(from)};
  all.insert(all.end(), params.begin(), params.end());
  const bool ok = db.query(
      sql, all,
      [&](const SqlRow& row) {
        cells.push_back({row.text(0), row.text(1), row.integer(2), row.real(3)});
      },
      &error);
  if (!ok) return Failure{error};
  return cells;
}

Result<std::vector<SalesCell>> salesCells(DomainDatabase& db, const SqlCondition& condition,
                                          ForecastGroup group, const Date& from, const Date& to) {
  const std::string column(forecastGroupColumn(group));
  const std::string sql = "SELECT coalesce(" + column + ",''), total(最终售价) FROM 域名" +
                          whereWith(condition, "出售=1 and 出售时间 BETWEEN ? AND ?") +
                          " GROUP BY 1 ORDER BY 1";
  std::vector<SalesCell> cells;
  std::string error;
  const bool ok = db.query(
      sql, paramsWith(condition, {formatDate(from), formatDate(to)}),
      [&](const SqlRow& row) {
        cells.push_back({row.text(0), row.real(1)});
      },
      &error);
  if (!ok) return Failure{error};
  return cells;
}

}  // namespace pelmora
