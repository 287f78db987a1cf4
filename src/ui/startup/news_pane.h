#pragma once

// Fills the main window's browser with the news page, fetched on a worker
// thread; a page that cannot be had gives way to a short built-in one. The
// pane lives as a child of its browser, so a result arriving after the
// window is gone is dropped.

#include <QObject>

class QTextBrowser;

namespace pelmora::ui {

class BackgroundJob;

class NewsPane : public QObject {
  Q_OBJECT

 public:
  explicit NewsPane(QTextBrowser& browser);

  void load(const QString& address);
  bool isLoading() const;

 signals:
  // The page (or the built-in one) is in the browser.
  void shown(bool fetched);

 private:
  QTextBrowser& browser_;
  BackgroundJob* job_ = nullptr;
};

}  // namespace pelmora::ui
