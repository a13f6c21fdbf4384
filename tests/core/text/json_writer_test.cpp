// The JSON writer's output parses back (with nlohmann-json) to exactly the
// values written: escapes, numbers, nesting, inline containers.
#include "core/text/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

namespace {

using nlohmann::json;

TEST(JsonWriter, EveryByteOfATextSurvivesTheRoundTrip) {
    std::string text;
    for (int c = 1; c < 0x80; ++c) text += static_cast<char>(c);
    text += "日本語 \xF0\x9F\xA4\x93";  // wide characters and an emoji, as they are
    std::string out;
    lv::JsonWriter(out)
        .BeginArray()
        .String(text)
        .String("")
        .String(std::string(1, '\0'))
        .EndArray();
    const json j = json::parse(out);
    EXPECT_EQ(j[0], text);
    EXPECT_EQ(j[1], "");
    EXPECT_EQ(j[2], std::string(1, '\0'));
    EXPECT_EQ(out.find('\t'), std::string::npos);  // control characters are escaped
    EXPECT_NE(out.find("\\u001f"), std::string::npos);
    EXPECT_NE(out.find("日本語"), std::string::npos);
}

TEST(JsonWriter, NumbersAndLiterals) {
    std::string out;
    lv::JsonWriter w(out);
    w.BeginArray()
        .Number(1)
        .Number(-2.5)
        .Number(0.1)
        .Number(1e300)
        .Number(-std::numeric_limits<double>::max())
        .Number(std::nan(""))
        .Number(std::numeric_limits<double>::infinity())
        .Integer(-9000000000LL)
        .Bool(true)
        .Bool(false)
        .Null()
        .EndArray();
    const json j = json::parse(out);
    EXPECT_EQ(j[0], 1);
    EXPECT_EQ(j[1], -2.5);
    EXPECT_EQ(j[2], 0.1);
    EXPECT_EQ(j[3], 1e300);
    EXPECT_EQ(j[4], -std::numeric_limits<double>::max());
    EXPECT_TRUE(j[5].is_null());
    EXPECT_TRUE(j[6].is_null());
    EXPECT_EQ(j[7], -9000000000LL);
    EXPECT_EQ(j[8], true);
    EXPECT_EQ(j[9], false);
    EXPECT_TRUE(j[10].is_null());
}

TEST(JsonWriter, NestingIndentationAndInlineContainers) {
    std::string out;
    lv::JsonWriter w(out);
    w.BeginObject().Field("a", 1).Key("empty").BeginArray().EndArray();
    w.Key("list").BeginArray();
    w.BeginObject(true).Field("value", 1.5).Key("tags").BeginArray().String("x").EndArray();
    w.EndObject();
    w.BeginObject(true).EndObject();
    w.EndArray().Field("flag", false).EndObject();
    EXPECT_EQ(out,
              "{\n"
              "  \"a\": 1,\n"
              "  \"empty\": [],\n"
              "  \"list\": [\n"
              "    {\"value\": 1.5, \"tags\": [\"x\"]},\n"
              "    {}\n"
              "  ],\n"
              "  \"flag\": false\n"
              "}\n");
    EXPECT_EQ(
        json::parse(out),
        json::parse(R"({"a":1,"empty":[],"list":[{"value":1.5,"tags":["x"]},{}],"flag":false})"));
}

}  // namespace
