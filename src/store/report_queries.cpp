#include "store/report_queries.h"

namespace pelmora {
namespace {

// Each side of the tally reads the date and amount of every row in its range
// and adds them up here, per period and for the range, in one pass. A wide
// range is read by scanning the table: fetching half a million rows one by
// one through a date index is many times slower than one pass over the
// table. A narrow range goes through the index.
constexpr std::int64_t kScanShare = 20;  // scan when more than 1/20 of the rows are in range

struct Side {
  std::string_view countInRange;  // index-only count of the rows in range, up to ?3
  std::string_view byIndex;       // date and amount of the rows, through the date index
  std::string_view byScan;        // the same by scanning the table
};

constexpr Side kPurchases{
    "SELECT count(*) FROM (SELECT 1 FROM 域名 WHERE 购买时间 BETWEEN ?1 AND ?2 LIMIT ?3)",
    "SELECT 购买时间, 实际成本 FROM 域名 WHERE 购买时间 BETWEEN ?1 AND ?2",
    "SELECT 购买时间, 实际成本 FROM 域名 NOT INDEXED WHERE 购买时间 BETWEEN ?1 AND ?2"};
// "+出售" keeps the planner off the index on 出售, which holds a quarter of
// the table under one key; the date index is the narrow one.
constexpr Side kSales{
    "SELECT count(*) FROM (SELECT 1 FROM 域名 WHERE 出售时间 BETWEEN ?1 AND ?2 LIMIT ?3)",
    "SELECT 出售时间, 最终售价 FROM 域名 WHERE +出售=1 AND 出售时间 BETWEEN ?1 AND ?2",
    "SELECT 出售时间, 最终售价 FROM 域名 NOT INDEXED WHERE 出售=1 AND 出售时间 BETWEEN ?1 AND ?2"};
// Both sides wide: one scan serves both. A row's date is given only where it
// counts for that side.
constexpr std::string_view kBothByScan =
    "SELECT CASE WHEN 购买时间 BETWEEN ?1 AND ?2 THEN 购买时间 END, 实际成本,"
    " CASE WHEN 出售=1 AND 出售时间 BETWEEN ?1 AND ?2 THEN 出售时间 END, 最终售价"
    " FROM 域名 NOT INDEXED"
    " WHERE 购买时间 BETWEEN ?1 AND ?2 OR (出售=1 AND 出售时间 BETWEEN ?1 AND ?2)";
constexpr std::string_view kAllRows = "SELECT count(*) FROM 域名";

// count(*), and sum()/avg() over the non-null amounts, as SQL computes them.
struct Accumulator {
  std::int64_t rows = 0;
  std::int64_t amounts = 0;
  double sum = 0;

  void add(const SqlRow& row, int amountColumn) {
    ++rows;
    if (row.isNull(amountColumn)) return;
    ++amounts;
    sum += row.real(amountColumn);
  }
  std::optional<double> total() const {
    return amounts > 0 ? std::optional<double>(sum) : std::nullopt;
  }
  std::optional<double> average() const {
    return amounts > 0 ? std::optional<double>(sum / static_cast<double>(amounts)) : std::nullopt;
  }
};

class SideTally {
 public:
  explicit SideTally(std::size_t keyLength) : keyLength_(keyLength) {}
  SideTally(const SideTally&) = delete;
  SideTally& operator=(const SideTally&) = delete;

  // Adds a row whose date (in `dateColumn`) lies in the range.
  void add(const SqlRow& row, int dateColumn, int amountColumn) {
    range_.add(row, amountColumn);
    const std::string key = row.text(dateColumn).substr(0, keyLength_);
    // Rows come in date order through an index: most share the last key.
    if (last_ == periods_.end() || last_->first != key) last_ = periods_.try_emplace(key).first;
    last_->second.add(row, amountColumn);
  }
  const Accumulator& range() const { return range_; }
  const std::map<std::string, Accumulator>& periods() const { return periods_; }

 private:
  std::size_t keyLength_;
  Accumulator range_;
  std::map<std::string, Accumulator> periods_;
  std::map<std::string, Accumulator>::iterator last_ = periods_.end();
};

struct RangeRead {
  DomainDatabase& db;
  const SqlParams& range;
  std::string* error;

  // Whether the side's rows are better read by a scan; nullopt on failure.
  std::optional<bool> scans(const Side& side, std::int64_t allRows) const {
    // Counting stops once the share is reached.
    const std::int64_t enough = allRows / kScanShare + 1;
    SqlParams params = range;
    params.emplace_back(enough);
    const auto inRange = db.count(side.countInRange, params, error);
    if (!inRange) return std::nullopt;
    return *inRange >= enough;
  }

  bool readSide(const Side& side, bool scan, SideTally& tally) const {
    return db.query(
        scan ? side.byScan : side.byIndex, range, [&](const SqlRow& row) { tally.add(row, 0, 1); },
        error);
  }

  bool readBoth(SideTally& purchases, SideTally& sales) const {
    return db.query(
        kBothByScan, range,
        [&](const SqlRow& row) {
          if (!row.isNull(0)) purchases.add(row, 0, 1);
          if (!row.isNull(2)) sales.add(row, 2, 3);
        },
        error);
  }
};

}  // namespace

std::string periodKeyOf(const Date& date, PeriodKey key) {
  return formatDate(date).substr(0, static_cast<std::size_t>(key));
}

Result<TradeTally> tallyTrades(DomainDatabase& db, const Date& first, const Date& last,
                               PeriodKey key) {
  const SqlParams range{formatDate(first), formatDate(last)};
  SideTally purchases(static_cast<std::size_t>(key));
  SideTally sales(static_cast<std::size_t>(key));
  std::string reason;
  std::string snapshotReason;
  const RangeRead read{db, range, &reason};
  const bool ok = db.readTransaction(
      [&](SqliteConnection&) {
        const auto allRows = db.count(kAllRows, {}, &reason);
        if (!allRows) return false;
        const auto scanPurchases = read.scans(kPurchases, *allRows);
        const auto scanSales = scanPurchases ? read.scans(kSales, *allRows) : std::nullopt;
        if (!scanSales) return false;
        if (*scanPurchases && *scanSales) return read.readBoth(purchases, sales);
        return read.readSide(kPurchases, *scanPurchases, purchases) &&
               read.readSide(kSales, *scanSales, sales);
      },
      &snapshotReason);
  if (!ok) return Failure{reason.empty() ? snapshotReason : reason};
  TradeTally tally;
  const auto fillPurchases = [](TradeSums& sums, const Accumulator& bought) {
    sums.bought = bought.rows;
    sums.purchaseCost = bought.total();
    sums.purchaseAverage = bought.average();
  };
  const auto fillSales = [](TradeSums& sums, const Accumulator& sold) {
    sums.sold = sold.rows;
    sums.salesAmount = sold.total();
  };
  fillPurchases(tally.range, purchases.range());
  fillSales(tally.range, sales.range());
  for (const auto& [period, bought] : purchases.periods()) {
    fillPurchases(tally.periods[period], bought);
  }
  for (const auto& [period, sold] : sales.periods()) fillSales(tally.periods[period], sold);
  return tally;
}

}  // namespace pelmora
