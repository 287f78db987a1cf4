#pragma once

// The program's folders in the user's home, by the XDG base directory rule.

#include <filesystem>
#include <string_view>

namespace pelmora {

// $<variable>/pelmora when the variable holds an absolute path, else
// $HOME/<underHome>/pelmora (/tmp standing in for a home that is not set).
// XDG_DATA_HOME with ".local/share", XDG_CACHE_HOME with ".cache".
std::filesystem::path userFolder(const char* variable, std::string_view underHome);

}  // namespace pelmora
