// The dictionary's side of the spss... calls behind one object: a handle
// that is closed on every path out of its scope, and typed reads of a
// variable's name, long name, label, formats, missing values, value labels
// and attributes, with the numeric and string twins of the calls folded
// into one read each. Texts are the file's bytes.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/rendering/format_traits.h"
#include "core/state/data_file_checks.h"
#include "savio/spssfio.h"

namespace lv {

class DerivedColumns;  // core/cases/derived_columns.h

// The user-missing values as the reader gives them: the format code and
// the three values it uses (numbers, or texts for string variables).
struct MissingValueSlots {
    int code = SPSS_NO_MISSVAL;
    double numbers[3] = {0, 0, 0};
    std::string texts[3];  // without trailing blanks
};

// A variable's value labels in the file's order; string values without
// their trailing blanks.
struct ValueLabelList {
    std::vector<std::pair<double, std::string>> numeric;
    std::vector<std::pair<std::string, std::string>> strings;
};

// Attribute entries as spssGet...Attributes gives them: Name or Name[k], value.
using AttributeEntries = std::vector<std::pair<std::string, std::string>>;

// What spssGetVarNValueLabels (Value = double) or spssGetVarCValueLabels
// (Value = char*) allocated. The arrays of a successful Get go back to the
// matching free call when this object goes out of scope, and the free
// call's status goes to *freeStatus when one is given; a failed Get leaves
// nothing to free and makes no free call.
template <typename Value>
class ValueLabelArrays {
  public:
    explicit ValueLabelArrays(int* freeStatus = nullptr) : freeStatus_(freeStatus) {}
    ~ValueLabelArrays();
    ValueLabelArrays(const ValueLabelArrays&) = delete;
    ValueLabelArrays& operator=(const ValueLabelArrays&) = delete;

    // The get call's status; at most one Get per object.
    int Get(int handle, const char* name);

    Value* values = nullptr;
    char** labels = nullptr;
    int count = 0;

  private:
    int* freeStatus_;
    bool held_ = false;
};

class ReaderHandle {
  public:
    ReaderHandle() = default;
    ~ReaderHandle() { Close(); }
    ReaderHandle(ReaderHandle&& other) noexcept;
    ReaderHandle& operator=(ReaderHandle&& other) noexcept;
    ReaderHandle(const ReaderHandle&) = delete;
    ReaderHandle& operator=(const ReaderHandle&) = delete;

    // Opens path with spssOpenRead (closing a file held before); returns its status.
    int Open(const std::string& path);
    // spssCloseRead's status, or 0 when no file is held.
    int Close();
    bool isOpen() const { return open_; }
    int get() const { return handle_; }
    // The path it was opened with (empty when none).
    const std::string& path() const { return path_; }
    // Whether the file held is the one stamp describes (same size,
    // modification time, inode and device): whether the file found at a
    // path at some moment is the one read through this handle.
    bool Holds(const DataFileStamp& stamp) const;

    // The computed variables every pass over this file may ask for, after
    // the file's own (none until set; closing forgets them).
    void SetDerived(std::shared_ptr<const DerivedColumns> derived) {
        derived_ = std::move(derived);
    }
    const std::shared_ptr<const DerivedColumns>& derived() const { return derived_; }

    // The variable at 0-based index: its short name and width (0 numeric).
    int VarInfo(int index, std::string* name, int* width) const;
    // The long name (the short name when the file has none), whole.
    int LongName(const std::string& name, std::string* out) const;
    // The whole variable label; SPSS_NO_LABEL when there is none.
    int FullLabel(const std::string& name, std::string* out) const;
    // A format left all 0 when the call fails.
    int GetPrintFormat(const std::string& name, PrintFormat* out) const;
    int GetWriteFormat(const std::string& name, PrintFormat* out) const;
    // Slots left empty (SPSS_NO_MISSVAL) when the call fails.
    int MissingValues(const std::string& name, bool isString, MissingValueSlots* out) const;
    // SPSS_NO_LABELS (and an empty list) for a variable without labels.
    int ValueLabels(const std::string& name, bool isString, ValueLabelList* out) const;
    int VarAttributes(const std::string& name, AttributeEntries* out) const;
    int FileAttributes(AttributeEntries* out) const;

    // Calls that fill a caller's buffer of a given size, retried with a
    // larger buffer while the text does not fit; a failed call gives an
    // empty text.
    template <typename Call>
    int WholeText(Call call, std::string* out) const;

  private:
    int handle_ = 0;
    bool open_ = false;
    std::string path_;
    std::shared_ptr<const DerivedColumns> derived_;
    mutable std::vector<char> buffer_;  // kept between texts
};

template <typename Call>
int ReaderHandle::WholeText(Call call, std::string* out) const {
    if (buffer_.size() < 1024) buffer_.resize(1024);
    for (;;) {
        buffer_[0] = 0;
        const int st = call(buffer_.data(), static_cast<int>(buffer_.size()));
        // A text is never longer than the file; 64 MiB is where a text is
        // taken cut rather than asked for again.
        if (st != SPSS_BUFFER_SHORT || buffer_.size() >= (size_t{1} << 26)) {
            // A failed call may have left anything in the reused buffer.
            if (st != 0 && st != SPSS_BUFFER_SHORT) buffer_[0] = 0;
            size_t n = 0;
            while (n < buffer_.size() && buffer_[n] != 0) ++n;
            out->assign(buffer_.data(), n);
            return st;
        }
        buffer_.resize(buffer_.size() * 4);
    }
}

}  // namespace lv
