// The program's own error messages as values: a code and its arguments,
// worded only where they are shown. The windows show the Japanese wording
// (japanese_messages.h), lorivane-dump the English one (english_messages.h);
// both are exhaustive switches over MessageCode, so a new code is worded in
// both or the build fails.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lv {

// Each code names the arguments it carries: texts[i] (T0, T1, ...),
// numbers[i] (N0, ...) and err (a system errno).
enum class MessageCode : uint16_t {
    None,
    // The condition language.
    ConditionTooLong,       // N0: the most bytes
    ConditionTooDeep,       // N0: the most levels of nesting
    UnclosedString,         // T0: the quote
    CharacterNotAllowed,    // T0: the character
    ControlCharacter,       // N0: its byte
    ExpectedOperatorOrEnd,  // T0: the token found, empty at the end
    ExpectedCloseParen,     // T0: as above
    ExpectedCommaOrParen,   // T0: as above
    ExpectedOperand,        // T0: as above
    ConditionIsString,
    NotADate,              // T0: the text, T1: the format's name, T2: examples
    UnknownVariable,       // T0: the name
    NotEncodable,          // T0: the part of the string
    NeitherNumberNorDate,  // T0: the text
    MinusNeedsNumber,
    NotNeedsCondition,
    StringInArithmetic,
    LogicNeedsConditions,  // T0: AND or OR
    StringAndNumber,
    OneArgument,  // T0: the function
    RangeArguments,
    AnyArguments,
    ValueNeedsVariable,
    SysmisNeedsNumber,
    MissingNeedsArgument,
    MixedArguments,   // T0: the function
    UnknownFunction,  // T0: the name, T1: the functions there are
    ToNeedsNames,
    ExpectedVariableAfterTo,  // T0: the token found, empty at the end
    ToOutOfOrder,             // T0: the first name, T1: the last
    FunctionArguments,        // T0: the function, N0: fewest, N1: most (-1: any)
    ArgumentNotNumber,        // T0: the function, N0: the argument (1-based)
    ArgumentNotString,        // T0: the function, N0: the argument (1-based)
    ValidCountTooLarge,       // T0: the function, N0: the count asked, N1: the arguments
    DateUnitUnknown,          // T0: the unit as written
    LagNeedsVariable,
    ValueLabelNeedsVariable,
    FormatArgument,  // T0: the function, T1: the format as written
    // Computed variables.
    ComputedNameInvalid,     // T0: the name
    ComputedNameTaken,       // T0: the name
    ComputedFormatMismatch,  // T0: the name, T1: the format; N0: 1 when the value is a string
    ComputedNeedsFile,       // a grid without a data file's dictionary
    ComputedInUse,           // T0: the computed variable, T1: a later one made from it
    // Writing a file out.
    OutputHasNoName,      // T0: the path
    OutputFolderMissing,  // T0: the folder (or the path)
    OutputIsFolder,       // T0: the path
    OutputReadOnly,       // T0: the path
    OutputDiskFull,       // T0: the path
    OutputNotWritable,    // T0: the path
    OutputFailed,         // T0: the path, err
    OutputIsInput,        // T0: the path (the file being read, or a link to it)
    SavNotWritable,       // T0: the path, T1: why the system file cannot be written
    SavNoDictionary,      // the grid's whole dictionary was not read
    PdfNoBookmarks,       // T0: the path, T1: why the PDF's bookmarks cannot be added
    XlsxToStandardOutput,
    XlsxTooManyRows,     // N0: the rows without the header
    XlsxTooManyColumns,  // N0: the columns
    XlsxCellTooLong,     // N0: the row
    XlsxFailed,          // T0: the library's reason
    XlsxNoDictionary,    // the workbook's 辞書 sheet has no variables to describe
    ConvertDataUnfinished,
    ConvertFileChanged,
    ExportFileChanged,     // the as-displayed export stopped
    DictionaryReadFailed,  // T0: the reader's status name
    // Reading the data.
    FileAccessFailed,
    NotRegularFile,
    DataReadTrouble,
    MatrixDataNotRead,         // the main window's refusal
    MatrixDataNotLoaded,       // the grid's refusal
    NoFileChosen,              // the main window's buttons before a file is chosen
    GridFileChanged,           // an action over many cells stopped
    InOut,                     // N0: the input/output error code (core/state/errors.h)
    SpecifierMismatch,         // T0: the display specifier
    SpecifierMissingArgument,  // T0: the display specifier
    // The statistics.
    PassCannotOpen,  // N0: the reader's status
    PassNoVariable,  // T0: the variable's name
    PassNoWeight,
    PassDataDamaged,    // N0: the cases read
    TooManyCategories,  // N0: the most categories
};
// The last code: a new one goes before it, or becomes it.
inline constexpr MessageCode kLastMessageCode = MessageCode::TooManyCategories;

struct Message {
    Message() = default;
    Message(MessageCode code, std::vector<std::string> texts = {},
            std::vector<long long> numbers = {}, int err = 0)
        : code(code), texts(std::move(texts)), numbers(std::move(numbers)), err(err) {}

    MessageCode code = MessageCode::None;
    std::vector<std::string> texts;
    std::vector<long long> numbers;
    int err = 0;

    // Argument i, or an empty text / 0 when the message has none.
    const std::string& Text(size_t i) const;
    long long Number(size_t i) const;
    explicit operator bool() const { return code != MessageCode::None; }
    bool operator==(const Message&) const = default;
};

// An error that carries its message; what() is the Japanese text, as the
// windows show it.
struct MessageError : std::runtime_error {
    explicit MessageError(Message m);
    Message message;
};

}  // namespace lv
