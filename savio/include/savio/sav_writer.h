// Writes a new SPSS system file (.sav, or .zsav with zlib compression) from a
// whole dictionary and cases given one at a time, into a sink of the
// caller's. Texts are bytes in the file's encoding, as the reader hands them
// out. Every failure throws savio::writer::WriteError with a code and its
// facts; a writer that threw writes nothing more, and only Finish() without
// a throw means the output is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "savio/case_layout.h"

namespace savio::writer {

enum class ErrorCode {
    InvalidHeader,      // field, value: the product text, the stamp, the file label
    InvalidEncoding,    // name
    InvalidName,        // variable, name: not a legal name, or a short name too long
    DuplicateName,      // variable, name
    InvalidWidth,       // variable, width
    InvalidFormat,      // variable, "print" or "write", type, width, decimals
    InvalidMissing,     // variable, what is wrong
    InvalidValueLabel,  // variable, value, what is wrong
    InvalidDisplay,     // variable, field, value
    InvalidWeight,      // variable
    InvalidDocument,    // line, length
    InvalidAttribute,   // owner ("file" or the variable), attribute
    InvalidSet,         // set name, what is wrong (multiple-response and variable sets)
    RecordTooLarge,     // record, bytes
    SinkNotRewritable,  // what needs it
    NoSuchVariable,     // variable
    ValueTooLong,       // variable, bytes, width
    CaseCountMismatch,  // declared, written
    WriteFailed,        // what, errno text
    NotWriting,         // the call: after a failure or after Finish
};

// The code's name ("ValueTooLong"), for developers' messages.
const char* ErrorCodeName(ErrorCode code);

class WriteError : public std::runtime_error {
  public:
    WriteError(ErrorCode code, std::vector<std::string> args);
    ErrorCode code() const { return code_; }
    const std::vector<std::string>& args() const { return args_; }

  private:
    ErrorCode code_;
    std::vector<std::string> args_;
};

// A print or write format. Type 0 is the default: F8.2 for a number, A of
// the width for a string (A255 for a very long string).
struct Format {
    int type = 0;
    int width = 0;
    int decimals = 0;
};

// The missing values of a number (at most three values, or a range with at
// most one value) or of a string (at most three values of at most 8 bytes
// beside trailing blanks).
struct Missing {
    std::vector<double> values;
    std::optional<std::pair<double, double>> range;
    std::vector<std::string> strings;
};

// An attribute: a name and its values (several make an array).
struct Attribute {
    std::string name;
    std::vector<std::string> values;
};

struct Variable {
    std::string name;       // the long name, 1..64 bytes
    std::string shortName;  // up to 8 bytes; made from the name when empty
    int width = 0;          // 0 = number, else a string of 1..32767 bytes
    Format print;
    Format write;  // type 0: the print format
    std::optional<std::string> label;
    Missing missing;
    // Labels of values (trailing blanks of string values are padding).
    std::vector<std::pair<double, std::string>> numberLabels;
    std::vector<std::pair<std::string, std::string>> stringLabels;
    int measure = 0;          // 1 nominal, 2 ordinal, 3 scale; 0 = scale for numbers, else nominal
    int columnWidth = 0;      // display columns; 0 = the print format's width
    int alignment = -1;       // 0 left, 1 right, 2 centre; -1 = right for numbers, else left
    std::optional<int> role;  // 0 input ... 5 split, written as the attribute $@Role
    std::vector<Attribute> attributes;
};

struct MultipleResponseSet {
    std::string name;  // with its leading '$'
    std::string label;
    bool dichotomy = false;
    std::string countedValue;         // dichotomy sets, as written ("1", "yes")
    bool countedValueLabels = false;  // dichotomy: categories labelled by counted values
    bool labelFromVariable = false;   // counted-value sets: the label is the first variable's
    std::vector<int> variables;       // into FileSpec::variables, at least two
};

struct VariableSet {
    std::string name;
    std::vector<int> variables;  // into FileSpec::variables
};

// When the file was written, as the header records it (years of two digits).
struct Stamp {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

struct FileSpec {
    std::string product;         // the header's product text after "@(#) SPSS DATA FILE "
    int release[3] = {0, 0, 0};  // the integer info record's version
    Stamp created;
    std::string fileLabel;           // at most 64 bytes
    std::string encoding = "UTF-8";  // an iconv name; the encoding record says it
    Compression compression = Compression::Bytecode;
    // Known up front, or -1: then the header is patched at the end when the
    // sink can rewrite, and says "unknown" otherwise.
    int64_t caseCount = -1;
    int weightVariable = -1;  // into variables, a number; -1 = none
    std::vector<Variable> variables;
    std::vector<std::string> documents;  // lines of at most 80 bytes
    std::vector<Attribute> fileAttributes;
    std::vector<MultipleResponseSet> multipleResponseSets;
    bool writeVariableSets = false;  // the record is written (even empty) only when set
    std::vector<VariableSet> variableSets;
    std::string productInfo;  // the extra product info record; "" = none
};

// Where the bytes go. Append takes them in order; Rewrite, where the sink
// can, writes over bytes appended before (the case count, the zlib header).
// Both throw WriteError(WriteFailed) on failure.
class Sink {
  public:
    virtual ~Sink() = default;
    virtual void Append(const uint8_t* bytes, size_t n) = 0;
    virtual bool CanRewrite() const { return false; }
    virtual void Rewrite(uint64_t offset, const uint8_t* bytes, size_t n);
};

// A file descriptor, from its offset when the writer starts; it can rewrite
// when it is a regular file.
class FdSink final : public Sink {
  public:
    explicit FdSink(int fd);
    void Append(const uint8_t* bytes, size_t n) override;
    bool CanRewrite() const override { return start_ >= 0; }
    void Rewrite(uint64_t offset, const uint8_t* bytes, size_t n) override;

  private:
    int fd_;
    int64_t start_ = -1;  // the descriptor's offset at the start; -1 when it cannot seek
};

// The caller's functions; each returns false on failure. Without rewrite
// the sink cannot rewrite.
class CallbackSink final : public Sink {
  public:
    using AppendFn = std::function<bool(const uint8_t*, size_t)>;
    using RewriteFn = std::function<bool(uint64_t, const uint8_t*, size_t)>;
    explicit CallbackSink(AppendFn append, RewriteFn rewrite = nullptr);
    void Append(const uint8_t* bytes, size_t n) override;
    bool CanRewrite() const override { return static_cast<bool>(rewrite_); }
    void Rewrite(uint64_t offset, const uint8_t* bytes, size_t n) override;

  private:
    AppendFn append_;
    RewriteFn rewrite_;
};

// The writer. The constructor checks the whole dictionary and writes it;
// then each case is its values set by variable index, then EndCase();
// Finish() writes what is left. Values not set in a case are system-missing
// or blank. Memory stays the same whatever the number of cases.
class Writer {
  public:
    Writer(const FileSpec& spec, Sink& sink);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // A number; system-missing is -DBL_MAX. Any other value is stored as is.
    void SetNumber(size_t variable, double value);
    // A string's bytes, padded with blanks to the width; longer than the
    // width only by trailing blanks.
    void SetString(size_t variable, std::string_view bytes);
    void EndCase();
    void Finish();

    int64_t casesWritten() const;
    // The short names written, one per variable (very long strings' further
    // segments aside).
    const std::vector<std::string>& shortNames() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace savio::writer
