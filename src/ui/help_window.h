#pragma once

// The program's own help, for when no browser can be started: the tour of the
// README, bundled with the program.

#include <QDialog>
#include <QString>

namespace pelmora::ui {

// The README's sections from "Five minutes with Pelmora" up to the next part
// after "Using the window", as Markdown; empty when the bundled copy is missing.
QString bundledHelpText();

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);
};

}  // namespace pelmora::ui
