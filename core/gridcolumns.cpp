#include "core/gridcolumns.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace lv {
namespace {

using Form = NumericColumn::Form;

constexpr int kMinScale = -3;
constexpr int kMaxScale = 9;
constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

size_t ElementSize(Form f) {
    switch (f) {
        case Form::Int8:
            return 1;
        case Form::Int16:
            return 2;
        case Form::Int32:
            return 4;
        case Form::Float:
            return 4;
        case Form::Double:
            return 8;
    }
    return 8;
}

bool IsIntForm(Form f) {
    return f == Form::Int8 || f == Form::Int16 || f == Form::Int32;
}

// The integer range of a form; its lowest value is kept as the sysmis code.
int64_t IntMin(Form f) {
    switch (f) {
        case Form::Int8:
            return std::numeric_limits<int8_t>::min();
        case Form::Int16:
            return std::numeric_limits<int16_t>::min();
        default:
            return std::numeric_limits<int32_t>::min();
    }
}

int64_t IntMax(Form f) {
    switch (f) {
        case Form::Int8:
            return std::numeric_limits<int8_t>::max();
        case Form::Int16:
            return std::numeric_limits<int16_t>::max();
        default:
            return std::numeric_limits<int32_t>::max();
    }
}

// Scale 0 (codes) skips the multiplication and division by one, which
// give the same value.
double Scaled(double v, int scale) {
    if (scale == 0) return v;
    return scale > 0 ? v * kPow10[scale] : v / kPow10[-scale];
}
double Unscaled(int64_t k, int scale) {
    if (scale == 0) return static_cast<double>(k);
    return scale > 0 ? static_cast<double>(k) / kPow10[scale]
                     : static_cast<double>(k) * kPow10[-scale];
}

bool SameBits(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

template <typename T>
T Load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void Append(std::vector<unsigned char>& bytes, T v) {
    unsigned char raw[sizeof v];
    std::memcpy(raw, &v, sizeof v);
    bytes.insert(bytes.end(), raw, raw + sizeof v);
}

// Appends one cell in the given form.
void StoreInto(std::vector<unsigned char>& bytes, Form form, int scale, double v, bool sysmis) {
    switch (form) {
        case Form::Int8:
        case Form::Int16:
        case Form::Int32: {
            const int64_t k = sysmis ? IntMin(form) : std::llrint(Scaled(v, scale));
            if (form == Form::Int8)
                bytes.push_back(static_cast<unsigned char>(static_cast<int8_t>(k)));
            else if (form == Form::Int16)
                Append(bytes, static_cast<int16_t>(k));
            else
                Append(bytes, static_cast<int32_t>(k));
            break;
        }
        case Form::Float:
            Append(bytes, sysmis ? std::numeric_limits<float>::quiet_NaN() : static_cast<float>(v));
            break;
        case Form::Double:
            Append(bytes, sysmis ? std::numeric_limits<double>::quiet_NaN() : v);
            break;
    }
}

CellState DecodeFrom(const std::vector<unsigned char>& bytes, Form form, int scale, size_t row,
                     double& value) {
    const unsigned char* p = bytes.data() + row * ElementSize(form);
    int64_t k = 0;
    switch (form) {
        case Form::Int8:
            k = static_cast<int8_t>(*p);
            break;
        case Form::Int16:
            k = Load<int16_t>(p);
            break;
        case Form::Int32:
            k = Load<int32_t>(p);
            break;
        case Form::Float: {
            const float f = Load<float>(p);
            if (std::isnan(f)) return CellState::Sysmis;
            value = f;
            return CellState::Value;
        }
        case Form::Double:
            value = Load<double>(p);
            return std::isnan(value) ? CellState::Sysmis : CellState::Value;
    }
    if (k == IntMin(form)) return CellState::Sysmis;
    value = Unscaled(k, scale);
    return CellState::Value;
}

}  // namespace

bool RowSet::Contains(uint32_t row) const {
    return !rows_.empty() && std::binary_search(rows_.begin(), rows_.end(), row);
}

// ---- numeric ----

void NumericColumn::Reserve(size_t rows) {
    reserved_ = rows;
    bytes_.reserve(rows * ElementSize(form_));
}

bool NumericColumn::Encodable(double v, Form form, int scale) const {
    if (IsIntForm(form)) {
        const double t = Scaled(v, scale);
        // Written so that NaN fails too.
        if (!(t > static_cast<double>(IntMin(form)) && t <= static_cast<double>(IntMax(form))))
            return false;
        const int64_t k = std::llrint(t);
        if (k <= IntMin(form) || k > IntMax(form)) return false;
        return SameBits(Unscaled(k, scale), v);
    }
    if (form == Form::Float) return !std::isnan(v) && SameBits(static_cast<float>(v), v);
    return true;
}

bool NumericColumn::Reencode(Form form, int scale) {
    std::vector<unsigned char> fresh;
    fresh.reserve(std::max(reserved_, count_ + 1) * ElementSize(form));
    for (size_t row = 0; row < count_; ++row) {
        double v = 0;
        const CellState state = DecodeFrom(bytes_, form_, scale_, row, v);
        if (state == CellState::Value && !Encodable(v, form, scale)) return false;
        StoreInto(fresh, form, scale, v, state != CellState::Value);
    }
    bytes_.swap(fresh);
    form_ = form;
    scale_ = scale;
    return true;
}

void NumericColumn::Widen(double v) {
    if (IsIntForm(form_)) {
        int own = kMaxScale + 1;
        for (int s = kMinScale; s <= kMaxScale; ++s) {
            if (Encodable(v, Form::Int32, s)) {
                own = s;
                break;
            }
        }
        if (own <= kMaxScale) {
            const int scale = hasValues_ ? std::max(scale_, own) : own;
            for (Form f : {Form::Int8, Form::Int16, Form::Int32}) {
                if (ElementSize(f) < ElementSize(form_) && hasValues_) continue;
                if (Encodable(v, f, scale) && Reencode(f, scale)) return;
            }
        }
    }
    if (form_ != Form::Double && Encodable(v, Form::Float, 0) && Reencode(Form::Float, 0)) return;
    Reencode(Form::Double, 0);
}

void NumericColumn::AppendValue(double v) {
    if (!Encodable(v, form_, scale_)) Widen(v);
    StoreInto(bytes_, form_, scale_, v, false);
    ++count_;
    hasValues_ = true;
}

void NumericColumn::AppendSysmis() {
    StoreInto(bytes_, form_, scale_, 0, true);
    ++count_;
}

void NumericColumn::AppendEmpty() {
    empty_.Add(static_cast<uint32_t>(count_));
    AppendSysmis();
}

CellState NumericColumn::Get(size_t row, double& value) const {
    if (row >= count_) return CellState::Empty;
    if (!empty_.empty() && empty_.Contains(static_cast<uint32_t>(row))) return CellState::Empty;
    return DecodeFrom(bytes_, form_, scale_, row, value);
}

bool NumericColumn::IsEmptyAt(size_t row) const {
    return row >= count_ || (!empty_.empty() && empty_.Contains(static_cast<uint32_t>(row)));
}

CellState NumericColumn::DecodeCode(int8_t code, double& value) const {
    if (code == std::numeric_limits<int8_t>::min()) return CellState::Sysmis;
    value = Unscaled(code, scale_);
    return CellState::Value;
}

size_t NumericColumn::MemoryBytes() const {
    return bytes_.capacity() + empty_.MemoryBytes();
}

// ---- strings ----

void StringColumn::Reserve(size_t rows) {
    offsets32_.reserve(rows + 1);
}

uint64_t StringColumn::Offset(size_t i) const {
    return offsets64_.empty() ? offsets32_[i] : offsets64_[i];
}

void StringColumn::PushOffset(uint64_t offset) {
    if (offsets64_.empty() && offset <= std::numeric_limits<uint32_t>::max()) {
        offsets32_.push_back(static_cast<uint32_t>(offset));
        return;
    }
    if (offsets64_.empty()) {
        offsets64_.assign(offsets32_.begin(), offsets32_.end());
        std::vector<uint32_t>().swap(offsets32_);
    }
    offsets64_.push_back(offset);
}

namespace {

// The length of bytes without its trailing blanks, eight bytes at a time
// over the long blank tails of wide string variables.
size_t WithoutTrailingBlanks(std::string_view bytes) {
    uint64_t blanks;
    std::memset(&blanks, ' ', sizeof blanks);
    size_t n = bytes.size();
    while (n >= 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + n - 8, sizeof word);
        if (word != blanks) break;
        n -= 8;
    }
    while (n > 0 && bytes[n - 1] == ' ') --n;
    return n;
}

}  // namespace

void StringColumn::AppendValue(std::string_view bytes) {
    if (bytes.size() == static_cast<size_t>(width_)) {
        const size_t n = WithoutTrailingBlanks(bytes);
        bytes = bytes.substr(0, n);
    } else {
        verbatim_.Add(static_cast<uint32_t>(count_));
    }
    arena_.append(bytes);
    PushOffset(arena_.size());
    ++count_;
}

void StringColumn::AppendEmpty() {
    empty_.Add(static_cast<uint32_t>(count_));
    PushOffset(arena_.size());
    ++count_;
}

CellState StringColumn::Get(size_t row, std::string& out) const {
    if (row >= count_) return CellState::Empty;
    if (!empty_.empty() && empty_.Contains(static_cast<uint32_t>(row))) return CellState::Empty;
    const uint64_t begin = Offset(row);
    const uint64_t end = Offset(row + 1);
    out.append(arena_, begin, end - begin);
    if (verbatim_.empty() || !verbatim_.Contains(static_cast<uint32_t>(row)))
        out.append(static_cast<size_t>(width_) - (end - begin), ' ');
    return CellState::Value;
}

CellState StringColumn::View(size_t row, std::string_view& stored, size_t& blanks) const {
    if (row >= count_) return CellState::Empty;
    if (!empty_.empty() && empty_.Contains(static_cast<uint32_t>(row))) return CellState::Empty;
    const uint64_t begin = Offset(row);
    const uint64_t end = Offset(row + 1);
    stored = std::string_view(arena_).substr(begin, end - begin);
    blanks = verbatim_.empty() || !verbatim_.Contains(static_cast<uint32_t>(row))
                 ? static_cast<size_t>(width_) - (end - begin)
                 : 0;
    return CellState::Value;
}

size_t StringColumn::MemoryBytes() const {
    return arena_.capacity() + offsets32_.capacity() * 4 + offsets64_.capacity() * 8 +
           empty_.MemoryBytes() + verbatim_.MemoryBytes();
}

}  // namespace lv
