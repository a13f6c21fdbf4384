// Turns the raw records into the variables the user sees.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "encoding/file_encoding_names.h"
#include "extension_records.h"
#include "name_match.h"
#include "raw_dictionary.h"
#include "record_layout.h"
#include "refusal.h"
#include "savio/byte_order.h"
#include "savio/spssfio.h"

namespace savio {
namespace {

bool IsKnownFormatType(int t) {
#define LV_KNOWN_FORMAT_CASE(name, code, text) case code:
    switch (t) {
        SPSS_FORMAT_TYPES(LV_KNOWN_FORMAT_CASE)
        return true;
        default:
            return false;
    }
#undef LV_KNOWN_FORMAT_CASE
}

// An unknown type code, or a string format on a number (or the reverse), is
// replaced by F8.2 or A<width>, so that every variable can be displayed.
Format UnpackFormat(uint32_t packed, int width) {
    Format f{static_cast<int>((packed >> 16) & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
             static_cast<int>(packed & 0xFF)};
    const bool stringFormat = f.type == SPSS_FMT_A || f.type == SPSS_FMT_AHEX;
    if (!IsKnownFormatType(f.type) || stringFormat != (width > 0)) {
        f = width > 0 ? Format{SPSS_FMT_A, std::min(width, 255), 0} : Format{SPSS_FMT_F, 8, 2};
    }
    // A text format wider than the string it shows (A3 on a 1-byte string)
    // is cut to the string.
    if (f.type == SPSS_FMT_A && width <= 255 && f.width > width) f.width = width;
    if (width > 255 && f.type == SPSS_FMT_A) f.width = width;
    if (width > 255 && f.type == SPSS_FMT_AHEX) f.width = 2 * width;
    return f;
}

// Reads int32 fields and byte strings inside one extension body.
class BodyReader {
  public:
    BodyReader(std::string_view body, bool swap) : body_(body), swap_(swap) {}
    bool AtEnd() const { return pos_ == body_.size(); }
    bool I32(int32_t* v) {
        if (body_.size() - pos_ < 4) return false;
        *v = LoadI32(reinterpret_cast<const uint8_t*>(body_.data() + pos_), swap_);
        pos_ += 4;
        return true;
    }
    bool Byte(uint8_t* v) {
        if (pos_ >= body_.size()) return false;
        *v = static_cast<uint8_t>(body_[pos_++]);
        return true;
    }
    bool Text(int32_t len, std::string_view* out) {
        if (len < 0 || static_cast<size_t>(len) > body_.size() - pos_) return false;
        *out = body_.substr(pos_, static_cast<size_t>(len));
        pos_ += static_cast<size_t>(len);
        return true;
    }

  private:
    std::string_view body_;
    size_t pos_ = 0;
    bool swap_;
};

// One entry of subtype 14 and where its record is.
struct VeryLongWidth {
    std::string name;
    int width = 0;
    size_t offset = 0;
};

// A name or value from the file quoted in a warning: bytes outside printable
// ASCII as \xNN, so that a warning never carries broken text.
std::string Quoted(std::string_view bytes) {
    std::string out = "'";
    for (unsigned char c : bytes.substr(0, 64)) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (bytes.size() > 64) out += "...";
    return out + "'";
}

std::string RecordAt(std::string_view what, int subtype, size_t offset) {
    return std::string(what) + " (subtype " + std::to_string(subtype) + ") at " +
           OffsetText(offset);
}

// Subtype 14: "SHORT=width" entries ended by NUL and/or TAB.
std::vector<VeryLongWidth> ParseVeryLongWidths(const ExtensionBody& ext, Dictionary* dict) {
    const std::string_view body = ext.body;
    std::vector<VeryLongWidth> out;
    size_t pos = 0;
    while (pos < body.size()) {
        size_t end = body.find_first_of(std::string_view("\0\t", 2), pos);
        if (end == std::string_view::npos) end = body.size();
        const std::string_view item = body.substr(pos, end - pos);
        pos = end + 1;
        const size_t eq = item.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view digits = item.substr(eq + 1);
        int width = 0;
        auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), width);
        if (ec != std::errc() || p != digits.data() + digits.size()) {
            Warn(dict, RecordAt("very long string record", ext.subtype, ext.offset) +
                           ": the width of " + Quoted(item.substr(0, eq)) +
                           " is not a number; left out");
            continue;
        }
        out.push_back({std::string(item.substr(0, eq)), width, ext.offset});
    }
    return out;
}

// Marks the segments of very long strings: segmentCount[i] = N for the first
// segment of a merged variable, 0 for the other segments, 1 otherwise.
std::vector<int> MergeVeryLongStrings(const RawDictionary& raw,
                                      const std::vector<VeryLongWidth>& widths,
                                      std::vector<int>* mergedWidth, Dictionary* dict) {
    const size_t n = raw.variables.size();
    std::vector<int> segments(n, 1);
    mergedWidth->assign(n, 0);
    if (widths.empty()) return segments;
    NameIndex names;
    names.Reserve(n);
    for (size_t i = 0; i < n; ++i) names.Add(raw.variables[i].name, static_cast<int>(i));
    for (const VeryLongWidth& entry : widths) {
        const int width = entry.width;
        const auto skip = [&](const std::string& why) {
            Warn(dict, RecordAt("very long string record", kExtVeryLongStrings, entry.offset) +
                           ": " + Quoted(entry.name) + " of width " + std::to_string(width) + " " +
                           why);
        };
        // Some writers list every string here: an ordinary width drops nothing.
        if (width >= 1 && width <= 255) continue;
        if (width < 1 || width > 32767) {
            skip("is out of range; left out");
            continue;
        }
        const int count = SegmentCount(width);
        const int first = names.Find(entry.name);
        if (first < 0) {
            skip("names no variable; left out");
            continue;
        }
        const auto separate = [&](const std::string& why) {
            skip("has segments that " + why + "; they are shown as separate variables");
        };
        if (raw.variables[first].width != 255 || segments[first] != 1) {
            separate("do not start with a 255-byte string");
            continue;
        }
        if (static_cast<size_t>(first) + count > n) {
            separate("run past the last variable");
            continue;
        }
        bool fits = true;
        for (int k = 1; k < count && fits; ++k) {
            const int w = raw.variables[first + k].width;
            if (segments[first + k] != 1) fits = false;
            if (k < count - 1)
                fits = fits && w == 255;
            else
                fits = fits && w >= SegmentDeclaredWidth(width, k) && w <= kMaxSegmentWidth;
        }
        if (!fits) {
            separate("do not have the widths it needs");
            continue;
        }
        segments[first] = count;
        (*mergedWidth)[first] = width;
        for (int k = 1; k < count; ++k) segments[first + k] = 0;
    }
    return segments;
}

void ApplyLongNames(std::string_view body, const NameIndex& names, std::vector<Variable>& vars) {
    size_t pos = 0;
    while (pos < body.size()) {
        size_t end = body.find('\t', pos);
        if (end == std::string_view::npos) end = body.size();
        const std::string_view item = body.substr(pos, end - pos);
        pos = end + 1;
        const size_t eq = item.find('=');
        if (eq == std::string_view::npos || eq + 1 >= item.size()) continue;
        const int i = names.Find(item.substr(0, eq));
        if (i >= 0 && vars[i].longName.empty()) vars[i].longName = std::string(item.substr(eq + 1));
    }
}

// Subtype 21: labels of strings wider than 8 bytes, by long name.
void ApplyLongStringLabels(const ExtensionBody& ext, bool swap, const NameIndex& names,
                           Dictionary* dict) {
    std::vector<Variable>& vars = dict->variables;
    const std::string where = RecordAt("long string value labels record", ext.subtype, ext.offset);
    BodyReader in(ext.body, swap);
    int entries = 0;
    const auto malformed = [&] {
        Warn(dict, where + ": entry " + std::to_string(entries + 1) +
                       " runs past the record or has a negative length; it and the rest of the "
                       "record were dropped");
    };
    for (; !in.AtEnd(); ++entries) {
        int32_t nameLen, width, nLabels;
        std::string_view name;
        if (!in.I32(&nameLen) || !in.Text(nameLen, &name) || !in.I32(&width) || !in.I32(&nLabels) ||
            nLabels < 0)
            return malformed();
        const int v = names.Find(name);
        const bool usable = v >= 0 && vars[v].width > 8;
        if (!usable)
            Warn(dict, where + ": " + Quoted(name) +
                           (v < 0 ? " names no variable" : " is not a string wider than 8 bytes") +
                           "; its " + std::to_string(nLabels) + " label(s) were dropped");
        int tooLong = 0;
        for (int32_t k = 0; k < nLabels; ++k) {
            int32_t valueLen, labelLen;
            std::string_view value, label;
            if (!in.I32(&valueLen) || !in.Text(valueLen, &value) || !in.I32(&labelLen) ||
                !in.Text(labelLen, &label))
                return malformed();
            if (!usable) continue;
            if (static_cast<int>(value.size()) <= vars[v].width)
                vars[v].longLabels.emplace_back(std::string(value), std::string(label));
            else
                ++tooLong;
        }
        if (tooLong > 0)
            Warn(dict, where + ": " + std::to_string(tooLong) + " label(s) of " + Quoted(name) +
                           " have values wider than the variable; dropped");
    }
}

struct LongMissing {
    std::string name;
    std::vector<std::string_view> values;
};

// Subtype 22 in either layout; false when the body does not fit it exactly.
bool ParseLongMissing(std::string_view body, bool swap, bool lengthPerValue,
                      std::vector<LongMissing>* out) {
    BodyReader in(body, swap);
    out->clear();
    while (!in.AtEnd()) {
        int32_t nameLen;
        std::string_view name;
        uint8_t n;
        if (!in.I32(&nameLen) || !in.Text(nameLen, &name) || !in.Byte(&n) || n < 1 || n > 3)
            return false;
        LongMissing entry{std::string(name), {}};
        int32_t len = 0;
        for (int k = 0; k < n; ++k) {
            if ((lengthPerValue || k == 0) && !in.I32(&len)) return false;
            if (len < 1 || len > 8) return false;
            std::string_view value;
            if (!in.Text(len, &value)) return false;
            entry.values.push_back(value);
        }
        out->push_back(std::move(entry));
    }
    return true;
}

void ApplyLongStringMissing(const ExtensionBody& ext, bool swap, const NameIndex& names,
                            Dictionary* dict) {
    std::vector<Variable>& vars = dict->variables;
    const std::string where =
        RecordAt("long string missing values record", ext.subtype, ext.offset);
    std::vector<LongMissing> entries;
    if (!ParseLongMissing(ext.body, swap, false, &entries) &&
        !ParseLongMissing(ext.body, swap, true, &entries)) {
        Warn(dict, where + ": fits neither of its layouts; its " + std::to_string(ext.body.size()) +
                       " bytes were dropped");
        return;
    }
    for (const LongMissing& e : entries) {
        const int v = names.Find(e.name);
        if (v < 0 || vars[v].width <= 8) {
            Warn(dict, where + ": " + Quoted(e.name) +
                           (v < 0 ? " names no variable" : " is not a string wider than 8 bytes") +
                           "; its missing values were dropped");
            continue;
        }
        vars[v].missingCode = static_cast<int>(e.values.size());
        for (size_t k = 0; k < e.values.size(); ++k) vars[v].missingText[k] = e.values[k];
    }
}

// Attaches each type 3 set to the variables its type 4 record names, keeping
// only indexes on the first slot of variables of one kind.
void AttachLabelSets(RawDictionary& raw, const std::vector<int>& slotToVar, Dictionary* dict) {
    std::vector<int> lastUse(raw.variables.size(), -1);
    for (const LabelSetUse& use : raw.labelUses) {
        int kind = -1;  // 0 numeric, 1 short string
        std::vector<int> targets;
        // The indexes dropped, the first few named.
        int dropped = 0;
        std::string named;
        const auto drop = [&](int32_t slot, const char* why) {
            if (++dropped <= 5) named += (dropped > 1 ? ", " : "") + std::to_string(slot) + why;
        };
        for (int32_t slot : use.slots) {
            if (slot < 1 || static_cast<size_t>(slot) > slotToVar.size()) {
                drop(slot, " (no such slot)");
                continue;
            }
            const int v = slotToVar[slot - 1];
            if (v < 0) {
                drop(slot, " (inside a string)");
                continue;
            }
            const int width = raw.variables[v].width;
            if (width > 8) {
                drop(slot, " (a string wider than 8 bytes)");
                continue;
            }
            const int k = width > 0 ? 1 : 0;
            if (kind < 0) kind = k;
            if (k != kind) {
                drop(slot, k ? " (a string among numbers)" : " (a number among strings)");
                continue;
            }
            if (lastUse[v] == use.set) continue;
            lastUse[v] = use.set;
            targets.push_back(v);
        }
        for (int v : targets) raw.variables[v].labelSets.push_back(use.set);
        if (dropped > 0)
            Warn(dict, "value label record at " + OffsetText(use.offset) +
                           ": invalid variable index " + named +
                           (dropped > 5 ? " and " + std::to_string(dropped - 5) + " more" : "") +
                           (targets.empty() ? "; the labels were dropped" : "; dropped"));
    }
}

void SetMissingValues(const RawVariable& r, bool swap, Variable* v) {
    v->missingCode = r.missingCode;
    const int n = r.missingCode < 0 ? -r.missingCode : r.missingCode;
    for (int k = 0; k < n; ++k) {
        if (r.width == 0) {
            v->missing[k] = LoadF64(r.missing[k].data(), swap);
        } else {
            const size_t len = static_cast<size_t>(std::min(r.width, 8));
            v->missingText[k].assign(reinterpret_cast<const char*>(r.missing[k].data()), len);
        }
    }
}

std::string TrimText(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
    return std::string(s);
}

// The element size (and count, when fixed) each known subtype must have.
struct Expected {
    int32_t size;
    int32_t count;  // 0 = any
};

bool ExpectedShape(int32_t subtype, Expected* e) {
    switch (subtype) {
        case kExtIntegerInfo:
            *e = {4, integer_info::kCount};
            return true;
        case kExtFloatInfo:
            *e = {8, kFloatInfoCount};
            return true;
        case kExtDisplayParameters:
            *e = {4, 0};
            return true;
        case kExtCaseCount64:
            *e = {8, 2};
            return true;
        case kExtVariableSets:
        case kExtMultipleResponse:
        case kExtProductInfo:
        case kExtLongNames:
        case kExtVeryLongStrings:
        case kExtFileAttributes:
        case kExtVariableAttributes:
        case kExtCountedMultipleResponse:
        case kExtEncoding:
        case kExtLongStringLabels:
        case kExtLongStringMissing:
        case kExtXml:
            *e = {1, 0};
            return true;
        default:
            return false;
    }
}

// Drops the known records whose element size or count is not their own,
// with a warning; unknown subtypes stay (they are only listed).
void DropMisshapenRecords(RawDictionary& raw, Dictionary* dict) {
    std::vector<ExtensionBody> kept;
    kept.reserve(raw.extensions.size());
    for (const ExtensionBody& ext : raw.extensions) {
        Expected e;
        if (ExpectedShape(ext.subtype, &e) &&
            (ext.size != e.size || (e.count != 0 && ext.count != e.count))) {
            Warn(dict, "extension record subtype " + std::to_string(ext.subtype) + " at " +
                           OffsetText(ext.offset) + ": unexpected element size " +
                           std::to_string(ext.size) + " or count " + std::to_string(ext.count) +
                           "; skipped");
            continue;
        }
        kept.push_back(ext);
    }
    raw.extensions = std::move(kept);
}

// Subtypes 3, 4, 10, 14, 16 and 20: what is needed before the variables.
int ReadMachineRecords(const RawDictionary& raw, Dictionary* dict,
                       std::vector<VeryLongWidth>* veryLong) {
    const bool swap = dict->swap;
    for (const ExtensionBody& ext : raw.extensions) {
        const auto* b = reinterpret_cast<const uint8_t*>(ext.body.data());
        switch (ext.subtype) {
            case kExtIntegerInfo:
                if (const int32_t rep = LoadI32(b + 4 * integer_info::kFloatingPointRep, swap);
                    rep != integer_info::kIeee754)
                    return Refuse(SPSS_INVALID_FILE, static_cast<int64_t>(ext.offset),
                                  RecordAt("machine integer info record", ext.subtype, ext.offset) +
                                      ": unsupported floating-point format " + std::to_string(rep));
                if (dict->hasIntegerInfo) break;
                dict->hasIntegerInfo = true;
                for (int i = 0; i < integer_info::kCount; ++i)
                    dict->integerInfo[i] = LoadI32(b + 4 * i, swap);
                dict->characterCode = dict->integerInfo[integer_info::kCharacterCode];
                break;
            case kExtFloatInfo:
                if (dict->hasFloatInfo) break;
                dict->hasFloatInfo = true;
                for (int i = 0; i < kFloatInfoCount; ++i)
                    dict->floatInfo[i] = LoadF64(b + 8 * i, swap);
                break;
            case kExtProductInfo:
                dict->productInfo += ext.body;
                break;
            case kExtVeryLongStrings: {
                auto more = ParseVeryLongWidths(ext, dict);
                veryLong->insert(veryLong->end(), more.begin(), more.end());
                break;
            }
            case kExtCaseCount64:
                if (LoadI64(b, swap) == 1 && LoadI64(b + 8, swap) >= 0)
                    dict->extCaseCount = LoadI64(b + 8, swap);
                else
                    Warn(dict, RecordAt("case count record", ext.subtype, ext.offset) +
                                   " is implausible; the header's count is used");
                break;
            case kExtEncoding:
                if (ext.count > 64) {
                    Warn(dict, RecordAt("character encoding record", ext.subtype, ext.offset) +
                                   " is too long; skipped");
                    break;
                }
                dict->encodingRecord = TrimText(ext.body);
                // A wide or stateful encoding would garble every text: such
                // a name counts as no record at all.
                dict->encodingRecordUsable = lv::IsAsciiCompatibleEncoding(dict->encodingRecord);
                if (!dict->encodingRecordUsable)
                    Warn(dict, RecordAt("character encoding record", ext.subtype, ext.offset) +
                                   ": " + Quoted(dict->encodingRecord) +
                                   " is not an encoding system files are written in; ignored");
                break;
            default:
                break;
        }
    }
    return 0;
}

}  // namespace

void Warn(Dictionary* dict, std::string text) {
    if (dict->warnings.size() < kMaxWarnings) {
        dict->warnings.push_back(std::move(text));
    } else if (dict->warnings.size() == kMaxWarnings) {
        dict->warnings.push_back("further warnings were left out");
    }
}

int AssembleDictionary(RawDictionary& raw, Dictionary* dict) {
    const bool swap = dict->swap;
    DropMisshapenRecords(raw, dict);
    std::vector<VeryLongWidth> veryLong;
    if (int st = ReadMachineRecords(raw, dict, &veryLong)) return st;

    std::vector<int> slotToVar(static_cast<size_t>(dict->slotCount), -1);
    for (size_t i = 0; i < raw.variables.size(); ++i)
        slotToVar[raw.variables[i].slot] = static_cast<int>(i);
    AttachLabelSets(raw, slotToVar, dict);

    std::vector<int> mergedWidth;
    const std::vector<int> segments = MergeVeryLongStrings(raw, veryLong, &mergedWidth, dict);
    std::vector<int> rawToVar(raw.variables.size(), -1);
    dict->variables.reserve(raw.variables.size());
    for (size_t i = 0; i < raw.variables.size(); ++i) {
        if (segments[i] == 0) continue;
        RawVariable& r = raw.variables[i];
        Variable v;
        v.shortName = r.name;
        v.width = segments[i] > 1 ? mergedWidth[i] : r.width;
        v.firstSlot = r.slot;
        v.segments = segments[i];
        v.print = UnpackFormat(r.print, v.width);
        v.write = UnpackFormat(r.write, v.width);
        v.hasLabel = r.hasLabel;
        v.label = std::move(r.label);
        SetMissingValues(r, swap, &v);
        v.labelSets = std::move(r.labelSets);
        rawToVar[i] = static_cast<int>(dict->variables.size());
        dict->variables.push_back(std::move(v));
    }

    dict->slotIsString.assign(static_cast<size_t>(dict->slotCount), 0);
    for (const RawVariable& r : raw.variables) {
        if (r.width == 0) continue;
        const int n = (r.width + 7) / 8;
        std::fill_n(dict->slotIsString.begin() + r.slot, n, 1);
    }

    std::vector<Variable>& vars = dict->variables;
    NameIndex& shortNames = dict->shortNameIndex;
    shortNames.Reserve(vars.size());
    for (size_t i = 0; i < vars.size(); ++i) shortNames.Add(vars[i].shortName, static_cast<int>(i));
    for (const ExtensionBody& ext : raw.extensions)
        if (ext.subtype == kExtLongNames) ApplyLongNames(ext.body, shortNames, vars);
    NameIndex& longNames = dict->displayNameIndex;
    longNames.Reserve(vars.size());
    for (size_t i = 0; i < vars.size(); ++i)
        longNames.Add(vars[i].displayName(), static_cast<int>(i));
    for (const ExtensionBody& ext : raw.extensions) {
        switch (ext.subtype) {
            case kExtLongStringLabels:
                ApplyLongStringLabels(ext, swap, longNames, dict);
                break;
            case kExtLongStringMissing:
                ApplyLongStringMissing(ext, swap, longNames, dict);
                break;
            case kExtDisplayParameters:
                ApplyDisplayParameters(ext, swap, rawToVar, dict);
                break;
            case kExtFileAttributes:
                ReadFileAttributes(ext, dict);
                break;
            case kExtVariableAttributes:
                ApplyVariableAttributes(ext, longNames, dict);
                break;
            case kExtMultipleResponse:
            case kExtCountedMultipleResponse:
                ReadMultipleResponseSets(ext, shortNames, dict);
                break;
            case kExtVariableSets:
                ReadVariableSets(ext.body, longNames, shortNames, dict);
                break;
            default:
                break;
        }
    }

    if (raw.weightSlot >= 1 && raw.weightSlot <= dict->slotCount) {
        const int r = slotToVar[raw.weightSlot - 1];
        if (r >= 0 && raw.variables[r].width == 0) dict->weightVariable = rawToVar[r];
    }
    return 0;
}

}  // namespace savio
