// Compact per-column storage of the values the grid load read.
//
// Survey data is mostly small integer codes, so a numeric column starts with
// one byte per cell and widens (2 and 4-byte integers with a decimal scale,
// then float, then double) the first time a value does not fit, re-encoding
// what it holds. Every form is exact: a value read back is bit for bit the
// value stored, so its rendered text is the text of the original value.
// String columns keep their bytes without trailing blanks; the variable's
// width restores them.
#ifndef LORIVANE_CORE_GRIDCOLUMNS_H
#define LORIVANE_CORE_GRIDCOLUMNS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

// What a stored cell holds.
enum class CellState : uint8_t { Empty, Sysmis, Value };

// Sorted row numbers of cells with a property (appended in row order).
class RowSet {
  public:
    void Add(uint32_t row) { rows_.push_back(row); }
    bool Contains(uint32_t row) const;
    bool empty() const { return rows_.empty(); }
    size_t MemoryBytes() const { return rows_.capacity() * sizeof(uint32_t); }

  private:
    std::vector<uint32_t> rows_;
};

class NumericColumn {
  public:
    // The storage forms, narrowest first.
    enum class Form : uint8_t { Int8, Int16, Int32, Float, Double };

    // Reserves room for rows cells in the current form.
    void Reserve(size_t rows);
    void AppendValue(double v);
    void AppendSysmis();
    // A cell the load could not read (it shows no text).
    void AppendEmpty();

    size_t size() const { return count_; }
    CellState Get(size_t row, double& value) const;

    // Cell by cell without decoding, for the one-byte form: whether row
    // shows nothing, its stored code (valid when form() is Int8 and the row
    // is not empty), and what a code holds.
    bool IsEmptyAt(size_t row) const;
    int8_t CodeAt(size_t row) const { return static_cast<int8_t>(bytes_[row]); }
    CellState DecodeCode(int8_t code, double& value) const;

    Form form() const { return form_; }
    // Decimal scale of the integer forms: a stored k means k / 10^scale
    // (k * 10^-scale for a negative scale).
    int scale() const { return scale_; }
    size_t MemoryBytes() const;

  private:
    void Widen(double v);
    bool Reencode(Form form, int scale);
    bool Encodable(double v, Form form, int scale) const;

    Form form_ = Form::Int8;
    int scale_ = 0;
    bool hasValues_ = false;
    size_t count_ = 0;
    size_t reserved_ = 0;
    std::vector<unsigned char> bytes_;
    RowSet empty_;
};

class StringColumn {
  public:
    // width: the variable's string length, to which stored values are
    // restored with blanks.
    explicit StringColumn(int width = 0) : width_(width) {}

    void Reserve(size_t rows);
    // bytes: the value as the library returned it, up to its first NUL.
    void AppendValue(std::string_view bytes);
    void AppendEmpty();

    size_t size() const { return count_; }
    // Appends the value of row (restored to its full length) to out.
    CellState Get(size_t row, std::string& out) const;
    // The same value without copying: the stored bytes of row and the
    // number of blanks after them that restore its full length.
    CellState View(size_t row, std::string_view& stored, size_t& blanks) const;
    size_t MemoryBytes() const;

  private:
    void PushOffset(uint64_t offset);
    uint64_t Offset(size_t i) const;

    int width_;
    size_t count_ = 0;
    std::string arena_;
    // offsets_[i] .. offsets_[i+1] is row i's stored text; 32-bit until the
    // arena passes 4 GiB, then 64-bit.
    std::vector<uint32_t> offsets32_{0};
    std::vector<uint64_t> offsets64_;
    RowSet empty_;
    RowSet verbatim_;  // values not of the standard length: kept whole
};

}  // namespace lv

#endif
