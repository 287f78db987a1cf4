#pragma once

// The main window's news browser: shows the reduced news page, loads no
// resource of any kind, and hands a clicked web address to the desktop's
// browser; any other link does nothing.

#include <QTextBrowser>

namespace pelmora::ui {

class NewsBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  explicit NewsBrowser(QWidget* parent = nullptr);

  QVariant loadResource(int type, const QUrl& name) override;
};

}  // namespace pelmora::ui
