#pragma once

// The one door to message boxes, input boxes, the clipboard, opening web
// addresses and the notification area. Tests script the answers so that no
// test ever waits on a modal box.

#include <QString>
#include <QStringList>
#include <optional>

class QImage;
class QWidget;

namespace pelmora::ui {

// Message box results, with the values the old design's callers stored.
enum class Answer { Ok = 1, Yes = 5, No = 6 };

struct InputAnswer {
  QString text;
  bool ok = false;
};

class Toolkit {
 public:
  // OK box, or Yes/No box when `yesNo`; returns Answer::Ok, Answer::Yes or Answer::No.
  static Answer messageBox(QWidget* owner, const QString& text, const QString& caption,
                           bool yesNo = false);
  // A question whose two buttons say `yes` and `no`; returns Answer::Yes or
  // Answer::No. `no` is the default, and what dismissing the box answers.
  static Answer ask(QWidget* owner, const QString& text, const QString& caption, const QString& yes,
                    const QString& no);
  static InputAnswer inputBox(QWidget* owner, const QString& prompt, const QString& title,
                              const QString& prefilled);
  static void setClipboardText(const QString& text);
  static void setClipboardImage(const QImage& image);
  // Only web addresses (http, https) reach the desktop; anything else is
  // ignored.
  // False when the address is refused or no browser could be started.
  static bool openUrl(const QString& address);
  static bool trayAvailable();

  // Scripting for tests: boxes are not shown, answers come from the queue
  // (Yes / the pre-filled text when it is empty) and everything is recorded.
  static void startScripting();
  static void stopScripting();
  static void queueAnswer(Answer answer);
  static void queueInput(const InputAnswer& answer);
  static void setTrayAvailable(std::optional<bool> available);
  // Whether scripted openUrl calls find a browser (they do unless told).
  static void setBrowserAvailable(bool available);
  static QStringList takeMessages();  // "caption|text" of every box shown
  static QStringList takeOpenedUrls();
};

}  // namespace pelmora::ui
