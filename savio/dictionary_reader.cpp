#include "dictionary_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "raw_dictionary.h"
#include "record_layout.h"
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
    if (size < kSize) return SPSS_INVALID_FILE;
    const bool fl2 = std::memcmp(data + kMagic, "$FL2", kMagicSize) == 0;
    const bool fl3 = std::memcmp(data + kMagic, "$FL3", kMagicSize) == 0;
    if (!fl2 && !fl3) return SPSS_INVALID_FILE;
    const int32_t layoutLe = LoadI32(data + kLayoutCode, false);
    const int32_t layoutBe = LoadI32(data + kLayoutCode, true);
    bool swap;
    if (layoutLe == kUsualLayoutCode || layoutLe == kOldLayoutCode) {
        swap = std::endian::native != std::endian::little;
    } else if (layoutBe == kUsualLayoutCode || layoutBe == kOldLayoutCode) {
        swap = std::endian::native != std::endian::big;
    } else {
        return SPSS_INVALID_FILE;
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
        return SPSS_INVALID_FILE;
    }
    dict->bias = LoadF64(data + kBias, swap);
    if (!std::isfinite(dict->bias)) return SPSS_INVALID_FILE;
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

// Reads one type 2 record after its record type. pendingContinuations counts
// the continuation records the previous string still needs.
int ReadVariableRecord(Cursor& in, RawDictionary& raw, int& slots, int& pendingContinuations) {
    if (!in.Has(28)) return SPSS_FILE_RERROR;
    const int32_t type = in.I32();
    const int32_t hasLabel = in.I32();
    const int32_t nMissing = in.I32();
    const uint32_t print = static_cast<uint32_t>(in.I32());
    const uint32_t write = static_cast<uint32_t>(in.I32());
    const uint8_t* name = in.here();
    in.Skip(kShortNameSize);
    if (type < kContinuationType || type > 255) return SPSS_INVALID_FILE;
    if (hasLabel != 0 && hasLabel != 1) return SPSS_INVALID_FILE;
    std::string label;
    if (hasLabel) {
        if (!in.Has(4)) return SPSS_FILE_RERROR;
        const int32_t len = in.I32();
        if (len < 0) return SPSS_INVALID_FILE;
        const uint64_t padded = (static_cast<uint64_t>(len) + 3) / 4 * 4;
        if (!in.Has(padded)) return SPSS_FILE_RERROR;
        label.assign(reinterpret_cast<const char*>(in.here()), static_cast<size_t>(len));
        in.Skip(padded);
    }
    const bool knownCode = (nMissing >= 0 && nMissing <= 3) || nMissing == -2 || nMissing == -3;
    if (!knownCode) return SPSS_INVALID_FILE;
    const int nValues = nMissing < 0 ? -nMissing : nMissing;
    if (!in.Has(8 * static_cast<uint64_t>(nValues))) return SPSS_FILE_RERROR;
    const uint8_t* missing = in.here();
    in.Skip(8 * nValues);

    if (type == kContinuationType) {
        if (pendingContinuations == 0) return SPSS_INVALID_FILE;
        --pendingContinuations;
        ++slots;
        return 0;
    }
    if (pendingContinuations != 0) return SPSS_INVALID_FILE;
    if (type > 0 && nMissing < 0) return SPSS_INVALID_FILE;
    const int width = type;
    const int varSlots = width == 0 ? 1 : (width + 7) / 8;
    if (slots > kMaxSlots - varSlots) return SPSS_INVALID_FILE;

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
    if (!in.Has(4)) return SPSS_FILE_RERROR;
    const int32_t count = in.I32();
    if (count < 0) return SPSS_INVALID_FILE;
    if (!in.Has(16 * static_cast<uint64_t>(count))) return SPSS_FILE_RERROR;
    LabelSet set;
    set.entries.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        if (!in.Has(9)) return SPSS_FILE_RERROR;
        std::array<uint8_t, 8> value;
        std::memcpy(value.data(), in.here(), 8);
        const size_t len = in.here()[8];
        const size_t entry = 8 + (len + 1 + 7) / 8 * 8;
        if (!in.Has(entry)) return SPSS_FILE_RERROR;
        set.entries.emplace_back(value,
                                 std::string(reinterpret_cast<const char*>(in.here() + 9), len));
        in.Skip(entry);
    }
    if (!in.Has(8)) return SPSS_FILE_RERROR;
    if (in.I32() != kRecordLabelVariables) return SPSS_INVALID_FILE;
    const int32_t nVars = in.I32();
    if (nVars < 0) return SPSS_INVALID_FILE;
    if (!in.Has(4 * static_cast<uint64_t>(nVars))) return SPSS_FILE_RERROR;
    LabelSetUse use;
    use.set = static_cast<int>(dict->labelSets.size());
    use.slots.reserve(static_cast<size_t>(nVars));
    for (int32_t i = 0; i < nVars; ++i) use.slots.push_back(in.I32());
    dict->labelSets.push_back(std::move(set));
    raw.labelUses.push_back(std::move(use));
    return 0;
}

int ReadExtension(Cursor& in, RawDictionary& raw, Dictionary* dict) {
    const size_t offset = in.pos() - 4;
    if (!in.Has(12)) return SPSS_FILE_RERROR;
    const int32_t subtype = in.I32();
    const int32_t size = in.I32();
    const int32_t count = in.I32();
    if (size < 0 || count < 0) return SPSS_INVALID_FILE;
    const uint64_t bytes = static_cast<uint64_t>(size) * static_cast<uint64_t>(count);
    if (!in.Has(bytes)) return SPSS_FILE_RERROR;
    ExtensionBody ext;
    ext.subtype = subtype;
    ext.size = size;
    ext.count = count;
    ext.body = std::string_view(reinterpret_cast<const char*>(in.here()), bytes);
    raw.extensions.push_back(ext);
    dict->extensions.push_back({subtype, size, count, offset});
    in.Skip(bytes);
    return 0;
}

// A document record's lines; a second document record is skipped.
int ReadDocument(Cursor& in, Dictionary* dict, bool& seen) {
    if (!in.Has(4)) return SPSS_FILE_RERROR;
    const int32_t lines = in.I32();
    if (lines < 0) return SPSS_INVALID_FILE;
    const uint64_t bytes = kDocumentLineSize * static_cast<uint64_t>(lines);
    if (!in.Has(bytes)) return SPSS_FILE_RERROR;
    if (seen) {
        Warn(dict, "a second document record was skipped");
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
        if (!in.Has(4)) return SPSS_FILE_RERROR;
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
                if (!in.Has(4)) return SPSS_FILE_RERROR;
                in.Skip(4);
                if (pending != 0) return SPSS_INVALID_FILE;
                dict->dataOffset = in.pos();
                dict->slotCount = slots;
                return AssembleDictionary(raw, dict);
            default:
                return SPSS_INVALID_FILE;
        }
        if (st) return st;
    }
}

}  // namespace savio
