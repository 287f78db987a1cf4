#include "support/json_reader.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "support/json_value.h"

namespace pelmora {

using json = nlohmann::json;
using json_detail::find;
using json_detail::parseJson;

namespace json_detail {

// "a.b[2]" -> a, b, [2]; "[0]" -> [0]. nullopt for a malformed path.
std::optional<std::vector<Step>> parsePath(std::string_view path) {
  std::vector<Step> steps;
  std::size_t i = 0;
  while (i < path.size()) {
    if (path[i] == '[') {
      const std::size_t close = path.find(']', i);
      if (close == std::string_view::npos || close == i + 1) return std::nullopt;
      std::size_t index = 0;
      const auto digits = path.substr(i + 1, close - i - 1);
      const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), index);
      if (result.ec != std::errc() || result.ptr != digits.data() + digits.size())
        return std::nullopt;
      steps.push_back({true, {}, index});
      i = close + 1;
    } else {
      if (path[i] == '.') {
        if (steps.empty()) return std::nullopt;
        ++i;
      }
      std::size_t end = i;
      while (end < path.size() && path[end] != '.' && path[end] != '[') ++end;
      if (end == i) return std::nullopt;
      steps.push_back({false, std::string(path.substr(i, end - i)), 0});
      i = end;
    }
  }
  return steps;
}

const json* find(const json& root, std::string_view path) {
  const auto steps = parsePath(path);
  if (!steps) return nullptr;
  const json* at = &root;
  for (const Step& step : *steps) {
    if (step.isIndex) {
      if (!at->is_array() || step.index >= at->size()) return nullptr;
      at = &(*at)[step.index];
    } else {
      if (!at->is_object()) return nullptr;
      const auto hit = at->find(step.key);
      if (hit == at->end()) return nullptr;
      at = &*hit;
    }
  }
  return at;
}

namespace {

// Deeper than any answer the program reads; a deeper text would cost tens of
// bytes a level to build.
constexpr int kMaxJsonDepth = 512;

bool nestsTooDeep(std::string_view text) {
  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (const char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxJsonDepth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

}  // namespace

std::optional<json> parseJson(std::string_view text) {
  if (nestsTooDeep(text)) return std::nullopt;
  json value = json::parse(text, nullptr, false);
  if (value.is_discarded()) return std::nullopt;
  return value;
}

}  // namespace json_detail

namespace {

std::string numberText(double value) {
  if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e21) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0);
    return std::string(buffer, result.ptr);
  }
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

JsonReader::JsonReader() : value_(std::make_unique<Value>()) {}
JsonReader::~JsonReader() = default;
JsonReader::JsonReader(const JsonReader& other) : value_(std::make_unique<Value>(*other.value_)) {}
JsonReader& JsonReader::operator=(const JsonReader& other) {
  if (this != &other) *value_ = *other.value_;
  return *this;
}

bool JsonReader::parse(std::string_view text) {
  auto parsed = parseJson(text);
  value_->root = parsed ? std::move(*parsed) : json(nullptr);
  return !value_->root.is_null();
}

std::string JsonReader::toJson() const { return value_->root.dump(); }

std::string JsonReader::getText(std::string_view path, bool asJson) const {
  const json* at = find(value_->root, path);
  if (at == nullptr) return {};
  if (asJson) return at->dump();
  if (at->is_null()) return {};
  if (at->is_string()) return at->get<std::string>();
  if (at->is_number()) return numberText(at->get<double>());
  if (at->is_boolean()) return at->get<bool>() ? "true" : "false";
  return at->dump();
}

double JsonReader::getNumber(std::string_view path) const {
  const json* at = find(value_->root, path);
  return at != nullptr && at->is_number() ? at->get<double>() : 0;
}

JsonReader JsonReader::getObject(std::string_view path) const {
  JsonReader reader;
  const json* at = find(value_->root, path);
  reader.value_->root = at != nullptr ? *at : json(nullptr);
  return reader;
}

JsonType JsonReader::typeOf(std::string_view path) const {
  const json* at = find(value_->root, path);
  if (at == nullptr || at->is_null()) return JsonType::Absent;
  if (at->is_number()) return JsonType::Number;
  if (at->is_object()) return JsonType::Object;
  if (at->is_array()) return JsonType::Array;
  if (at->is_string()) return JsonType::String;
  return JsonType::Other;
}

bool JsonReader::exists(std::string_view path) const { return typeOf(path) != JsonType::Absent; }

int JsonReader::count(std::string_view path) const {
  const json* at = find(value_->root, path);
  if (at == nullptr || !(at->is_object() || at->is_array())) return 0;
  return static_cast<int>(at->size());
}

void JsonReader::reset(JsonType kind) {
  if (kind == JsonType::Absent || kind == JsonType::Object) value_->root = json::object();
  if (kind == JsonType::Array) value_->root = json::array();
}

}  // namespace pelmora
