#pragma once

// Qt's own Chinese texts for its standard buttons and dialogs (是/否/确定/取消).

class QCoreApplication;

namespace pelmora::ui {

// Installs Qt's zh_CN translation on `app`; false when it cannot be loaded
// (the standard buttons then keep Qt's English texts).
bool installChineseTranslations(QCoreApplication& app);

}  // namespace pelmora::ui
