#include "text_encoding.h"

#include <string>

#include "code_pages.h"
#include "encoding/codec.h"

namespace savio {

std::string EncodingName(std::string_view encodingRecord, int characterCode) {
    if (!encodingRecord.empty()) return std::string(encodingRecord);
    return CodePageEncoding(characterCode);
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
