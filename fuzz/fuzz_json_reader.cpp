// JSON texts parsed and asked about by member paths. The input's first line
// holds the paths, separated by spaces; the rest is the JSON text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/json_reader.h"
#include "support/text_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  const std::string_view pathLine =
      lineEnd == std::string_view::npos ? std::string_view() : input.substr(0, lineEnd);
  const std::string_view text =
      lineEnd == std::string_view::npos ? input : input.substr(lineEnd + 1);

  pelmora::JsonReader reader;
  if (!reader.parse(text)) {
    if (!reader.getText("").empty()) __builtin_trap();
    return 0;
  }
  pelmora::JsonReader copy;
  if (!copy.parse(reader.toJson())) __builtin_trap();
  pelmora::JsonReader edited = reader;

  for (const std::string& path : pelmora::splitText(pathLine, " ")) {
    (void)reader.getText(path);
    (void)reader.getJson(path);
    (void)reader.getNumber(path);
    (void)reader.typeOf(path);
    (void)reader.count(path);
    (void)reader.memberNames(path);
    const bool present = reader.exists(path);
    const pelmora::JsonReader member = reader.getObject(path);
    (void)member.toJson();
    if (present != copy.exists(path)) __builtin_trap();
    (void)edited.setMember(path, "x");
    (void)edited.push(path, "[1]", true);
    (void)edited.deleteMember(path);
  }
  return 0;
}
