#include "text_encoding.h"

#include <string>

#include "encoding/codec.h"

namespace savio {
namespace {

std::string CodePageName(int code) {
    switch (code) {
        case 1:
            return "IBM037";
        case 4:
            return "CP932";
        case 437:
            return "IBM437";
        case 850:
            return "IBM850";
        case 874:
            return "WINDOWS-874";
        case 932:
            return "CP932";
        case 936:
            return "CP936";
        case 949:
            return "CP949";
        case 950:
            return "BIG5";
        case 10000:
            return "MACINTOSH";
        case 20127:
            return "US-ASCII";
        case 20932:
        case 51932:
            return "EUC-JP";
        case 28603:
            return "ISO-8859-13";
        case 28605:
            return "ISO-8859-15";
        case 51949:
            return "EUC-KR";
        case 54936:
            return "GB18030";
        case 65001:
            return "UTF-8";
        default:
            break;
    }
    if (code >= 1250 && code <= 1258) return "WINDOWS-" + std::to_string(code);
    if (code >= 28591 && code <= 28599) return "ISO-8859-" + std::to_string(code - 28590);
    return std::string();
}

}  // namespace

std::string EncodingName(std::string_view encodingRecord, int characterCode) {
    if (!encodingRecord.empty()) return std::string(encodingRecord);
    return CodePageName(characterCode);
}

std::string TextEncodingOf(const Dictionary& dict) {
    std::string declared = EncodingName(
        dict.encodingRecordUsable ? std::string_view(dict.encodingRecord) : std::string_view(),
        dict.characterCode);
    // The texts are gathered only for a file that declares no readable encoding.
    if (lv::CanDecode(declared)) return declared;
    std::string sample = dict.fileLabel;
    const auto add = [&sample](const std::string& text) {
        sample += '\n';
        sample += text;
    };
    for (const Variable& v : dict.variables) {
        add(v.shortName);
        add(v.longName);
        add(v.label);
        for (const auto& [value, label] : v.longLabels) {
            add(value);
            add(label);
        }
    }
    for (const LabelSet& set : dict.labelSets)
        for (const auto& entry : set.entries) add(entry.second);
    return lv::ChooseEncoding(declared, sample);
}

}  // namespace savio
