#pragma once

// One page of the listing: the rows' records and display texts plus each row's
// state (tick, edit outcome, date-update outcome) and read-only cells. The
// colours and weights the grid shows follow from the states; the two date
// cells' tooltip tells the row's last lookup.

#include <QAbstractTableModel>
#include <QColor>
#include <array>
#include <optional>
#include <vector>

#include "store/domain_record.h"

namespace pelmora::ui {

// The outcome of the last change of a row: its text turns blue (stored) or
// red (refused). An in-place edit also sets the row in bold, for good; a
// batch modify only colours it.
enum class EditState { Untouched, Stored, Refused, BatchStored, BatchRefused };
// The outcome of the last date update of a row: its two date cells turn
// green with blue text (stored) or light red (failed), in bold.
enum class DateState { Untouched, Updated, Failed };

class PageModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kTickColumn = 0;
  static constexpr int kNameColumn = 1;
  static constexpr int kSoldColumn = 16;
  static const QColor kRowWhite;
  static const QColor kRowGrey;

  explicit PageModel(QObject* parent = nullptr);

  void setRows(const std::vector<DomainRecord>& records);
  void clearRows();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

  QString cellText(int row, int column) const;
  bool isSold(int row) const { return rows_[static_cast<std::size_t>(row)].sold; }
  bool isTicked(int row) const;
  void setTicked(int row, bool ticked);
  void setAllTicked(bool ticked);
  void invertTicks();
  std::vector<int> tickedRows() const;
  const DomainRecord& record(int row) const { return rows_[row].record; }
  // After an edit was stored: the row holds `record`, and the cells of
  // `shown` show its values. A record without a last lookup (an edit reads
  // none back) keeps the row's.
  void setStoredValues(int row, const DomainRecord& record, const std::vector<DomainField>& shown);

  void setEditState(int row, EditState state);
  EditState editState(int row) const { return rows_[static_cast<std::size_t>(row)].edit; }
  void setDateState(int row, DateState state);
  DateState dateState(int row) const { return rows_[static_cast<std::size_t>(row)].dates; }
  // The background a cell shows when its state gives it one.
  std::optional<QColor> cellBackground(int row, int column) const;
  void setCellReadOnly(int row, int column, bool readOnly);
  bool isCellReadOnly(int row, int column) const;
  // Every row untouched again: black text, normal weight, alternating
  // backgrounds.
  void restoreLook();

 signals:
  // The user finished editing a cell and its text changed.
  void cellEdited(int row, int column, const QString& oldText, const QString& newText);

 private:
  struct Row {
    DomainRecord record;
    std::array<QString, kDomainFieldCount> texts;
    bool ticked = false;
    bool sold = false;
    EditState edit = EditState::Untouched;
    bool bold = false;  // edited in place since the last restoreLook
    DateState dates = DateState::Untouched;
    std::array<bool, kDomainFieldCount> readOnly{};
  };

  void rowChanged(int row);
  std::optional<QColor> textColour(const Row& row, int column) const;
  bool isBold(const Row& row, int column) const;

  std::vector<Row> rows_;
};

}  // namespace pelmora::ui
