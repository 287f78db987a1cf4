#pragma once

// 软件设置: the classification editor and the other settings (custom title,
// expiry reminder, closing to the notification area), which are stored only
// when saved.

#include <QDialog>
#include <QString>

#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "store/program_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace pelmora::ui {

class ClassificationTree;

class SettingsWindow : public QDialog {
  Q_OBJECT

 public:
  // The tree shows `lists`; the other settings are read from `db`.
  SettingsWindow(QWidget* owner, DomainDatabase& db, const ClassificationLists& lists);

 signals:
  // Everything was stored; the main window applies the new settings.
  void saved(const pelmora::ProgramSettings& settings);
  // The window is closing: the lists may have changed.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildOtherSettings();
  void load();
  void save();
  // Shows the reason a setting could not be checked or stored.
  void message(const QString& text);

  DomainDatabase& db_;
  ClassificationTree* tree_ = nullptr;
  QLineEdit* title_ = nullptr;
  QCheckBox* reminder_ = nullptr;
  QLineEdit* period_ = nullptr;
  QComboBox* unit_ = nullptr;
  QCheckBox* closeToTray_ = nullptr;
  QCheckBox* registryFirst_ = nullptr;
  QCheckBox* autoRefresh_ = nullptr;
  QLineEdit* pace_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace pelmora::ui
