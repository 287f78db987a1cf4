#include "support/json_reader.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(JsonReader, ReadsMembersAsText) {
  JsonReader reader;
  ASSERT_TRUE(
      reader.parse(R"({"code":"200","regdate":"2010-05-06 08:00:00","n":200,"f":1.5,"ok":true,)"
                   R"("data":{"list":[1,{"x":"y"},3]},"none":null})"));
  EXPECT_EQ(reader.getText("code"), "200");
  EXPECT_EQ(reader.getText("regdate"), "2010-05-06 08:00:00");
  EXPECT_EQ(reader.getText("n"), "200");
  EXPECT_EQ(reader.getText("f"), "1.5");
  EXPECT_EQ(reader.getText("ok"), "true");
  EXPECT_EQ(reader.getText("data.list[1].x"), "y");
  EXPECT_EQ(reader.getText("data.list[2]"), "3");
  EXPECT_EQ(reader.getText("missing"), "");
  EXPECT_EQ(reader.getText("none"), "");
  EXPECT_EQ(reader.getText("data.list[9]"), "");
  EXPECT_EQ(reader.getText("data.list", true), "[1,{\"x\":\"y\"},3]");
  EXPECT_EQ(reader.getNumber("f"), 1.5);
}

TEST(JsonReader, TypesCountsAndNames) {
  JsonReader reader;
  ASSERT_TRUE(reader.parse(R"({"a":1,"b":"s","c":[1,2],"d":{"e":null},"t":false})"));
  EXPECT_EQ(reader.typeOf("a"), JsonType::Number);
  EXPECT_EQ(reader.typeOf("b"), JsonType::String);
  EXPECT_EQ(reader.typeOf("c"), JsonType::Array);
  EXPECT_EQ(reader.typeOf("d"), JsonType::Object);
  EXPECT_EQ(reader.typeOf("d.e"), JsonType::Absent);
  EXPECT_EQ(reader.typeOf("t"), JsonType::Other);
  EXPECT_EQ(reader.typeOf("zz"), JsonType::Absent);
  EXPECT_EQ(reader.count("c"), 2);
  EXPECT_EQ(reader.count(), 5);
  EXPECT_TRUE(reader.exists("a"));
  EXPECT_FALSE(reader.exists("d.e"));
  EXPECT_EQ(reader.memberNames("d"), std::vector<std::string>{"e"});
  JsonReader array;
  ASSERT_TRUE(array.parse("[10,20]"));
  EXPECT_EQ(array.getText("[0]"), "10");
  EXPECT_EQ(array.count(), 2);
}

TEST(JsonReader, AcceptsOnlyJson) {
  JsonReader reader;
  for (const char* text : {"", "not json", "{'a':1}", "null", "{\"a\":1", "alert(1)", "{a:1}"}) {
    EXPECT_FALSE(reader.parse(text)) << text;
    EXPECT_EQ(reader.getText("a"), "") << text;
  }
  EXPECT_TRUE(reader.parse("\"text\""));
  EXPECT_TRUE(reader.parse("0"));
}

TEST(JsonReader, WritingMembers) {
  JsonReader reader;
  EXPECT_TRUE(reader.setMember("a.b", "x'y"));
  EXPECT_TRUE(reader.setMemberNumber("n", 3));
  EXPECT_TRUE(reader.setMember("obj", "", true));
  EXPECT_TRUE(reader.setMember("arr", "[1,2]", true));
  EXPECT_FALSE(reader.setMember("bad", "{nope", true));
  EXPECT_TRUE(reader.push("list", "p"));
  EXPECT_TRUE(reader.push("list", "{\"q\":1}", true));
  EXPECT_EQ(reader.toJson(),
            R"({"a":{"b":"x'y"},"arr":[1,2],"list":["p",{"q":1}],"n":3.0,"obj":{}})");
  EXPECT_TRUE(reader.deleteMember("a.b"));
  EXPECT_TRUE(reader.deleteMember("list[0]"));
  EXPECT_FALSE(reader.deleteMember("nothing"));
  EXPECT_EQ(reader.getText("list[0].q"), "1");
  EXPECT_EQ(reader.getObject("arr").count(), 2);
  reader.reset(JsonType::Array);
  EXPECT_EQ(reader.toJson(), "[]");
  EXPECT_TRUE(reader.push("", "1", true));
  EXPECT_TRUE(reader.removeElement(0));
  EXPECT_FALSE(reader.removeElement(0));
  reader.clear();
  EXPECT_EQ(reader.toJson(), "{}");
}

}  // namespace
}  // namespace pelmora
