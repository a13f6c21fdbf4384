#include "core/dictionary/codebook_csv.h"

#include "core/dictionary/dictionary_words.h"
#include "core/rendering/format_traits.h"
#include "core/text/delimited_field.h"
#include "core/text/display_encoding.h"

namespace lv {
namespace {

constexpr std::string_view kColumns[] = {"position", "name",  "long_name",    "label",
                                         "type",     "width", "print_format", "write_format",
                                         "measure",  "role",  "value_labels", "missing_values"};

}  // namespace

std::string CodebookCsv(const FileDictionary& dict, std::string_view encoding) {
    std::string out;
    for (size_t i = 0; i < std::size(kColumns); ++i) {
        if (i) out += ',';
        out += kColumns[i];
    }
    out += "\r\n";
    for (const DictVariable& v : dict.variables) {
        const std::string fields[] = {std::to_string(v.position),
                                      ToUtf8(v.name, encoding),
                                      ToUtf8(v.longName, encoding),
                                      v.hasLabel ? ToUtf8(v.label, encoding) : std::string(),
                                      v.isString() ? "string" : "numeric",
                                      std::to_string(v.width),
                                      FormatText(v.print),
                                      FormatText(v.write),
                                      std::string(MeasureWord(v.measure)),
                                      std::string(RoleWord(v.role)),
                                      ValueLabelsText(v, encoding, "=", "; "),
                                      MissingValuesText(v, encoding)};
        for (size_t i = 0; i < std::size(fields); ++i) {
            if (i) out += ',';
            AppendCsvText(out, fields[i]);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace lv
