// Turns a fixture::File description into the bytes of an SPSS system file:
// header, variable records (with continuations and very long string
// segments), value labels, documents, extension records, the 999 record and
// the case data, uncompressed, bytecode-compressed or zlib-compressed.
#include "tests/support/savfixture.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace fixture {
namespace {

// One variable record that is not a continuation: a whole variable, or one
// segment of a very long string.
struct Segment {
    size_t variable;        // index into File::variables
    int part;               // segment number, 0 for ordinary variables
    std::string shortName;  // name on the record
    int declaredWidth;      // type field: 0 numeric, 1..255 string
    int firstSlot;          // 0-based
};

int SegmentCount(int width) {
    return width > 255 ? (width + 251) / 252 : 1;
}

int SegmentWidth(int width, int part) {
    int n = SegmentCount(width);
    if (n == 1) return width;
    return part < n - 1 ? 255 : width - 252 * (n - 1);
}

// Short name of segment `part` > 0: the first bytes of the variable's name
// and a number, within 8 bytes.
std::string SegmentName(const std::string& base, int part) {
    std::string suffix = "_" + std::to_string(part);
    return base.substr(0, 8 - suffix.size()) + suffix;
}

struct Plan {
    std::vector<Segment> segments;
    std::vector<int> firstSlot;  // per variable
    int slots = 0;
};

Plan MakePlan(const File& f) {
    Plan plan;
    for (size_t v = 0; v < f.variables.size(); ++v) {
        const Variable& var = f.variables[v];
        if (var.width < 0 || var.width > 32767)
            throw std::invalid_argument("fixture: width out of range for " + var.name);
        plan.firstSlot.push_back(plan.slots);
        int parts = SegmentCount(var.width);
        for (int k = 0; k < parts; ++k) {
            int w = SegmentWidth(var.width, k);
            std::string name = k == 0 ? var.name : SegmentName(var.name, k);
            plan.segments.push_back({v, k, name, w, plan.slots});
            plan.slots += w == 0 ? 1 : (w + 7) / 8;
        }
    }
    return plan;
}

int32_t PackFormat(const Format& fmt) {
    return (fmt.type << 16) | ((fmt.width & 0xff) << 8) | (fmt.decimals & 0xff);
}

std::string Padded(const std::string& s, size_t n, char pad) {
    std::string r = s.substr(0, n);
    r.resize(n, pad);
    return r;
}

// A short string value (width <= 8) as 8 bytes: spaces up to the width,
// NUL bytes after it.
std::string ShortStringSlot(const std::string& s, int width) {
    return Padded(Padded(s, width, ' '), 8, '\0');
}

class Writer {
  public:
    explicit Writer(Endian e) : endian_(e) {}
    void I32(int32_t v) { Grow(4), PutInt32(out_, out_.size() - 4, v, endian_); }
    void I64(int64_t v) { Grow(8), PutInt64(out_, out_.size() - 8, v, endian_); }
    void F64(double v) { Grow(8), PutDouble(out_, out_.size() - 8, v, endian_); }
    void Raw(const std::string& s) { out_ += s; }
    void Text(const std::string& s, size_t n, char pad = ' ') { out_ += Padded(s, n, pad); }
    size_t Size() const { return out_.size(); }
    std::string& Bytes() { return out_; }

  private:
    void Grow(size_t n) { out_.resize(out_.size() + n); }
    Endian endian_;
    std::string out_;
};

// An extension record body built in the file's byte order.
void Extension(Writer& w, Layout& layout, int subtype, int size, int count,
               const std::string& body) {
    layout.extensions.push_back(w.Size());
    layout.extensionSubtypes.push_back(subtype);
    w.I32(7);
    w.I32(subtype);
    w.I32(size);
    w.I32(count);
    w.Raw(body);
}

void TextExtension(Writer& w, Layout& layout, int subtype, const std::string& body) {
    Extension(w, layout, subtype, 1, static_cast<int>(body.size()), body);
}

void WriteHeader(Writer& w, const File& f, const Plan& plan) {
    w.Raw(f.compression == Compression::Zlib ? "$FL3" : "$FL2");
    w.Text(f.product, 60);
    w.I32(2);
    w.I32(f.nominalCaseSize.value_or(plan.slots));
    w.I32(f.compression == Compression::None ? 0 : f.compression == Compression::Bytecode ? 1 : 2);
    int weight = 0;
    if (f.weightVariable >= 0 && size_t(f.weightVariable) < plan.firstSlot.size())
        weight = plan.firstSlot[f.weightVariable] + 1;
    w.I32(weight);
    w.I32(f.headerCaseCount.value_or(static_cast<int>(f.cases.size())));
    w.F64(f.bias);
    w.Text(f.date, 9);
    w.Text(f.time, 8);
    w.Text(f.fileLabel, 64);
    w.Text("", 3, '\0');
}

void WriteMissing(Writer& w, const Variable& var, int declaredWidth) {
    const Missing& m = var.missing;
    if (declaredWidth == 0) {
        if (m.range) {
            w.F64(m.range->first);
            w.F64(m.range->second);
            if (!m.discrete.empty()) w.F64(m.discrete[0]);
        } else {
            for (double d : m.discrete) w.F64(d);
        }
    } else if (var.width <= 8) {
        for (const std::string& s : m.strings) w.Raw(ShortStringSlot(s, var.width));
    }
}

int MissingCode(const Variable& var) {
    const Missing& m = var.missing;
    if (var.width == 0) {
        if (m.range) {
            if (m.discrete.size() > 1)
                throw std::invalid_argument("fixture: a range takes at most one discrete value");
            return m.discrete.empty() ? -2 : -3;
        }
        if (m.discrete.size() > 3) throw std::invalid_argument("fixture: more than 3 missing");
        return static_cast<int>(m.discrete.size());
    }
    if (m.strings.size() > 3) throw std::invalid_argument("fixture: more than 3 missing");
    return var.width <= 8 ? static_cast<int>(m.strings.size()) : 0;
}

void WriteVariableRecords(Writer& w, Layout& layout, const File& f, const Plan& plan) {
    for (const Segment& seg : plan.segments) {
        const Variable& var = f.variables[seg.variable];
        bool first = seg.part == 0;
        Format print = var.print;
        // A string left with the numeric default format gets A<width>.
        if (var.width > 0 && print.type == 5 && print.width == 8 && print.decimals == 2)
            print = Format{1, std::min(var.width, 255), 0};
        if (!first || var.width > 255) print = Format{1, seg.declaredWidth, 0};
        Format write = var.writeSet && first && var.width <= 255 ? var.write : print;
        bool labelled = first && var.label.has_value();
        int missing = first ? MissingCode(var) : 0;

        layout.variableRecords.push_back(w.Size());
        w.I32(2);
        w.I32(seg.declaredWidth);
        w.I32(labelled ? 1 : 0);
        w.I32(missing);
        w.I32(PackFormat(print));
        w.I32(PackFormat(write));
        w.Text(seg.shortName, 8);
        if (labelled) {
            const std::string& label = *var.label;
            w.I32(var.labelLengthOverride.value_or(static_cast<int>(label.size())));
            w.Text(label, (label.size() + 3) / 4 * 4);
        }
        if (first) WriteMissing(w, var, seg.declaredWidth);

        int continuations = seg.declaredWidth == 0 ? 0 : (seg.declaredWidth + 7) / 8 - 1;
        for (int c = 0; c < continuations; ++c) {
            layout.variableRecords.push_back(w.Size());
            w.I32(2);
            w.I32(-1);
            w.I32(0);
            w.I32(0);
            w.I32(0);
            w.I32(0);
            w.Text("", 8, '\0');
        }
    }
}

bool IsLongString(const Variable& v) {
    return v.width > 8;
}

const std::string& NameForExtensions(const Variable& v) {
    return v.longName.empty() ? v.name : v.longName;
}

// Type 3 + 4 pairs for numeric and short string variables.
void WriteValueLabelRecords(Writer& w, std::vector<size_t>& boundaries, const File& f,
                            const Plan& plan) {
    for (const ValueLabelSet& set : f.valueLabels) {
        std::vector<int> indexes;
        bool strings = false;
        for (int v : set.variables) {
            if (v < 0 || size_t(v) >= f.variables.size()) {
                indexes.push_back(v + 1);  // deliberately out of range: written as given
                continue;
            }
            if (IsLongString(f.variables[v])) continue;
            if (indexes.empty()) strings = f.variables[v].width > 0;
            indexes.push_back(plan.firstSlot[v] + 1);
        }
        if (indexes.empty()) continue;
        int width = 8;
        for (int v : set.variables)
            if (v >= 0 && size_t(v) < f.variables.size() && f.variables[v].width > 0 &&
                !IsLongString(f.variables[v])) {
                width = f.variables[v].width;
                break;
            }

        auto writeLabel = [&](const std::string& label) {
            std::string text = label.substr(0, 255);
            size_t padded = (text.size() + 1 + 7) / 8 * 8 - 1;
            w.Raw(std::string(1, static_cast<char>(text.size())));
            w.Text(text, padded, ' ');
        };
        boundaries.push_back(w.Size());
        w.I32(3);
        if (strings) {
            w.I32(static_cast<int>(set.strings.size()));
            for (const auto& [value, label] : set.strings) {
                w.Raw(ShortStringSlot(value, width));
                writeLabel(label);
            }
        } else {
            w.I32(static_cast<int>(set.numeric.size()));
            for (const auto& [value, label] : set.numeric) {
                w.F64(value);
                writeLabel(label);
            }
        }
        boundaries.push_back(w.Size());
        w.I32(4);
        w.I32(static_cast<int>(indexes.size()));
        for (int i : indexes) w.I32(i);
    }
}

// Subtype 21 body: labels of strings wider than 8 bytes.
std::string LongStringLabels(const File& f, Endian e) {
    Writer b(e);
    for (const ValueLabelSet& set : f.valueLabels) {
        for (int v : set.variables) {
            if (v < 0 || size_t(v) >= f.variables.size() || !IsLongString(f.variables[v])) continue;
            const Variable& var = f.variables[v];
            const std::string& name = NameForExtensions(var);
            b.I32(static_cast<int>(name.size()));
            b.Raw(name);
            b.I32(var.width);
            b.I32(static_cast<int>(set.strings.size()));
            for (const auto& [value, label] : set.strings) {
                b.I32(var.width);
                b.Text(value, var.width);
                b.I32(static_cast<int>(label.size()));
                b.Raw(label);
            }
        }
    }
    return b.Bytes();
}

// Subtype 22 body: missing values of strings wider than 8 bytes (8-byte
// prefixes), in the layout with a length before every value or, on
// request, one length per variable.
std::string LongStringMissing(const File& f, Endian e) {
    Writer b(e);
    for (const Variable& var : f.variables) {
        if (!IsLongString(var) || var.missing.strings.empty()) continue;
        const std::string& name = NameForExtensions(var);
        b.I32(static_cast<int>(name.size()));
        b.Raw(name);
        b.Raw(std::string(1, static_cast<char>(var.missing.strings.size())));
        if (f.longMissingLayoutA) b.I32(8);
        for (const std::string& s : var.missing.strings) {
            if (!f.longMissingLayoutA) b.I32(8);
            b.Text(s, 8);
        }
    }
    return b.Bytes();
}

std::string DisplayParameters(const File& f, const Plan& plan, Endian e, int* count) {
    Writer b(e);
    *count = 0;
    for (const Segment& seg : plan.segments) {
        const Variable& var = f.variables[seg.variable];
        Variable::Display d;
        if (var.display) {
            d = *var.display;
        } else if (var.width == 0) {
            d = {3, 8, 1};
        } else {
            d = {1, std::min(var.width, 32), 0};
        }
        b.I32(d.measure);
        if (f.displayValuesPerVariable != 2) b.I32(d.width);
        b.I32(d.alignment);
        *count += f.displayValuesPerVariable == 2 ? 2 : 3;
    }
    return b.Bytes();
}

// Subtype 17 body, and one variable's part of subtype 18: Name('value'\n)...
std::string AttributeSet(const std::vector<Attribute>& attributes) {
    std::string out;
    for (const Attribute& a : attributes) {
        out += a.name + "(";
        for (const std::string& v : a.values) out += "'" + v + "'\n";
        out += ")";
    }
    return out;
}

std::string VariableAttributes(const File& f) {
    std::string out;
    for (const Variable& var : f.variables) {
        std::vector<Attribute> all = var.attributes;
        if (var.role) all.push_back({"$@Role", {std::to_string(*var.role)}});
        if (all.empty()) continue;
        if (!out.empty()) out += "/";
        out += NameForExtensions(var) + ":" + AttributeSet(all);
    }
    return out;
}

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Counted(const std::string& s) {
    return std::to_string(s.size()) + " " + s;
}

// Subtype 7 (counted == false: category sets and dichotomy sets labelled by
// variable labels) or 19 (dichotomy sets labelled by counted values).
std::string MultipleResponseSets(const File& f, bool counted) {
    std::string out;
    for (const MultipleResponseSet& set : f.mrsets) {
        if (set.countedValueLabels != counted) continue;
        out += set.name + "=";
        if (!set.dichotomy)
            out += "C " + Counted(set.label);
        else if (!counted)
            out += "D" + Counted(set.countedValue) + " " + Counted(set.label);
        else
            out += std::string("E ") + (set.labelFromVariable ? "11" : "1") + " " +
                   Counted(set.countedValue) + " " + Counted(set.label);
        for (int v : set.variables)
            out += " " + LowerAscii(v >= 0 && size_t(v) < f.variables.size()
                                        ? f.variables[size_t(v)].name
                                        : "nosuchvar");
        out += "\n";
    }
    return out;
}

// Subtype 5 body: "name= member member\n" per set.
std::string VariableSets(const File& f) {
    std::string out;
    for (const auto& [name, members] : f.variableSets) {
        out += name + "=";
        for (const std::string& m : members) out += " " + m;
        out += "\n";
    }
    return out;
}

void WriteExtensions(Writer& w, Layout& layout, const File& f, const Plan& plan) {
    Endian e = f.endian;
    if (f.characterCode != 0) {
        Writer b(e);
        for (int v : {f.release[0], f.release[1], f.release[2], f.machineCode, 1, 1,
                      e == Endian::Big ? 1 : 2, f.characterCode})
            b.I32(v);
        Extension(w, layout, 3, 4, 8, b.Bytes());
    }
    if (f.writeFloatInfo) {
        Writer b(e);
        b.F64(kSysmis);
        b.F64(kHighest);
        b.F64(kLowest);
        Extension(w, layout, 4, 8, 3, b.Bytes());
    }
    if (!f.variableSets.empty()) TextExtension(w, layout, 5, VariableSets(f));
    const std::string mrsets = MultipleResponseSets(f, false);
    if (!mrsets.empty()) TextExtension(w, layout, 7, mrsets);
    if (!f.productInfo.empty()) TextExtension(w, layout, 10, f.productInfo);
    if (f.displayParameters) {
        int count = 0;
        std::string body = DisplayParameters(f, plan, e, &count);
        Extension(w, layout, 11, 4, count, body);
    }
    std::string longNames;
    for (const Variable& var : f.variables) {
        if (var.longName.empty()) continue;
        if (!longNames.empty()) longNames += '\t';
        longNames += var.name + "=" + var.longName;
    }
    if (!longNames.empty()) TextExtension(w, layout, 13, longNames);
    std::string veryLong;
    for (const Variable& var : f.variables) {
        if (var.width <= 255) continue;
        char digits[16];
        std::snprintf(digits, sizeof digits, "%05d", var.width);
        veryLong += var.name + "=" + digits + std::string("\0\t", 2);
    }
    if (!veryLong.empty()) TextExtension(w, layout, 14, veryLong);
    if (f.writeCaseCount64) {
        Writer b(e);
        b.I64(1);
        b.I64(f.caseCount64.value_or(static_cast<long long>(f.cases.size())));
        Extension(w, layout, 16, 8, 2, b.Bytes());
    }
    if (!f.fileAttributes.empty()) TextExtension(w, layout, 17, AttributeSet(f.fileAttributes));
    const std::string variableAttributes = VariableAttributes(f);
    if (!variableAttributes.empty()) TextExtension(w, layout, 18, variableAttributes);
    const std::string countedSets = MultipleResponseSets(f, true);
    if (!countedSets.empty()) TextExtension(w, layout, 19, countedSets);
    std::string labels = LongStringLabels(f, e);
    if (!labels.empty()) TextExtension(w, layout, 21, labels);
    std::string missing = LongStringMissing(f, e);
    if (!missing.empty()) TextExtension(w, layout, 22, missing);
    if (!f.encoding.empty()) TextExtension(w, layout, 20, f.encoding);
    for (const File::RawExtension& x : f.extraExtensions)
        Extension(w, layout, x.subtype, x.size, x.count, x.data);
}

// The slots of one case: 8 bytes each in the file's byte order, and whether
// each is a string slot.
void CaseSlots(const File& f, const Plan& plan, const Case& c, std::vector<std::string>& slots,
               std::vector<bool>& isString) {
    if (c.size() > f.variables.size()) throw std::invalid_argument("fixture: too many values");
    slots.clear();
    isString.clear();
    for (size_t v = 0; v < f.variables.size(); ++v) {
        const Variable& var = f.variables[v];
        if (var.width == 0) {
            double d = kSysmis;
            if (v < c.size()) {
                if (!std::holds_alternative<double>(c[v]))
                    throw std::invalid_argument("fixture: text for numeric " + var.name);
                d = std::get<double>(c[v]);
            }
            std::string slot(8, '\0');
            PutDouble(slot, 0, d, f.endian);
            slots.push_back(slot);
            isString.push_back(false);
            continue;
        }
        std::string text;
        if (v < c.size()) {
            if (!std::holds_alternative<std::string>(c[v]))
                throw std::invalid_argument("fixture: number for string " + var.name);
            text = std::get<std::string>(c[v]);
        }
        if (text.size() > size_t(var.width))
            throw std::invalid_argument("fixture: value wider than " + var.name);
        text.resize(var.width, ' ');
        // Each segment stores 255 bytes of the value at the start of its storage.
        int parts = SegmentCount(var.width);
        for (int k = 0; k < parts; ++k) {
            int declared = SegmentWidth(var.width, k);
            size_t storage = (declared + 7) / 8 * 8;
            size_t from = size_t(255) * k;
            size_t used = from < text.size() ? std::min<size_t>(255, text.size() - from) : 0;
            if (parts == 1) used = text.size();
            std::string bytes = text.substr(std::min(from, text.size()), used);
            bytes.resize(storage, ' ');
            for (size_t s = 0; s < storage; s += 8) {
                slots.push_back(bytes.substr(s, 8));
                isString.push_back(true);
            }
        }
    }
    (void)plan;
}

std::string Uncompressed(const File& f, const Plan& plan) {
    std::string out;
    std::vector<std::string> slots;
    std::vector<bool> isString;
    for (const Case& c : f.cases) {
        CaseSlots(f, plan, c, slots, isString);
        for (const std::string& s : slots) out += s;
    }
    return out;
}

std::string Bytecode(const File& f, const Plan& plan) {
    std::string out;
    std::string commands;
    std::string raws;
    auto flush = [&] {
        commands.resize(8, '\0');
        out += commands;
        out += raws;
        commands.clear();
        raws.clear();
    };
    auto command = [&](unsigned char code, const std::string* raw) {
        commands += static_cast<char>(code);
        if (raw) raws += *raw;
        if (commands.size() == 8) flush();
    };
    std::vector<std::string> slots;
    std::vector<bool> isString;
    for (const Case& c : f.cases) {
        CaseSlots(f, plan, c, slots, isString);
        for (size_t s = 0; s < slots.size(); ++s) {
            if (isString[s]) {
                if (slots[s] == std::string(8, ' '))
                    command(254, nullptr);
                else
                    command(253, &slots[s]);
                continue;
            }
            double d = GetDouble(slots[s], 0, f.endian);
            double code = d + f.bias;
            if (std::memcmp(&d, &kSysmis, 8) == 0) {
                command(255, nullptr);
            } else if (d == std::floor(d) && code >= 1 && code <= 251 &&
                       !(d == 0 && std::signbit(d))) {
                command(static_cast<unsigned char>(code), nullptr);
            } else {
                command(253, &slots[s]);
            }
        }
    }
    if (f.bytecodeEndMarker) command(252, nullptr);
    if (!commands.empty()) flush();
    return out;
}

std::string Zlib(const File& f, const Plan& plan, size_t dataOffset, Layout& layout) {
    std::string stream = Bytecode(f, plan);
    size_t blockSize = f.zlibBlockSize > 0 ? size_t(f.zlibBlockSize) : stream.size() + 1;
    std::vector<std::string> blocks;
    std::vector<size_t> rawSizes;
    for (size_t at = 0; at < stream.size(); at += blockSize) {
        size_t n = std::min(blockSize, stream.size() - at);
        uLongf bound = compressBound(n);
        std::string z(bound, '\0');
        if (compress2(reinterpret_cast<Bytef*>(z.data()), &bound,
                      reinterpret_cast<const Bytef*>(stream.data() + at), n,
                      Z_DEFAULT_COMPRESSION) != Z_OK)
            throw std::runtime_error("fixture: compress2 failed");
        z.resize(bound);
        blocks.push_back(z);
        rawSizes.push_back(n);
    }
    size_t compressedTotal = 0;
    for (const std::string& b : blocks) compressedTotal += b.size();

    Writer w(f.endian);
    int64_t trailer = int64_t(dataOffset + 24 + compressedTotal);
    w.I64(int64_t(dataOffset));
    w.I64(trailer);
    w.I64(int64_t(24 + 24 * blocks.size()));
    size_t compressedAt = dataOffset + 24;
    for (size_t k = 0; k < blocks.size(); ++k) {
        layout.zblocks.push_back(compressedAt);
        layout.zblockSizes.push_back(blocks[k].size());
        layout.zblockRawSizes.push_back(rawSizes[k]);
        w.Raw(blocks[k]);
        compressedAt += blocks[k].size();
    }
    layout.ztrailer = size_t(trailer);
    w.I64(-static_cast<int64_t>(f.bias));
    w.I64(0);
    w.I32(f.zlibBlockSize);
    w.I32(static_cast<int32_t>(blocks.size()));
    int64_t rawAt = int64_t(dataOffset);
    compressedAt = dataOffset + 24;
    for (size_t k = 0; k < blocks.size(); ++k) {
        w.I64(rawAt);
        w.I64(int64_t(compressedAt));
        w.I32(static_cast<int32_t>(rawSizes[k]));
        w.I32(static_cast<int32_t>(blocks[k].size()));
        rawAt += int64_t(rawSizes[k]);
        compressedAt += blocks[k].size();
    }
    return w.Bytes();
}

struct Built {
    std::string bytes;
    Layout layout;
    std::vector<size_t> boundaries;
};

Built BuildAll(const File& f) {
    Built built;
    Layout& layout = built.layout;
    Plan plan = MakePlan(f);
    Writer w(f.endian);
    built.boundaries.push_back(0);
    WriteHeader(w, f, plan);
    WriteVariableRecords(w, layout, f, plan);
    built.boundaries.insert(built.boundaries.end(), layout.variableRecords.begin(),
                            layout.variableRecords.end());
    WriteValueLabelRecords(w, built.boundaries, f, plan);
    if (!f.documents.empty()) {
        built.boundaries.push_back(w.Size());
        w.I32(6);
        w.I32(static_cast<int>(f.documents.size()));
        for (const std::string& line : f.documents) w.Text(line, 80);
    }
    WriteExtensions(w, layout, f, plan);
    built.boundaries.insert(built.boundaries.end(), layout.extensions.begin(),
                            layout.extensions.end());
    layout.terminator = w.Size();
    built.boundaries.push_back(w.Size());
    w.I32(999);
    w.I32(0);
    layout.data = w.Size();
    built.boundaries.push_back(w.Size());
    switch (f.compression) {
        case Compression::None:
            w.Raw(Uncompressed(f, plan));
            break;
        case Compression::Bytecode:
            w.Raw(Bytecode(f, plan));
            break;
        case Compression::Zlib:
            w.Raw(Zlib(f, plan, layout.data, layout));
            break;
    }
    layout.size = w.Size();
    built.bytes = std::move(w.Bytes());
    return built;
}

}  // namespace

int SlotsOf(int width) {
    if (width == 0) return 1;
    int slots = 0;
    for (int k = 0; k < SegmentCount(width); ++k) slots += (SegmentWidth(width, k) + 7) / 8;
    return slots;
}

Variable Numeric(const std::string& name, Format print) {
    Variable v;
    v.name = name;
    v.print = print;
    v.write = print;
    return v;
}

Variable String(const std::string& name, int width) {
    Variable v;
    v.name = name;
    v.width = width;
    v.print = Format{1, std::min(width, 255), 0};
    v.write = v.print;
    return v;
}

std::string Build(const File& f) {
    return BuildAll(f).bytes;
}
Layout Describe(const File& f) {
    return BuildAll(f).layout;
}
std::vector<size_t> RecordBoundaries(const File& f) {
    return BuildAll(f).boundaries;
}
std::string BytecodeStream(const File& f) {
    return Bytecode(f, MakePlan(f));
}

}  // namespace fixture
