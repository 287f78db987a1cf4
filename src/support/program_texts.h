#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// "[ " + custom title + " ]" or empty.
std::string titlePrefix(std::string_view customTitle);

// prefix + "青禾名簿(Pelmora) Ver:" + version + "   [官网:" + site host + "]"
std::string mainWindowTitle(std::string_view customTitle);

// prefix + "青禾名簿(Pelmora)"
std::string trayTip(std::string_view customTitle);

}  // namespace pelmora
