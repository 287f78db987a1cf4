#pragma once

// The program's icon, from resources/pelmora.svg (shapes only, no text, so it
// looks the same without any font).

#include <QIcon>
#include <QImage>
#include <array>

namespace pelmora::ui {

// The sizes installed for the desktop, in pixels.
inline constexpr std::array<int, 7> kProgramIconSizes{16, 24, 32, 48, 64, 128, 256};

QImage programIconImage(int size);
QIcon programIcon();

}  // namespace pelmora::ui
