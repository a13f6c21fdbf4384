// A streaming JSON writer (RFC 8259): values are appended to a string as
// they come, indented by two blanks per level; containers opened inline are
// written on one line (the small objects of a list: a value label, an
// attribute). Texts are written as they are, with quotes, backslashes and
// control characters escaped; invalid UTF-8 in them becomes U+FFFD. Numbers that are not
// finite are written as null.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace lv {

class JsonWriter {
  public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    JsonWriter& BeginObject(bool inlined = false);
    JsonWriter& EndObject();
    JsonWriter& BeginArray(bool inlined = false);
    JsonWriter& EndArray();
    // The key of the next value in an object.
    JsonWriter& Key(std::string_view key);

    JsonWriter& String(std::string_view utf8);
    JsonWriter& Number(double value);
    JsonWriter& Integer(long long value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // Key and value in one call.
    template <typename T>
    JsonWriter& Field(std::string_view key, const T& value);

  private:
    struct Level {
        bool inlined;
        bool empty;
    };
    void BeforeValue();
    void Begin(char open, bool inlined);
    void End(char close);
    void NewLine();

    std::string& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

// A text as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, std::string_view utf8);

template <typename T>
JsonWriter& JsonWriter::Field(std::string_view key, const T& value) {
    Key(key);
    if constexpr (std::is_same_v<T, bool>)
        return Bool(value);
    else if constexpr (std::is_integral_v<T>)
        return Integer(static_cast<long long>(value));
    else if constexpr (std::is_floating_point_v<T>)
        return Number(value);
    else
        return String(value);
}

}  // namespace lv
