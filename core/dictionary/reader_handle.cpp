#include "core/dictionary/reader_handle.h"

#include "core/text/trim.h"
#include "savio/case_index.h"

namespace lv {
namespace {

// The reader's arrays may hold null texts; they read as empty.
const char* Text(const char* bytes) {
    return bytes ? bytes : "";
}

int GetLabels(int h, const char* name, double** values, char*** labels, int* count) {
    return spssGetVarNValueLabels(h, name, values, labels, count);
}

int GetLabels(int h, const char* name, char*** values, char*** labels, int* count) {
    return spssGetVarCValueLabels(h, name, values, labels, count);
}

int FreeLabels(double* values, char** labels, int count) {
    return spssFreeVarNValueLabels(values, labels, count);
}

int FreeLabels(char** values, char** labels, int count) {
    return spssFreeVarCValueLabels(values, labels, count);
}

// Owns the arrays of a successful spssGet...Attributes.
struct AttributeArrays {
    char** names = nullptr;
    char** values = nullptr;
    int count = 0;
    bool held = false;
    ~AttributeArrays() {
        if (held) spssFreeAttributes(names, values, count);
    }
    int Keep(int status) {
        held = status == 0;
        return status;
    }
    int Take(AttributeEntries* out) const {
        out->clear();
        for (int i = 0; i < count; ++i) out->emplace_back(Text(names[i]), Text(values[i]));
        return 0;
    }
};

}  // namespace

template <typename Value>
ValueLabelArrays<Value>::~ValueLabelArrays() {
    if (!held_) return;
    const int st = FreeLabels(values, labels, count);
    if (freeStatus_) *freeStatus_ = st;
}

template <typename Value>
int ValueLabelArrays<Value>::Get(int handle, const char* name) {
    const int st = GetLabels(handle, name, &values, &labels, &count);
    held_ = st == 0;
    if (!held_) count = 0;
    return st;
}

template class ValueLabelArrays<double>;
template class ValueLabelArrays<char*>;

ReaderHandle::ReaderHandle(ReaderHandle&& other) noexcept
    : handle_(other.handle_),
      open_(other.open_),
      path_(std::move(other.path_)),
      derived_(std::move(other.derived_)) {
    other.open_ = false;
}

ReaderHandle& ReaderHandle::operator=(ReaderHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        open_ = other.open_;
        path_ = std::move(other.path_);
        derived_ = std::move(other.derived_);
        other.open_ = false;
    }
    return *this;
}

int ReaderHandle::Open(const std::string& path) {
    Close();
    int h = 0;
    const int st = spssOpenRead(path.c_str(), &h);
    if (st == 0) {
        handle_ = h;
        open_ = true;
        path_ = path;
    }
    return st;
}

int ReaderHandle::Close() {
    path_.clear();
    derived_.reset();
    if (!open_) return 0;
    open_ = false;
    return spssCloseRead(handle_);
}

bool ReaderHandle::Holds(const DataFileStamp& stamp) const {
    savio::CaseIndex index;
    if (!open_ || !stamp.present || !savio::GetCaseIndex(handle_, &index) || !index.identity)
        return false;
    const savio::FileIdentity& id = *index.identity;
    return id.size == stamp.size && id.mtimeNs == stamp.mtimeNs && id.inode == stamp.inode &&
           id.device == stamp.device;
}

int ReaderHandle::VarInfo(int index, std::string* name, int* width) const {
    char bytes[SPSS_VAR_NAME_SIZE] = {};
    *width = 0;
    const int st = spssGetVarInfo(handle_, index, bytes, width);
    name->assign(st == 0 ? BufferBytes(bytes, sizeof bytes) : std::string_view());
    return st;
}

int ReaderHandle::LongName(const std::string& name, std::string* out) const {
    return WholeText(
        [&](char* b, int n) { return spssGetVarLongName(handle_, name.c_str(), b, n); }, out);
}

int ReaderHandle::FullLabel(const std::string& name, std::string* out) const {
    return WholeText(
        [&](char* b, int n) { return spssGetVarFullLabel(handle_, name.c_str(), b, n); }, out);
}

int ReaderHandle::GetPrintFormat(const std::string& name, PrintFormat* out) const {
    const int st =
        spssGetVarPrintFormat(handle_, name.c_str(), &out->type, &out->decimals, &out->width);
    if (st != 0) *out = PrintFormat();
    return st;
}

int ReaderHandle::GetWriteFormat(const std::string& name, PrintFormat* out) const {
    const int st =
        spssGetVarWriteFormat(handle_, name.c_str(), &out->type, &out->decimals, &out->width);
    if (st != 0) *out = PrintFormat();
    return st;
}

int ReaderHandle::MissingValues(const std::string& name, bool isString,
                                MissingValueSlots* out) const {
    *out = MissingValueSlots();
    int st = 0;
    if (isString) {
        char text[3][SPSS_STRING_MISSING_SIZE] = {};
        st = spssGetVarCMissingValues(handle_, name.c_str(), &out->code, text[0], text[1], text[2]);
        if (st == 0)
            for (int k = 0; k < 3; ++k)
                out->texts[k] = WithoutTrailingBlanks(BufferBytes(text[k], sizeof text[k]));
    } else {
        st = spssGetVarNMissingValues(handle_, name.c_str(), &out->code, &out->numbers[0],
                                      &out->numbers[1], &out->numbers[2]);
    }
    if (st != 0) *out = MissingValueSlots();
    return st;
}

int ReaderHandle::ValueLabels(const std::string& name, bool isString, ValueLabelList* out) const {
    *out = ValueLabelList();
    if (isString) {
        ValueLabelArrays<char*> arrays;
        if (int st = arrays.Get(handle_, name.c_str())) return st;
        out->strings.reserve(static_cast<size_t>(arrays.count));
        for (int i = 0; i < arrays.count; ++i)
            out->strings.emplace_back(WithoutTrailingBlanks(Text(arrays.values[i])),
                                      Text(arrays.labels[i]));
        return 0;
    }
    ValueLabelArrays<double> arrays;
    if (int st = arrays.Get(handle_, name.c_str())) return st;
    out->numeric.reserve(static_cast<size_t>(arrays.count));
    for (int i = 0; i < arrays.count; ++i)
        out->numeric.emplace_back(arrays.values[i], Text(arrays.labels[i]));
    return 0;
}

int ReaderHandle::VarAttributes(const std::string& name, AttributeEntries* out) const {
    AttributeArrays a;
    out->clear();
    if (int st = a.Keep(spssGetVarAttributes(handle_, name.c_str(), &a.names, &a.values, &a.count)))
        return st;
    return a.Take(out);
}

int ReaderHandle::FileAttributes(AttributeEntries* out) const {
    AttributeArrays a;
    out->clear();
    if (int st = a.Keep(spssGetFileAttributes(handle_, &a.names, &a.values, &a.count))) return st;
    return a.Take(out);
}

}  // namespace lv
