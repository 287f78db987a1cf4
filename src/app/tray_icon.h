#pragma once

#include <QIcon>

namespace pelmora::ui {

// The program's 48 x 48 icon, drawn in code.
QIcon programIcon();

}  // namespace pelmora::ui
