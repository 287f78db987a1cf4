#pragma once

// One JSON value and questions about it by member path: "code", "a.b",
// "data.list[2]", "[0]"; the empty path is the whole value. Accepts exactly
// JSON and never evaluates anything.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// What typeOf() finds, with the type codes of the old design as values.
enum class JsonType { Absent = 0, Number = 2, Object = 4, Array = 5, String = 6, Other = -1 };

class JsonReader {
 public:
  JsonReader();
  ~JsonReader();
  JsonReader(const JsonReader& other);
  JsonReader& operator=(const JsonReader& other);

  // True when the text is JSON and its value is not null. A failed parse
  // leaves null, so later reads give empty texts.
  bool parse(std::string_view text);
  std::string toJson() const;

  // The member as text: strings without quotes, numbers in decimal (200 gives
  // "200"), with `asJson` the member's JSON text. Empty when absent.
  std::string getText(std::string_view path, bool asJson = false) const;
  double getNumber(std::string_view path) const;
  std::string getJson(std::string_view path) const { return getText(path, true); }
  JsonReader getObject(std::string_view path) const;

  JsonType typeOf(std::string_view path) const;
  bool exists(std::string_view path) const;
  // Members of an object, elements of an array; 0 otherwise.
  int count(std::string_view path = {}) const;

  // The editing functions below are kept for the toolkit but called by no
  // program: they live in the library support_kept.

  std::vector<std::string> memberNames(std::string_view path = {}) const;
  // Sets a member: the value as a string, or with `asJson` parsed as JSON (an
  // empty value counts as {}). False when the path or the JSON is not usable.
  bool setMember(std::string_view path, std::string_view value, bool asJson = false);
  bool setMemberNumber(std::string_view path, double value);
  bool push(std::string_view path, std::string_view value, bool asJson = false);
  bool removeElement(int index);
  bool deleteMember(std::string_view path);
  // Absent or Object: {}; Array: []; other kinds: no change.
  void reset(JsonType kind);
  void clear() { reset(JsonType::Object); }

 private:
  struct Value;
  std::unique_ptr<Value> value_;
};

}  // namespace pelmora
