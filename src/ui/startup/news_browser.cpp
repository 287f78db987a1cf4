#include "ui/startup/news_browser.h"

#include "ui/toolkit.h"

namespace pelmora::ui {

NewsBrowser::NewsBrowser(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this,
          [](const QUrl& link) { Toolkit::openUrl(link.toString()); });
}

QVariant NewsBrowser::loadResource(int, const QUrl&) { return {}; }

}  // namespace pelmora::ui
