#include "ui/editing/advanced_modify_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "editing/batch_modify.h"
#include "ui/background_job.h"
#include "ui/editing/advanced_modify_texts.h"
#include "ui/editing/window_footer.h"
#include "ui/qt_text.h"
#include "ui/run_progress.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

namespace texts = advanced_modify_texts;

// The help text, with the field list laid over the blank lines below its
// first paragraph.
class TipsPanel : public QWidget {
 public:
  TipsPanel() {
    label_ = named(new QLabel(this), QStringLiteral("透明标签_tips"));
    label_->setText(texts::tips().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fields_ = named(new QLineEdit(this), QStringLiteral("编辑框_例子1"));
    fields_->setReadOnly(true);  // still selectable, for copying
    fields_->setText(q(advancedModifyFieldList()));
    fields_->setCursorPosition(0);
  }

  QSize sizeHint() const override {
    const QSize text = label_->sizeHint();
    const QFontMetrics metrics(fields_->font());
    const int fields = indent() + metrics.horizontalAdvance(fields_->text() + "    ") +
                       fields_->sizeHint().width() -
                       metrics.horizontalAdvance(QLatin1Char('x')) * 17;
    return {std::max(text.width(), fields), text.height()};
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void resizeEvent(QResizeEvent*) override {
    label_->setGeometry(0, 0, width(), label_->sizeHint().height());
    const QFontMetricsF metrics(label_->font());
    const int height = fields_->sizeHint().height();
    const double middle = texts::kFieldListLine * metrics.lineSpacing() + metrics.height() / 2;
    fields_->setGeometry(indent(), static_cast<int>(middle - height / 2.0), width() - indent(),
                         height);
  }

 private:
  int indent() const {
    return label_->contentsRect().left() + QFontMetrics(label_->font()).horizontalAdvance("   ");
  }
  QLabel* label_ = nullptr;
  QLineEdit* fields_ = nullptr;
};

void appendLines(QPlainTextEdit* box, const std::string& text) {
  if (text.empty()) return;
  box->moveCursor(QTextCursor::End);
  box->insertPlainText(q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
}

}  // namespace

AdvancedModifyWindow::AdvancedModifyWindow(QWidget* owner, DomainDatabase& db,
                                           ClassificationLists lists)
    : QDialog(owner), db_(db), lists_(std::move(lists)) {
  setWindowTitle(texts::title());
  build();
}

AdvancedModifyWindow::~AdvancedModifyWindow() {
  // The worker may still use what the window hands it: it goes first.
  delete job_;
}

QWidget* AdvancedModifyWindow::buildTips() {
  auto* group = named(new QGroupBox(texts::tipsCaption()), QStringLiteral("分组框_友情提示"));
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(new TipsPanel);
  auto* examples = named(new QPlainTextEdit, QStringLiteral("编辑框_例子2"));
  examples->setReadOnly(true);
  examples->setLineWrapMode(QPlainTextEdit::NoWrap);
  examples->setPlainText(texts::examples().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  const QFontMetrics metrics(examples->font());
  examples->setFixedHeight(metrics.lineSpacing() * 4 + 2 * examples->frameWidth() +
                           static_cast<int>(examples->document()->documentMargin() * 2));
  layout->addWidget(examples);
  return group;
}

void AdvancedModifyWindow::build() {
  auto* layout = new QVBoxLayout(this);

  const ListBoxPair boxes =
      addListBoxPair(layout,
                     {texts::pendingCaption(), QStringLiteral("分组框_待修改"),
                      QStringLiteral("编辑框_待修改列表")},
                     {texts::failuresCaption(), QStringLiteral("分组框_修改失败列表"),
                      QStringLiteral("编辑框_修改失败列表")});
  pending_ = boxes.pending;
  failures_ = boxes.failures;
  layout->addWidget(buildTips());

  const WindowFooter footer = addWindowFooter(layout, texts::confirm(), texts::close());
  confirm_ = footer.confirm;
  QPushButton* close = footer.close;
  QStatusBar* bar = footer.bar;
  status_ = footer.status;
  progress_ = new RunProgress(bar);
  makeJob();

  connect(confirm_, &QPushButton::clicked, this, &AdvancedModifyWindow::confirm);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void AdvancedModifyWindow::makeJob() {
  job_ = new BackgroundJob(this);
  connect(job_, &BackgroundJob::progress, this, [this](int done, int total) {
    if (closeWhenStopped_) return;  // the status says it is stopping
    status_->setText(q(
        batchModifyProgressText(static_cast<std::size_t>(done), static_cast<std::size_t>(total))));
  });
}

bool AdvancedModifyWindow::isRunning() const { return running_; }

void AdvancedModifyWindow::confirm() {
  if (isRunning()) return;
  std::vector<std::string> lines = advancedModifyLines(pending_->toPlainText().toStdString());
  if (lines.empty()) {
    Toolkit::messageBox(this, texts::nothingToModify(), texts::messageCaption());
    return;
  }
  const std::size_t total = lines.size();
  confirm_->setEnabled(false);
  running_ = true;
  status_->setText(q(batchModifyProgressText(0, total)));
  job_->start([this, &db = db_, lists = lists_, lines = std::move(lines)](std::stop_token stop,
                                                                          JobReporter& reporter) {
    const AdvancedModifyProgress progress = [&reporter](std::size_t done, std::size_t all) {
      reporter.progress(static_cast<int>(done), static_cast<int>(all));
    };
    AdvancedModifyResult result = runAdvancedModify(db, lines, lists, progress, std::move(stop));
    reporter.post([this, result = std::move(result)] { showResult(result); });
  });
  progress_->follow(job_, static_cast<int>(total));
}

void AdvancedModifyWindow::showResult(const AdvancedModifyResult& result) {
  running_ = false;
  // The failure list keeps what earlier runs put there.
  appendLines(failures_, advancedModifyFailureText(result.failures));
  status_->setText(q(advancedModifyResultText(result)));
  if (!result.error.empty()) {
    Toolkit::messageBox(this, texts::notStored(q(result.error)), texts::messageCaption());
  }
  confirm_->setEnabled(true);
  emit runEnded();
  if (closeWhenStopped_) {
    // What was stored before the stop stays stored: say so as the window goes.
    closeWhenStopped_ = false;
    Toolkit::messageBox(this, q(advancedModifyResultText(result)), texts::messageCaption());
    close();
  }
}

void AdvancedModifyWindow::reject() { close(); }

void AdvancedModifyWindow::closeEvent(QCloseEvent* event) {
  if (isRunning()) {
    // Stopped between chunks as its cancel button stops it; the window closes
    // once the result, with what was stored, is shown.
    event->ignore();
    if (closeWhenStopped_ ||
        Toolkit::ask(this, texts::closeWhileRunning(), texts::messageCaption(), texts::stopRun(),
                     texts::keepRunning()) != Answer::Yes ||
        !isRunning()) {
      return;
    }
    closeWhenStopped_ = true;
    job_->cancel();
    status_->setText(texts::stopping());
    return;
  }
  event->accept();
  emit closed();
}

}  // namespace pelmora::ui
