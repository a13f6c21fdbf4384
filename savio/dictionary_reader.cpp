#include "dictionary_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "raw_dictionary.h"
#include "record_layout.h"
#include "refusal.h"
#include "savio/byte_order.h"
#include "savio/spssfio.h"

namespace savio {
namespace {

constexpr int kMaxSlots = 1 << 24;

// A bounds-checked reading position in the file's bytes.
class Cursor {
  public:
    Cursor(const uint8_t* data, size_t size, size_t pos, bool swap, uint64_t* wanted)
        : data_(data), size_(size), pos_(pos), swap_(swap), wanted_(wanted) {}

    // Whether n more bytes are there; when not, notes how far the bytes
    // would have had to reach.
    bool Has(uint64_t n) {
        if (n <= size_ - pos_) return true;
        if (wanted_) *wanted_ = std::max(*wanted_, n > UINT64_MAX - pos_ ? UINT64_MAX : pos_ + n);
        return false;
    }
    size_t pos() const { return pos_; }
    const uint8_t* here() const { return data_ + pos_; }
    void Skip(size_t n) { pos_ += n; }
    int32_t I32() {
        const int32_t v = LoadI32(data_ + pos_, swap_);
        pos_ += 4;
        return v;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_;
    bool swap_;
    uint64_t* wanted_;
};

std::string TrimTrailing(const uint8_t* p, size_t n) {
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::string TextAt(const uint8_t* data, size_t offset, size_t size) {
    return std::string(reinterpret_cast<const char*>(data + offset), size);
}

int ReadHeader(const uint8_t* data, size_t size, Dictionary* dict) {
    using namespace header;
    if (size < kSize)
        return Refuse(
            SPSS_INVALID_FILE, kNoOffset,
            "not an SPSS system file (" + std::to_string(size) + " bytes, shorter than a header)");
    const bool fl2 = std::memcmp(data + kMagic, "$FL2", kMagicSize) == 0;
    const bool fl3 = std::memcmp(data + kMagic, "$FL3", kMagicSize) == 0;
    if (!fl2 && !fl3)
        return Refuse(SPSS_INVALID_FILE, kMagic,
                      "not an SPSS system file (no $FL2 or $FL3 at 0x0)");
    const int32_t layoutLe = LoadI32(data + kLayoutCode, false);
    const int32_t layoutBe = LoadI32(data + kLayoutCode, true);
    bool swap;
    if (layoutLe == kUsualLayoutCode || layoutLe == kOldLayoutCode) {
        swap = std::endian::native != std::endian::little;
    } else if (layoutBe == kUsualLayoutCode || layoutBe == kOldLayoutCode) {
        swap = std::endian::native != std::endian::big;
    } else {
        return Refuse(SPSS_INVALID_FILE, kLayoutCode,
                      "unknown byte order (layout code " + std::to_string(layoutLe) + " at " +
                          OffsetText(kLayoutCode) + ")");
    }
    dict->swap = swap;
    dict->layoutCode = LoadI32(data + kLayoutCode, swap);
    const int32_t compression = LoadI32(data + kCompression, swap);
    if (compression == kCompressionNone && fl2) {
        dict->compression = Compression::None;
    } else if (compression == kCompressionBytecode && fl2) {
        dict->compression = Compression::Bytecode;
    } else if (compression == kCompressionZlib && fl3) {
        dict->compression = Compression::Zlib;
    } else {
        return Refuse(SPSS_INVALID_FILE, kCompression,
                      "unsupported compression " + std::to_string(compression) + " in a " +
                          (fl3 ? "$FL3" : "$FL2") + " file at " + OffsetText(kCompression));
    }
    dict->bias = LoadF64(data + kBias, swap);
    if (!std::isfinite(dict->bias))
        return Refuse(SPSS_INVALID_FILE, kBias, "invalid compression bias at " + OffsetText(kBias));
    dict->product = TrimTrailing(data + kProduct, kProductSize);
    dict->nominalCaseSize = LoadI32(data + kNominalCaseSize, swap);
    dict->weightIndex = LoadI32(data + kWeightIndex, swap);
    dict->headerCaseCount = LoadI32(data + kCaseCount, swap);
    if (dict->headerCaseCount < -1) dict->headerCaseCount = -1;
    dict->date = TextAt(data, kCreationDate, kCreationDateSize);
    dict->time = TextAt(data, kCreationTime, kCreationTimeSize);
    dict->fileLabel = TextAt(data, kFileLabel, kFileLabelSize);
    return 0;
}

// Refusals inside a record name it and where it starts.
int Truncated(std::string_view what, size_t at) {
    return Refuse(SPSS_FILE_RERROR, static_cast<int64_t>(at),
                  std::string(what) + " at " + OffsetText(at) + " runs past the end of the file");
}

int Invalid(std::string_view what, size_t at, std::string_view fault) {
    return Refuse(SPSS_INVALID_FILE, static_cast<int64_t>(at),
                  std::string(what) + " at " + OffsetText(at) + ": " + std::string(fault));
}

// Reads one type 2 record after its record type. pendingContinuations counts
// the continuation records the previous string still needs.
int ReadVariableRecord(Cursor& in, RawDictionary& raw, int& slots, int& pendingContinuations) {
    constexpr std::string_view kWhat = "variable record";
    const size_t at = in.pos() - 4;
    if (!in.Has(28)) return Truncated(kWhat, at);
    const int32_t type = in.I32();
    const int32_t hasLabel = in.I32();
    const int32_t nMissing = in.I32();
    const uint32_t print = static_cast<uint32_t>(in.I32());
    const uint32_t write = static_cast<uint32_t>(in.I32());
    const uint8_t* name = in.here();
    in.Skip(kShortNameSize);
    if (type < kContinuationType || type > 255)
        return Invalid(kWhat, at, "invalid variable type " + std::to_string(type));
    if (hasLabel != 0 && hasLabel != 1)
        return Invalid(kWhat, at, "invalid label flag " + std::to_string(hasLabel));
    std::string label;
    if (hasLabel) {
        if (!in.Has(4)) return Truncated(kWhat, at);
        const int32_t len = in.I32();
        if (len < 0) return Invalid(kWhat, at, "negative label length " + std::to_string(len));
        const uint64_t padded = (static_cast<uint64_t>(len) + 3) / 4 * 4;
        if (!in.Has(padded)) return Truncated("the label of the variable record", at);
        label.assign(reinterpret_cast<const char*>(in.here()), static_cast<size_t>(len));
        in.Skip(padded);
    }
    const bool knownCode = (nMissing >= 0 && nMissing <= 3) || nMissing == -2 || nMissing == -3;
    if (!knownCode)
        return Invalid(kWhat, at, "invalid missing value code " + std::to_string(nMissing));
    const int nValues = nMissing < 0 ? -nMissing : nMissing;
    if (!in.Has(8 * static_cast<uint64_t>(nValues)))
        return Truncated("the missing values of the variable record", at);
    const uint8_t* missing = in.here();
    in.Skip(8 * nValues);

    if (type == kContinuationType) {
        if (pendingContinuations == 0)
            return Invalid(kWhat, at, "a continuation record with no string before it");
        --pendingContinuations;
        ++slots;
        return 0;
    }
    if (pendingContinuations != 0)
        return Invalid(kWhat, at,
                       "the string before it lacks " + std::to_string(pendingContinuations) +
                           " continuation record(s)");
    if (type > 0 && nMissing < 0)
        return Invalid(kWhat, at, "a missing value range on a string variable");
    const int width = type;
    const int varSlots = width == 0 ? 1 : (width + 7) / 8;
    if (slots > kMaxSlots - varSlots)
        return Invalid(
            kWhat, at,
            "too many variables (more than " + std::to_string(kMaxSlots) + " slots per case)");

    RawVariable v;
    v.name = TrimTrailing(name, kShortNameSize);
    v.width = width;
    v.slot = slots;
    v.print = print;
    v.write = write;
    v.hasLabel = hasLabel == 1;
    v.label = std::move(label);
    v.missingCode = nMissing;
    for (int i = 0; i < nValues; ++i) std::memcpy(v.missing[i].data(), missing + 8 * i, 8);
    raw.variables.push_back(std::move(v));
    slots += 1;  // its continuation records count the others
    pendingContinuations = varSlots - 1;
    return 0;
}

// Reads a type 3 record and the type 4 record that must follow it.
int ReadValueLabels(Cursor& in, RawDictionary& raw, Dictionary* dict) {
    constexpr std::string_view kWhat = "value label record";
    const size_t at = in.pos() - 4;
    if (!in.Has(4)) return Truncated(kWhat, at);
    const int32_t count = in.I32();
    if (count < 0) return Invalid(kWhat, at, "negative label count " + std::to_string(count));
    if (!in.Has(16 * static_cast<uint64_t>(count)))
        return Refuse(SPSS_FILE_RERROR, static_cast<int64_t>(at),
                      std::string(kWhat) + " at " + OffsetText(at) + ": label count " +
                          std::to_string(count) + " is more than the rest of the file holds");
    LabelSet set;
    set.entries.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        if (!in.Has(9)) return Truncated(kWhat, at);
        std::array<uint8_t, 8> value;
        std::memcpy(value.data(), in.here(), 8);
        const size_t len = in.here()[8];
        const size_t entry = 8 + (len + 1 + 7) / 8 * 8;
        if (!in.Has(entry)) return Truncated(kWhat, at);
        set.entries.emplace_back(value,
                                 std::string(reinterpret_cast<const char*>(in.here() + 9), len));
        in.Skip(entry);
    }
    const size_t indexAt = in.pos();
    constexpr std::string_view kIndexWhat = "variable index record";
    if (!in.Has(8)) return Truncated(kIndexWhat, indexAt);
    if (const int32_t next = in.I32(); next != kRecordLabelVariables)
        return Invalid(kWhat, at,
                       "followed by record type " + std::to_string(next) + " instead of 4");
    const int32_t nVars = in.I32();
    if (nVars < 0)
        return Invalid(kIndexWhat, indexAt, "negative variable count " + std::to_string(nVars));
    if (!in.Has(4 * static_cast<uint64_t>(nVars))) return Truncated(kIndexWhat, indexAt);
    LabelSetUse use;
    use.set = static_cast<int>(dict->labelSets.size());
    use.offset = at;
    use.slots.reserve(static_cast<size_t>(nVars));
    for (int32_t i = 0; i < nVars; ++i) use.slots.push_back(in.I32());
    dict->labelSets.push_back(std::move(set));
    raw.labelUses.push_back(std::move(use));
    return 0;
}

int ReadExtension(Cursor& in, RawDictionary& raw, Dictionary* dict) {
    constexpr std::string_view kWhat = "extension record";
    const size_t offset = in.pos() - 4;
    if (!in.Has(12)) return Truncated(kWhat, offset);
    const int32_t subtype = in.I32();
    const int32_t size = in.I32();
    const int32_t count = in.I32();
    const std::string what = std::string(kWhat) + " (subtype " + std::to_string(subtype) + ")";
    if (size < 0 || count < 0)
        return Invalid(
            what, offset,
            "negative element size " + std::to_string(size) + " or count " + std::to_string(count));
    const uint64_t bytes = static_cast<uint64_t>(size) * static_cast<uint64_t>(count);
    if (!in.Has(bytes)) return Truncated(what, offset);
    ExtensionBody ext;
    ext.subtype = subtype;
    ext.size = size;
    ext.count = count;
    ext.offset = offset;
    ext.body = std::string_view(reinterpret_cast<const char*>(in.here()), bytes);
    raw.extensions.push_back(ext);
    dict->extensions.push_back({subtype, size, count, offset});
    in.Skip(bytes);
    return 0;
}

// A document record's lines; a second document record is skipped.
int ReadDocument(Cursor& in, Dictionary* dict, bool& seen) {
    constexpr std::string_view kWhat = "document record";
    const size_t at = in.pos() - 4;
    if (!in.Has(4)) return Truncated(kWhat, at);
    const int32_t lines = in.I32();
    if (lines < 0) return Invalid(kWhat, at, "negative line count " + std::to_string(lines));
    const uint64_t bytes = kDocumentLineSize * static_cast<uint64_t>(lines);
    if (!in.Has(bytes)) return Truncated(kWhat, at);
    if (seen) {
        Warn(dict, "a second document record at " + OffsetText(at) + " was skipped");
    } else {
        dict->documents.reserve(static_cast<size_t>(lines));
        for (int32_t i = 0; i < lines; ++i)
            dict->documents.push_back(
                TrimTrailing(in.here() + i * kDocumentLineSize, kDocumentLineSize));
    }
    seen = true;
    in.Skip(bytes);
    return 0;
}

}  // namespace

int ReadDictionary(const uint8_t* data, size_t size, Dictionary* dict, uint64_t* wanted) {
    if (wanted) *wanted = 0;
    if (int st = ReadHeader(data, size, dict)) return st;
    RawDictionary raw;
    raw.weightSlot = dict->weightIndex;
    Cursor in(data, size, header::kSize, dict->swap, wanted);
    int slots = 0;
    int pending = 0;
    bool documentSeen = false;
    for (;;) {
        const size_t at = in.pos();
        if (!in.Has(4))
            return Refuse(
                SPSS_FILE_RERROR, static_cast<int64_t>(at),
                "the dictionary ends at " + OffsetText(at) + " without its end record (999)");
        const int32_t type = in.I32();
        int st = 0;
        switch (type) {
            case kRecordVariable:
                st = ReadVariableRecord(in, raw, slots, pending);
                break;
            case kRecordValueLabels:
                st = ReadValueLabels(in, raw, dict);
                break;
            case kRecordDocument:
                st = ReadDocument(in, dict, documentSeen);
                break;
            case kRecordExtension:
                st = ReadExtension(in, raw, dict);
                break;
            case kRecordEndOfDictionary:
                if (!in.Has(4)) return Truncated("the end record (999)", at);
                in.Skip(4);
                if (pending != 0)
                    return Invalid("the end record (999)", at,
                                   "the last string lacks " + std::to_string(pending) +
                                       " continuation record(s)");
                dict->dataOffset = in.pos();
                dict->slotCount = slots;
                return AssembleDictionary(raw, dict);
            default:
                return Refuse(
                    SPSS_INVALID_FILE, static_cast<int64_t>(at),
                    "unrecognised record type " + std::to_string(type) + " at " + OffsetText(at));
        }
        if (st) return st;
    }
}

}  // namespace savio
