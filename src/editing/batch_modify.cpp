#include "editing/batch_modify.h"

#include <cmath>

#include "store/batch_update.h"
#include "store/derived_fields.h"
#include "support/domain_syntax.h"
#include "support/numbers.h"

namespace pelmora {
namespace {

// Domains committed together; a stop request is honoured between chunks.
constexpr std::size_t kChunkSize = 500;
constexpr double kZeroTolerance = 0.0000001;

// The choices read once for the whole run.
struct PreparedChoices {
  std::optional<double> oneTimeCost;
  std::optional<double> renewalCost;
  std::optional<double> reservePrice;
  std::optional<double> askingPrice;
  std::optional<double> finalPrice;
  std::string refused;  // why no domain can be modified with these values
};

std::string notANumberReason(DomainField field, const std::string& text) {
  return std::string(columnName(field)) + " [" + text + "] 不是数字";
}

// A cost reads its leading number; "nan", "inf" or an overflow are refused.
std::optional<double> costValue(const std::optional<std::string>& text, DomainField field,
                                std::string& refused) {
  if (!text) return std::nullopt;
  const double value = text->empty() ? 0.0 : roundMoney(readNumber(*text));
  if (!std::isfinite(value)) {
    if (refused.empty()) refused = notANumberReason(field, *text);
    return 0.0;
  }
  return value;
}

// A price must read as a number; empty reads 0.
std::optional<double> priceValue(const std::optional<std::string>& text, DomainField field,
                                 std::string& refused) {
  if (!text) return std::nullopt;
  const auto number = parseNumberOrBlank(*text);
  if (!number && refused.empty()) {
    refused = notANumberReason(field, *text);
  }
  return number.value_or(0.0);
}

PreparedChoices prepare(const BatchModifyChoices& choices) {
  PreparedChoices prepared;
  prepared.oneTimeCost = costValue(choices.oneTimeCost, DomainField::OneTimeCost, prepared.refused);
  prepared.renewalCost = costValue(choices.renewalCost, DomainField::RenewalCost, prepared.refused);
  prepared.reservePrice =
      priceValue(choices.reservePrice, DomainField::ReservePrice, prepared.refused);
  prepared.askingPrice =
      priceValue(choices.askingPrice, DomainField::AskingPrice, prepared.refused);
  prepared.finalPrice = priceValue(choices.finalPrice, DomainField::FinalPrice, prepared.refused);
  return prepared;
}

SqlValue dateValue(const Date& date) { return formatDate(date); }

// The columns one domain gets, from the choices and its stored amounts.
std::vector<ColumnValue> columnsFor(const BatchModifyChoices& choices,
                                    const PreparedChoices& values, const StoredAmounts& stored) {
  std::vector<ColumnValue> columns;
  if (choices.registrar) appendColumn(columns, DomainField::Registrar, *choices.registrar);
  if (choices.domainType) appendColumn(columns, DomainField::DomainType, *choices.domainType);
  if (choices.category) appendColumn(columns, DomainField::Category, *choices.category);
  if (values.oneTimeCost) appendColumn(columns, DomainField::OneTimeCost, *values.oneTimeCost);
  if (values.renewalCost) appendColumn(columns, DomainField::RenewalCost, *values.renewalCost);

  const double oneTimeCost = values.oneTimeCost.value_or(stored.oneTimeCost);
  const double renewalCost = values.renewalCost.value_or(stored.renewalCost);
  const bool costsChosen = values.oneTimeCost || values.renewalCost;
  if (costsChosen) {
    const double actualCost = oneTimeCost + renewalCost;
    appendColumn(columns, DomainField::ActualCost, actualCost);
    if (!values.finalPrice && std::fabs(stored.finalPrice) > kZeroTolerance) {
      appendColumn(columns, DomainField::Profit, roundMoney(stored.finalPrice - actualCost));
    }
  }
  bool soldNow = stored.sold;
  if (values.finalPrice) {
    const DerivedAmounts amounts = deriveAmounts(oneTimeCost, renewalCost, *values.finalPrice);
    soldNow = amounts.sold;
    appendColumn(columns, DomainField::FinalPrice, *values.finalPrice);
    appendColumn(columns, DomainField::Sold, std::int64_t{amounts.sold ? 1 : 0});
    appendColumn(columns, DomainField::Profit, amounts.profit);
  }
  if (values.reservePrice) appendColumn(columns, DomainField::ReservePrice, *values.reservePrice);
  if (values.askingPrice) appendColumn(columns, DomainField::AskingPrice, *values.askingPrice);
  if (choices.note) {
    appendColumn(columns, DomainField::Note,
                 choices.note->empty() ? std::string(" ") : *choices.note);
  }
  if (choices.purchasedOn)
    appendColumn(columns, DomainField::PurchasedOn, dateValue(*choices.purchasedOn));

  // An unsold domain has no sale date; a chosen one is kept only for a sold one.
  if (values.finalPrice && !soldNow) {
    appendColumn(columns, DomainField::SoldOn, std::monostate{});
  } else if (choices.soldOn) {
    appendColumn(columns, DomainField::SoldOn,
                 soldNow ? dateValue(*choices.soldOn) : SqlValue(std::monostate{}));
  }
  return columns;
}

// Modifies one domain inside the chunk's transaction.
BatchModifyItem modifyOne(NamedRowWriter& writer, const BatchModifyChoices& choices,
                          const PreparedChoices& values, std::size_t index,
                          const std::string& domain) {
  BatchModifyItem item;
  item.index = index;
  item.domain = domain;
  if (domain.empty()) {
    item.why = kReasonBadFormat;
    return item;
  }
  if (!isDomainName(domain)) {
    item.why = kReasonBadFormat;
    return item;
  }
  if (!values.refused.empty()) {
    item.why = values.refused;
    return item;
  }
  const StoredAmountsRead read = writer.storedAmounts(domain);
  if (!read.ok) {
    item.why = read.error;
    return item;
  }
  if (!read.amounts) {
    item.why = kReasonNoSuchDomain;
    return item;
  }
  NamedRowUpdate update = writer.updateColumns(domain, columnsFor(choices, values, *read.amounts));
  item.ok = update.ok;
  if (update.ok) {
    item.stored = std::move(update.stored);
  } else {
    item.why = std::move(update.error);
  }
  return item;
}

}  // namespace

bool BatchModifyChoices::nothingChosen() const {
  return !registrar && !domainType && !category && !oneTimeCost && !renewalCost && !reservePrice &&
         !askingPrice && !finalPrice && !note && !purchasedOn && !soldOn;
}

BatchModifyResult runBatchModify(DomainDatabase& db, const std::vector<std::string>& domains,
                                 const BatchModifyChoices& choices,
                                 const BatchModifyItemSink& onItem,
                                 const BatchModifyProgress& progress, std::stop_token stop) {
  BatchModifyResult result;
  result.total = domains.size();
  if (choices.nothingChosen()) {
    result.nothingChosen = true;
    return result;
  }
  const PreparedChoices values = prepare(choices);

  std::size_t done = 0;
  const auto report = [&](BatchModifyItem& item) {
    ++(item.ok ? result.succeeded : result.failed);
    if (onItem) onItem(item);
    ++done;
  };

  std::vector<BatchModifyItem> items;
  items.reserve(kChunkSize);
  for (std::size_t first = 0; first < domains.size(); first += kChunkSize) {
    if (stop.stop_requested()) {
      result.cancelled = true;
      break;
    }
    const std::size_t end = std::min(domains.size(), first + kChunkSize);
    items.clear();
    std::string reason;
    bool committed = false;
    if (result.error.empty()) {
      committed = db.transaction(
          [&](SqliteConnection& connection) {
            NamedRowWriter writer(connection);
            for (std::size_t i = first; i < end; ++i) {
              items.push_back(modifyOne(writer, choices, values, i, domains[i]));
              // A failure that ended the transaction takes the chunk with it.
              if (!items.back().ok && !connection.inTransaction()) return false;
            }
            return true;
          },
          &reason);
      if (!committed) result.error = "the changes could not be stored: " + reason;
    }
    if (!committed) {
      // Nothing of this chunk was stored, and the run cannot go on.
      items.clear();
      for (std::size_t i = first; i < end; ++i) {
        items.push_back({i, domains[i], false, {}, result.error});
      }
    }
    for (BatchModifyItem& item : items) report(item);
    // Progress is what has been committed (or has failed for good).
    if (progress) progress(done, result.total);
  }
  return result;
}

std::string batchModifyProgressText(std::size_t done, std::size_t total) {
  return "进度: [ " + std::to_string(done) + " / " + std::to_string(total) + " ]";
}

std::string batchModifyResultText(const BatchModifyResult& result) {
  const std::string counts = "总数[ " + std::to_string(result.total) + " ], 成功[ " +
                             std::to_string(result.succeeded) + " ], 失败[ " +
                             std::to_string(result.failed) + " ]";
  if (!result.cancelled && result.error.empty()) return "修改完毕: " + counts;
  const std::size_t notDone = result.total - result.succeeded - result.failed;
  return (result.cancelled ? "已取消: " : "修改中断: ") + counts + ", 未修改[ " +
         std::to_string(notDone) + " ]";
}

}  // namespace pelmora
