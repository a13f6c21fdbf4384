#include "core/text/json_writer.h"

#include <charconv>
#include <cmath>

#include "core/text/number_text.h"
#include "encoding/utf8.h"

namespace lv {

void AppendJsonString(std::string& out, std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    // A text that is not valid UTF-8 (a damaged file's bytes that reached a
    // writer undecoded) goes out with each invalid unit as U+FFFD, so the
    // document stays valid whatever the file holds.
    std::string repaired;
    if (!IsValidUtf8(utf8)) {
        repaired = ValidUtf8(utf8);
        utf8 = repaired;
    }
    out += '"';
    size_t start = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        out.append(utf8, start, i - start);
        start = i + 1;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 15];
                break;
        }
    }
    out.append(utf8, start, utf8.size() - start);
    out += '"';
}

void JsonWriter::NewLine() {
    out_ += '\n';
    out_.append(2 * levels_.size(), ' ');
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) return;
    Level& level = levels_.back();
    if (!level.empty) out_ += level.inlined ? ", " : ",";
    if (!level.inlined) NewLine();
    level.empty = false;
}

void JsonWriter::Begin(char open, bool inlined) {
    BeforeValue();
    out_ += open;
    // Inside an inline container everything stays on its line.
    levels_.push_back({inlined || (!levels_.empty() && levels_.back().inlined), true});
}

void JsonWriter::End(char close) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (!level.empty && !level.inlined) NewLine();
    out_ += close;
    if (levels_.empty()) out_ += '\n';
}

JsonWriter& JsonWriter::BeginObject(bool inlined) {
    Begin('{', inlined);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    End('}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray(bool inlined) {
    Begin('[', inlined);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    End(']');
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    BeforeValue();
    AppendJsonString(out_, key);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
    BeforeValue();
    AppendJsonString(out_, utf8);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    BeforeValue();
    out_ += std::isfinite(value) ? NumberText(value) : "null";
    return *this;
}

JsonWriter& JsonWriter::Integer(long long value) {
    BeforeValue();
    char text[24];
    out_.append(text, std::to_chars(text, text + sizeof text, value).ptr);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    out_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    out_ += "null";
    return *this;
}

}  // namespace lv
