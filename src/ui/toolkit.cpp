#include "ui/toolkit.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QUrl>
#include <deque>

#include "support/http_request.h"

namespace pelmora::ui {
namespace {

struct Script {
  bool active = false;
  std::deque<Answer> answers;
  std::deque<InputAnswer> inputs;
  std::optional<bool> trayAvailable;
  QStringList messages;
  QStringList urls;
  bool browserAvailable = true;
};

Script& script() {
  static Script s;
  return s;
}

// The program's texts break lines with CR LF; the boxes show them with LF.
QString shown(const QString& text) {
  QString lines = text;
  return lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

Answer Toolkit::messageBox(QWidget* owner, const QString& text, const QString& caption,
                           bool yesNo) {
  Script& s = script();
  if (s.active) {
    s.messages << caption + "|" + text;
    if (!yesNo) return Answer::Ok;
    if (s.answers.empty()) return Answer::Yes;
    const Answer answer = s.answers.front();
    s.answers.pop_front();
    return answer;
  }
  if (!yesNo) {
    QMessageBox::information(owner, caption, shown(text));
    return Answer::Ok;
  }
  return QMessageBox::question(owner, caption, shown(text), QMessageBox::Yes | QMessageBox::No) ==
                 QMessageBox::Yes
             ? Answer::Yes
             : Answer::No;
}

Answer Toolkit::ask(QWidget* owner, const QString& text, const QString& caption, const QString& yes,
                    const QString& no) {
  if (script().active) return messageBox(owner, text, caption, true);
  QMessageBox box(QMessageBox::Question, caption, shown(text), QMessageBox::NoButton, owner);
  QPushButton* yesButton = box.addButton(yes, QMessageBox::YesRole);
  QPushButton* noButton = box.addButton(no, QMessageBox::NoRole);
  box.setDefaultButton(noButton);
  box.setEscapeButton(noButton);
  box.exec();
  return box.clickedButton() == yesButton ? Answer::Yes : Answer::No;
}

InputAnswer Toolkit::inputBox(QWidget* owner, const QString& prompt, const QString& title,
                              const QString& prefilled) {
  Script& s = script();
  if (s.active) {
    s.messages << title + "|" + prompt;
    if (s.inputs.empty()) return {prefilled, true};
    const InputAnswer answer = s.inputs.front();
    s.inputs.pop_front();
    return answer;
  }
  bool ok = false;
  const QString text =
      QInputDialog::getText(owner, title, shown(prompt), QLineEdit::Normal, prefilled, &ok);
  return {text, ok};
}

void Toolkit::setClipboardText(const QString& text) { QApplication::clipboard()->setText(text); }

void Toolkit::setClipboardImage(const QImage& image) { QApplication::clipboard()->setImage(image); }

bool Toolkit::openUrl(const QString& address) {
  if (!isWebAddress(address.toStdString())) return false;
  Script& s = script();
  if (s.active) {
    if (s.browserAvailable) s.urls << address;
    return s.browserAvailable;
  }
  return QDesktopServices::openUrl(QUrl(address));
}

bool Toolkit::trayAvailable() {
  if (script().trayAvailable) return *script().trayAvailable;
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void Toolkit::startScripting() { script() = Script{true, {}, {}, std::nullopt, {}, {}, true}; }

void Toolkit::stopScripting() { script() = Script{}; }

void Toolkit::queueAnswer(Answer answer) { script().answers.push_back(answer); }

void Toolkit::queueInput(const InputAnswer& answer) { script().inputs.push_back(answer); }

void Toolkit::setBrowserAvailable(bool available) { script().browserAvailable = available; }

void Toolkit::setTrayAvailable(std::optional<bool> available) {
  script().trayAvailable = available;
}

QStringList Toolkit::takeMessages() { return std::exchange(script().messages, {}); }

QStringList Toolkit::takeOpenedUrls() { return std::exchange(script().urls, {}); }

}  // namespace pelmora::ui
