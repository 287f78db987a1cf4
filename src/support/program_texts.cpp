#include "support/program_texts.h"

#include "support/endpoints.h"

namespace pelmora {

std::string titlePrefix(std::string_view customTitle) {
  return customTitle.empty() ? std::string() : "[ " + std::string(customTitle) + " ]";
}

std::string mainWindowTitle(std::string_view customTitle) {
  return titlePrefix(customTitle) + "青禾名簿(Pelmora) Ver:" + std::string(kProgramVersion) +
         "   [官网:" + siteHost() + "]";
}

std::string trayTip(std::string_view customTitle) {
  return titlePrefix(customTitle) + "青禾名簿(Pelmora)";
}

}  // namespace pelmora
