// JsonReader's editing functions: part of the toolkit, called by no program.

#include <nlohmann/json.hpp>

#include "support/json_reader.h"
#include "support/json_value.h"

namespace pelmora {

using json = nlohmann::json;
using json_detail::find;
using json_detail::parseJson;
using json_detail::parsePath;
using json_detail::Step;

namespace {

// The place a path names, created where missing (objects for keys; arrays are
// grown only by one element at their end).
json* place(json& root, std::string_view path) {
  const auto steps = parsePath(path);
  if (!steps) return nullptr;
  json* at = &root;
  for (const Step& step : *steps) {
    if (step.isIndex) {
      if (at->is_null()) *at = json::array();
      if (!at->is_array() || step.index > at->size()) return nullptr;
      if (step.index == at->size()) at->push_back(nullptr);
      at = &(*at)[step.index];
    } else {
      if (at->is_null()) *at = json::object();
      if (!at->is_object()) return nullptr;
      at = &(*at)[step.key];
    }
  }
  return at;
}

}  // namespace

std::vector<std::string> JsonReader::memberNames(std::string_view path) const {
  std::vector<std::string> names;
  const json* at = find(value_->root, path);
  if (at == nullptr || !at->is_object()) return names;
  for (auto it = at->begin(); it != at->end(); ++it) names.push_back(it.key());
  return names;
}

bool JsonReader::setMember(std::string_view path, std::string_view value, bool asJson) {
  json parsed = std::string(value);
  if (asJson) {
    auto fromText = parseJson(value.empty() ? std::string_view("{}") : value);
    if (!fromText) return false;
    parsed = std::move(*fromText);
  }
  json* at = path.empty() ? &value_->root : place(value_->root, path);
  if (at == nullptr) return false;
  *at = std::move(parsed);
  return true;
}

bool JsonReader::setMemberNumber(std::string_view path, double value) {
  json* at = place(value_->root, path);
  if (at == nullptr) return false;
  *at = value;
  return true;
}

bool JsonReader::push(std::string_view path, std::string_view value, bool asJson) {
  json* at = path.empty() ? &value_->root : place(value_->root, path);
  if (at == nullptr) return false;
  json element = std::string(value);
  if (asJson) {
    auto parsed = parseJson(value);
    if (!parsed) return false;
    element = std::move(*parsed);
  }
  if (!at->is_array()) *at = json::array();
  at->push_back(std::move(element));
  return true;
}

bool JsonReader::removeElement(int index) {
  json& root = value_->root;
  if (!root.is_array() || index < 0 || static_cast<std::size_t>(index) >= root.size()) return false;
  root.erase(static_cast<std::size_t>(index));
  return true;
}

bool JsonReader::deleteMember(std::string_view path) {
  const auto steps = parsePath(path);
  if (!steps || steps->empty()) return false;
  const std::size_t cut = path.rfind(steps->back().isIndex ? '[' : '.');
  const std::string_view parentPath = steps->size() == 1
                                          ? std::string_view()
                                          : path.substr(0, cut == std::string_view::npos ? 0 : cut);
  json* parent =
      parentPath.empty() ? &value_->root : const_cast<json*>(find(value_->root, parentPath));
  if (parent == nullptr) return false;
  const Step& last = steps->back();
  if (last.isIndex) {
    if (!parent->is_array() || last.index >= parent->size()) return false;
    parent->erase(last.index);
    return true;
  }
  return parent->is_object() && parent->erase(last.key) > 0;
}

}  // namespace pelmora
