#include "ui/editing/batch_add_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextLayout>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "editing/csv_import.h"
#include "support/list_lines.h"
#include "support/text_encoding.h"
#include "ui/background_job.h"
#include "ui/editing/batch_add_texts.h"
#include "ui/editing/window_footer.h"
#include "ui/qt_text.h"
#include "ui/run_progress.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

namespace texts = batch_add_texts;

// The lines of the help text the three examples stand beside.
constexpr std::array<int, 3> kExampleLines{4, 8, 12};

QList<QUrl> localFiles(const QMimeData* data) {
  QList<QUrl> files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files << url;
  }
  return files;
}

// The list box: text as usual, and files dropped on it handed to the window.
class ListEdit : public QPlainTextEdit {
 public:
  std::function<void(const QList<QUrl>&)> onFiles;
  std::function<bool()> takesFiles;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (wantsFiles(event->mimeData())) {
      event->acceptProposedAction();
      return;
    }
    QPlainTextEdit::dragEnterEvent(event);
  }
  void dragMoveEvent(QDragMoveEvent* event) override {
    if (wantsFiles(event->mimeData())) {
      event->acceptProposedAction();
      return;
    }
    QPlainTextEdit::dragMoveEvent(event);
  }
  void dropEvent(QDropEvent* event) override {
    if (!wantsFiles(event->mimeData())) {
      QPlainTextEdit::dropEvent(event);
      return;
    }
    event->acceptProposedAction();
    // Later, so that the boxes loading a file may show do not keep the
    // program the file came from waiting inside its drag.
    QMetaObject::invokeMethod(
        this, [this, files = localFiles(event->mimeData())] { onFiles(files); },
        Qt::QueuedConnection);
  }

 private:
  bool wantsFiles(const QMimeData* data) const {
    return onFiles && takesFiles && takesFiles() && !localFiles(data).isEmpty();
  }
};

// The help text, with the example boxes laid over the blank space right of
// its three "例如:" lines.
class TipsPanel : public QWidget {
 public:
  TipsPanel() {
    label_ = named(new QLabel(this), QStringLiteral("透明标签_tips"));
    label_->setText(texts::tips().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QStringList samples = texts::examples();
    for (int i = 0; i < static_cast<int>(examples_.size()); ++i) {
      auto* example =
          named(new QLineEdit(this), QStringLiteral("编辑框_例子") + QString::number(i + 1));
      example->setReadOnly(true);  // still selectable, for copying
      example->setText(samples[i]);
      example->setCursorPosition(0);
      examples_[static_cast<std::size_t>(i)] = example;
    }
  }

  QSize sizeHint() const override {
    const QSize text = label_->sizeHint();
    const int examples = exampleLeft() + exampleWidth();
    return {std::max(text.width(), examples), text.height()};
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void resizeEvent(QResizeEvent*) override {
    label_->setGeometry(0, 0, width(), label_->sizeHint().height());
    for (std::size_t i = 0; i < examples_.size(); ++i) {
      QLineEdit* example = examples_[i];
      const int height = example->sizeHint().height();
      const double middle = label_->contentsRect().top() + lineMiddle(kExampleLines[i]);
      const int top = static_cast<int>(middle - height / 2.0);
      example->setGeometry(exampleLeft(), top, width() - exampleLeft(), height);
    }
  }

 private:
  // Where the label paints the middle of line `index`. Lines are laid out one
  // by one as the label does, because a line of Chinese, drawn with a
  // fallback font, is taller than the label font's own line spacing.
  double lineMiddle(int index) const {
    const QFont font = label_->font();
    const double leading = QFontMetricsF(font).leading();
    const QStringList lines = label_->text().split(QLatin1Char('\n'));
    double top = 0;
    for (int i = 0; i < lines.size(); ++i) {
      QTextLayout layout(lines[i], font);
      layout.beginLayout();
      QTextLine line = layout.createLine();
      line.setLineWidth(1e6);
      layout.endLayout();
      if (i == index) return top + line.height() / 2;
      top += line.height() + leading;
    }
    return top;
  }
  int exampleLeft() const {
    const QFontMetrics metrics(label_->font());
    return label_->contentsRect().left() + metrics.horizontalAdvance(texts::exampleLead() + "  ");
  }
  int exampleWidth() const {
    int widest = 0;
    for (const QLineEdit* example : examples_) {
      const QFontMetrics metrics(example->font());
      // An edit's size hint is room for 17 "x" plus its frame and margins.
      const int around =
          example->sizeHint().width() - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
      // A little more, so the last character does not touch the frame.
      widest = std::max(widest, metrics.horizontalAdvance(example->text() + "  ") + around);
    }
    return widest;
  }
  QLabel* label_ = nullptr;
  std::array<QLineEdit*, 3> examples_{};
};

void showLines(QPlainTextEdit* box, const std::string& text) {
  box->setPlainText(q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
  box->moveCursor(QTextCursor::End);
  box->ensureCursorVisible();
}

}  // namespace

BatchAddWindow::BatchAddWindow(QWidget* owner, DomainDatabase& db, ClassificationLists lists)
    : QDialog(owner), db_(db), lists_(std::move(lists)) {
  setWindowTitle(texts::title());
  build();
}

BatchAddWindow::~BatchAddWindow() {
  // The worker may still use what the window hands it: it goes first.
  delete job_;
}

void BatchAddWindow::build() {
  auto* layout = new QVBoxLayout(this);

  auto* pendingEdit = new ListEdit;
  pendingEdit->onFiles = [this](const QList<QUrl>& urls) { loadFiles(urls); };
  pendingEdit->takesFiles = [this] { return !isRunning(); };
  const ListBoxPair boxes =
      addListBoxPair(layout,
                     {texts::pendingCaption(), QStringLiteral("分组框_待添加列表"),
                      QStringLiteral("编辑框_待添加列表")},
                     {texts::failuresCaption(), QStringLiteral("分组框_添加失败列表"),
                      QStringLiteral("编辑框_添加失败列表")},
                     pendingEdit);
  pendingGroup_ = boxes.pendingGroup;
  pending_ = boxes.pending;
  failuresGroup_ = boxes.failuresGroup;
  failures_ = boxes.failures;

  auto* tipsGroup = named(new QGroupBox(texts::tipsCaption()), QStringLiteral("分组框_友情提示"));
  (new QVBoxLayout(tipsGroup))->addWidget(new TipsPanel);
  layout->addWidget(tipsGroup);

  const WindowFooter footer = addWindowFooter(layout, texts::confirm(), texts::close());
  confirm_ = footer.confirm;
  QPushButton* close = footer.close;
  QStatusBar* bar = footer.bar;
  status_ = footer.status;
  progress_ = new RunProgress(bar);
  makeJob();

  connect(pending_, &QPlainTextEdit::textChanged, this, [this] {
    pendingGroup_->setTitle(texts::counted(texts::pendingCaption(),
                                           countListLines(pending_->toPlainText().toStdString())));
  });
  connect(failures_, &QPlainTextEdit::textChanged, this, [this] {
    failuresGroup_->setTitle(texts::counted(
        texts::failuresCaption(), countListLines(failures_->toPlainText().toStdString())));
  });
  connect(confirm_, &QPushButton::clicked, this, &BatchAddWindow::confirm);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void BatchAddWindow::makeJob() {
  job_ = new BackgroundJob(this);
  connect(job_, &BackgroundJob::progress, this, [this](int done, int total) {
    if (closeWhenStopped_) return;  // the status says it is stopping
    status_->setText(
        q(batchAddProgressText(static_cast<std::size_t>(done), static_cast<std::size_t>(total))));
  });
}

QString BatchAddWindow::pendingText() const { return pending_->toPlainText(); }

void BatchAddWindow::setPendingText(const QString& text) {
  pending_->setPlainText(text);
  pending_->moveCursor(QTextCursor::End);
}

void BatchAddWindow::confirm() {
  if (isRunning()) return;
  std::vector<std::string> lines = splitListLines(pending_->toPlainText().toStdString());
  const std::size_t total = lines.size();
  startRun(total, [&db = db_, lists = lists_, lines = std::move(lines)](
                      const BatchProgress& progress, std::stop_token stop) {
    return Outcome{runBatchAdd(db, lines, lists, progress, std::move(stop)), {}, {}};
  });
}

void BatchAddWindow::startRun(std::size_t total, Work work) {
  running_ = true;
  stored_.clear();
  confirm_->setEnabled(false);
  failures_->clear();
  status_->setText(total > 0 ? q(batchAddProgressText(0, total)) : QString());
  job_->start([this, work = std::move(work)](std::stop_token stop, JobReporter& reporter) {
    const BatchProgress progress = [&reporter](std::size_t done, std::size_t all) {
      reporter.progress(static_cast<int>(done), static_cast<int>(all));
    };
    Outcome outcome = work(progress, std::move(stop));
    reporter.post([this, outcome = std::move(outcome)] { showOutcome(outcome); });
  });
  progress_->follow(job_, static_cast<int>(total));
}

void BatchAddWindow::showOutcome(const Outcome& outcome) {
  running_ = false;
  if (outcome.refused.empty() && outcome.result.ok() && outcome.result.added > 0) {
    stored_ = q(batchAddResultText(outcome.result));
  }
  if (outcome.refused.empty()) {
    showResult(outcome.result);
  } else {
    status_->setText(texts::notImportedStatus());
    Toolkit::messageBox(this, q(outcome.refused), texts::messageCaption());
  }
  if (!outcome.warning.empty()) {
    Toolkit::messageBox(this, q(outcome.warning), texts::messageCaption());
  }
  confirm_->setEnabled(true);
  emit runEnded();
  if (closeWhenStopped_) {
    closeWhenStopped_ = false;
    tellStoredAnyway();
    close();
  }
}

void BatchAddWindow::showResult(const BatchAddResult& result) {
  // A cancelled run stored nothing and its lines are all still in the list
  // above; naming each of them as failed would only mislead.
  if (!result.cancelled) showLines(failures_, result.failures);
  if (!result.error.empty()) {
    status_->setText(texts::notStoredStatus());
    Toolkit::messageBox(this, texts::notStored(q(result.error)), texts::messageCaption());
  } else if (result.cancelled) {
    status_->setText(q(batchAddResultText(result)) + texts::cancelled());
  } else {
    status_->setText(q(batchAddResultText(result)));
  }
}

void BatchAddWindow::loadFiles(const QList<QUrl>& urls) {
  for (const QUrl& url : urls) {
    if (isRunning()) return;
    const QString path = url.toLocalFile();
    if (QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0) {
      importCsvFile(path);
    } else {
      loadTextFile(path);
    }
  }
}

std::optional<QByteArray> BatchAddWindow::readFile(const QString& path) {
  QFile file(path);
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
  if (!file.isOpen() || file.error() != QFileDevice::NoError) {
    Toolkit::messageBox(this, texts::unreadable(path, file.errorString()), texts::messageCaption());
    return std::nullopt;
  }
  return bytes;
}

void BatchAddWindow::importCsvFile(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  if (Toolkit::messageBox(this, texts::importCsv(name), texts::messageCaption(), true) !=
      Answer::Yes) {
    return;
  }
  const std::optional<QByteArray> bytes = readFile(path);
  if (!bytes) return;
  // Decoding and reading the records go with the run: a big file keeps the
  // window responsive too.
  startRun(0, [&db = db_, lists = lists_, name = name.toStdString(), bytes = bytes->toStdString()](
                  const BatchProgress& progress, std::stop_token stop) {
    const CsvImport import = readCsvImport(decodeTextFile(bytes), lists);
    Outcome outcome;
    if (!import.ok()) {
      outcome.refused = texts::csvRefused(name, import.error);
      return outcome;
    }
    outcome.warning = unknownColumnsWarning(import.unknownColumns);
    outcome.result = runBatchAddRows(db, import.rows, progress, std::move(stop));
    return outcome;
  });
}

void BatchAddWindow::loadTextFile(const QString& path) {
  const std::optional<QByteArray> bytes = readFile(path);
  if (!bytes) return;
  const std::string decoded =
      decodeTextFile(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
  // The box would show such bytes as U+FFFD and add them so, altered.
  if (!isValidUtf8(decoded)) {
    const auto line =
        1 + std::count(decoded.begin(), decoded.begin() + firstInvalidUtf8(decoded), '\n');
    Toolkit::messageBox(this, texts::unreadable(path, texts::undecodable(line)),
                        texts::messageCaption());
    return;
  }
  QString text = q(decoded);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  const QString before = pending_->toPlainText();
  if (before.isEmpty()) {
    pending_->setPlainText(text);
  } else {
    pending_->setPlainText(before + (before.endsWith(QLatin1Char('\n')) ? QString() : "\n") + text);
  }
  pending_->moveCursor(QTextCursor::End);
}

bool BatchAddWindow::askToStop() {
  return Toolkit::ask(this, texts::closeWhileRunning(), texts::messageCaption(),
                      texts::stopAndDiscard(), texts::keepRunning()) == Answer::Yes;
}

void BatchAddWindow::tellStoredAnyway() {
  if (!stored_.isEmpty()) {
    Toolkit::messageBox(this, texts::storedBeforeStop(stored_), texts::messageCaption());
  }
}

void BatchAddWindow::reject() { close(); }

void BatchAddWindow::closeEvent(QCloseEvent* event) {
  if (isRunning()) {
    if (closeWhenStopped_ || !askToStop()) {
      event->ignore();
      return;
    }
    if (isRunning()) {
      // Stopped as its cancel button stops it: the worker rolls back after
      // the line it is in, and the window closes when the outcome is shown.
      closeWhenStopped_ = true;
      job_->cancel();
      progress_->cancelButton()->setEnabled(false);
      status_->setText(texts::stopping());
      event->ignore();
      return;
    }
    // The run ended while the question was up: too late to discard it.
    tellStoredAnyway();
  }
  event->accept();
  emit closed();
}

}  // namespace pelmora::ui
