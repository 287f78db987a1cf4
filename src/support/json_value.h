#pragma once

// Inside JsonReader: the value it holds and the path rules, shared with the
// editing functions kept in support/kept.

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/json_reader.h"

namespace pelmora {

struct JsonReader::Value {
  nlohmann::json root = nlohmann::json::object();
};

namespace json_detail {

struct Step {
  bool isIndex = false;
  std::string key;
  std::size_t index = 0;
};

// "a.b[2]" -> a, b, [2]; "[0]" -> [0]. nullopt for a malformed path.
std::optional<std::vector<Step>> parsePath(std::string_view path);
// The value a path names, or nullptr.
const nlohmann::json* find(const nlohmann::json& root, std::string_view path);
// nullopt for text that is not JSON or nests deeper than any answer read.
std::optional<nlohmann::json> parseJson(std::string_view text);

}  // namespace json_detail
}  // namespace pelmora
