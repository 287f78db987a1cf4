#pragma once

// One page of the listing: the rows' records and display texts plus per-cell
// state (tick, text colour, background, bold, read-only).

#include <QAbstractTableModel>
#include <QColor>
#include <array>
#include <optional>
#include <vector>

#include "store/domain_record.h"

namespace pelmora::ui {

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

  QString cellText(int row, int column) const;
  void setCellText(int row, int column, const QString& text);
  bool isSold(int row) const { return rows_[static_cast<std::size_t>(row)].sold; }
  void setSold(int row, bool sold);
  bool isTicked(int row) const;
  void setTicked(int row, bool ticked);
  void setAllTicked(bool ticked);
  void invertTicks();
  std::vector<int> tickedRows() const;
  const DomainRecord& record(int row) const { return rows_[row].record; }
  // After an edit was stored: the row holds `record`, and the cells of
  // `shown` show its values.
  void setStoredValues(int row, const DomainRecord& record, const std::vector<DomainField>& shown);

  void setRowTextColour(int row, const QColor& colour);
  void setCellLook(int row, int column, const QColor& text, const QColor& background, bool bold);
  std::optional<QColor> cellBackground(int row, int column) const;
  void setRowBold(int row, bool bold);
  void setCellReadOnly(int row, int column, bool readOnly);
  bool isCellReadOnly(int row, int column) const;
  // Black text, normal weight, alternating backgrounds again.
  void restoreLook();

 signals:
  // The user finished editing a cell and its text changed.
  void cellEdited(int row, int column, const QString& oldText, const QString& newText);

 private:
  struct CellState {
    std::optional<QColor> textColour;
    std::optional<QColor> background;
    bool bold = false;
    bool readOnly = false;
  };
  struct Row {
    DomainRecord record;
    std::array<QString, kDomainFieldCount> texts;
    bool ticked = false;
    bool sold = false;
    std::array<CellState, kDomainFieldCount> cells;
  };

  void rowChanged(int row);

  std::vector<Row> rows_;
};

}  // namespace pelmora::ui
