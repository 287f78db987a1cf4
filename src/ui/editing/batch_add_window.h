#pragma once

// 批量添加域名: lines pasted (or dropped in as a text or CSV file) become new
// domains. The run goes to a worker; the window owns it, so closing the
// window during a run asks first: stopping stores nothing of the run, and the
// window goes once the worker has seen the stop.

#include <QByteArray>
#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

#include "editing/batch_add.h"
#include "store/classification_lists.h"
#include "store/domain_database.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QUrl;

namespace pelmora::ui {

class BackgroundJob;
class RunProgress;

class BatchAddWindow : public QDialog {
  Q_OBJECT

 public:
  // `lists` are the classification lists the lines are checked against.
  BatchAddWindow(QWidget* owner, DomainDatabase& db, ClassificationLists lists);
  ~BatchAddWindow() override;

  // From the start of a run until its outcome is shown.
  bool isRunning() const { return running_; }
  // The text of the list box (the draft the main window keeps between
  // showings).
  QString pendingText() const;
  void setPendingText(const QString& text);
  // Loads dropped files: text files into the list, a CSV file (after a
  // confirmation) straight into a run.
  void loadFiles(const QList<QUrl>& urls);

 signals:
  // A run's result is shown and the confirm button is back.
  void runEnded();
  // The window is closing and no run of it is left: new domains may be shown.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  // What a run hands back: its result, or why it could not start at all
  // (`refused`), and anything the user should know besides (`warning`).
  struct Outcome {
    BatchAddResult result;
    std::string refused;
    std::string warning;
  };
  using Work = std::function<Outcome(const BatchProgress&, std::stop_token)>;

  void build();
  void makeJob();
  QWidget* buildTips();
  void confirm();
  void startRun(std::size_t total, Work work);
  void showOutcome(const Outcome& outcome);
  void showResult(const BatchAddResult& result);
  std::optional<QByteArray> readFile(const QString& path);
  void loadTextFile(const QString& path);
  void importCsvFile(const QString& path);
  bool askToStop();
  void tellStoredAnyway();

  DomainDatabase& db_;
  const ClassificationLists lists_;
  QPlainTextEdit* pending_ = nullptr;
  QPlainTextEdit* failures_ = nullptr;
  QGroupBox* pendingGroup_ = nullptr;
  QGroupBox* failuresGroup_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QLabel* status_ = nullptr;
  BackgroundJob* job_ = nullptr;
  RunProgress* progress_ = nullptr;
  bool running_ = false;
  bool closeWhenStopped_ = false;
  // The result of the last run when it stored lines, else empty.
  QString stored_;
};

}  // namespace pelmora::ui
