#include "core/state/english_messages.h"

#include <cstdio>
#include <cstring>

#include "core/state/errors.h"

namespace lv {
namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// "expected what, but ..." with the token found, or the end of the condition.
std::string Expected(const char* what, const std::string& found) {
    if (found.empty()) return std::string("expected ") + what + ", but the condition ends here";
    return std::string("expected ") + what + ", but found " + Quoted(found);
}

std::string InOutText(long long code) {
    switch (code) {
        case 2:
            return "file not found";
        case 3:
            return "invalid file name";
        case 4:
            return "too many open files";
        case 5:
            return "access denied";
        case kInOutReadPastEnd:
            return "read past the end of the file";
        case kInOutDiskFull:
            return "the disk is full";
        case kInOutNotNumeric:
            return "the input is not a number";
        default:
            return "input/output error " + std::to_string(code);
    }
}

}  // namespace

std::string EnglishText(const Message& m) {
    const std::string& t0 = m.Text(0);
    const std::string n0 = std::to_string(m.Number(0));
    switch (m.code) {
        case MessageCode::None:
            return {};
        case MessageCode::ConditionTooLong:
            return "the condition is too long (at most " + n0 + " bytes)";
        case MessageCode::ConditionTooDeep:
            return "parentheses and function calls are nested too deeply (at most " + n0 +
                   " levels)";
        case MessageCode::UnclosedString:
            return "the string has no closing " + t0;
        case MessageCode::CharacterNotAllowed:
            return Quoted(t0) + " is not allowed";
        case MessageCode::ControlCharacter: {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(m.Number(0) & 0xFF));
            return std::string("the control character ") + code + " is not allowed";
        }
        case MessageCode::ExpectedOperatorOrEnd:
            return Expected("an operator or the end of the condition", t0);
        case MessageCode::ExpectedCloseParen:
            return Expected("\")\"", t0);
        case MessageCode::ExpectedCommaOrParen:
            return Expected("\",\" or \")\"", t0);
        case MessageCode::ExpectedOperand:
            return Expected("a value, a variable name, a function or \"(\"", t0);
        case MessageCode::ConditionIsString:
            return "the condition is a string: compare it with a value";
        case MessageCode::NotADate:
            return Quoted(t0) + " is not a " + m.Text(1) + " date (for example " + m.Text(2) + ")";
        case MessageCode::UnknownVariable:
            return "no variable named '" + t0 + "'";
        case MessageCode::NotEncodable:
            return Quoted(t0) + " in a string cannot be written in the file's encoding";
        case MessageCode::NeitherNumberNorDate:
            return Quoted(t0) + " is neither a number nor a date";
        case MessageCode::MinusNeedsNumber:
            return "\"-\" needs a numeric expression after it";
        case MessageCode::NotNeedsCondition:
            return "NOT needs a condition after it (not a string)";
        case MessageCode::StringInArithmetic:
            return "a string cannot be used in arithmetic";
        case MessageCode::LogicNeedsConditions:
            return t0 + " needs a condition on each side (not a string)";
        case MessageCode::StringAndNumber:
            return "a string cannot be compared with a number";
        case MessageCode::OneArgument:
            return t0 + " takes one argument";
        case MessageCode::RangeArguments:
            return "RANGE takes a value and pairs of a lower and an upper bound";
        case MessageCode::AnyArguments:
            return "ANY takes a value and one or more values to compare it with";
        case MessageCode::ValueNeedsVariable:
            return "VALUE takes a variable name";
        case MessageCode::SysmisNeedsNumber:
            return "SYSMIS takes a number (a string has no system-missing value)";
        case MessageCode::MissingNeedsArgument:
            return "MISSING takes a variable name or a numeric expression";
        case MessageCode::MixedArguments:
            return t0 + " takes either strings or numbers, not both";
        case MessageCode::UnknownFunction:
            return "no function named '" + t0 + "' (there are " + m.Text(1) + ")";
        case MessageCode::ToNeedsNames:
            return "TO stands between two variable names (q1 TO q5)";
        case MessageCode::ExpectedVariableAfterTo:
            return Expected("a variable name after TO", t0);
        case MessageCode::ToOutOfOrder:
            return t0 + " comes after " + m.Text(1) + " in the file: write " + m.Text(1) + " TO " +
                   t0;
        case MessageCode::FunctionArguments:
            return t0 + " takes " +
                   (m.Number(1) < 0              ? "at least " + n0
                    : m.Number(1) == m.Number(0) ? n0
                                                 : n0 + " to " + std::to_string(m.Number(1))) +
                   (m.Number(0) == 1 && m.Number(1) == 1 ? " argument" : " arguments");
        case MessageCode::ArgumentNotNumber:
            return "argument " + n0 + " of " + t0 + " must be a number";
        case MessageCode::ArgumentNotString:
            return "argument " + n0 + " of " + t0 + " must be a string";
        case MessageCode::ValidCountTooLarge:
            return t0 + "." + n0 + " asks for " + n0 + " valid values of only " +
                   std::to_string(m.Number(1)) + " arguments";
        case MessageCode::DateUnitUnknown:
            return Quoted(t0) +
                   " is not a unit (years, quarters, months, weeks, days, hours, minutes, seconds)";
        case MessageCode::LagNeedsVariable:
            return "LAG takes a variable name and, after it, how many cases back (1 or more)";
        case MessageCode::ComputedNameInvalid:
            return Quoted(t0) +
                   " cannot name a variable (a letter first, then letters, digits, "
                   "_ . @ # $)";
        case MessageCode::ComputedNameTaken:
            return "there is already a variable named " + Quoted(t0);
        case MessageCode::ComputedFormatMismatch:
            return t0 + " is " + (m.Number(0) ? "a string" : "a number") + ": " +
                   Quoted(m.Text(1)) + " is no format for it" +
                   (m.Number(0) ? " (A20)" : " (F8.2, COMMA10, DATE11)");
        case MessageCode::ComputedNeedsFile:
            return "computed variables need a grid read from a data file";
        case MessageCode::ComputedInUse:
            return t0 + " cannot be removed: " + Quoted(m.Text(1)) + " is made from it";
        case MessageCode::ValueLabelNeedsVariable:
            return "VALUELABEL takes a variable name";
        case MessageCode::FormatArgument:
            return Quoted(m.Text(1)) + " is no format " + t0 +
                   (t0 == "NUMBER" ? " reads (F8.2, COMMA10.2, DOLLAR12, PCT6, N5, DATE11, ADATE10)"
                                   : " writes (F8.2, COMMA10.2, E10.3, DATE11, TIME8)");
        case MessageCode::OutputHasNoName:
            return t0 + ": the output has no file name";
        case MessageCode::OutputFolderMissing:
            return t0 + ": the output folder does not exist";
        case MessageCode::OutputIsFolder:
            return t0 + ": the output is a folder";
        case MessageCode::OutputReadOnly:
            return t0 + ": the output file is read-only";
        case MessageCode::OutputIsInput:
            return t0 + ": is the file being read; choose another name";
        case MessageCode::SavNotWritable:
            return t0 + ": cannot be written as a system file: " + m.Text(1);
        case MessageCode::PdfNoBookmarks:
            return t0 + ": the PDF's bookmarks cannot be added: " + m.Text(1);
        case MessageCode::SavNoDictionary:
            return "the file's dictionary was not read: no system file can be written";
        case MessageCode::OutputDiskFull:
            return t0 + ": the disk is full";
        case MessageCode::OutputNotWritable:
            return t0 + ": cannot write there (read-only or no permission)";
        case MessageCode::OutputFailed:
            return t0 + ": cannot write: " + std::strerror(m.err);
        case MessageCode::XlsxToStandardOutput:
            return "an Excel workbook cannot be written to standard output";
        case MessageCode::XlsxTooManyRows:
            return "an Excel sheet holds at most 1,048,576 rows with its header (" + n0 +
                   " rows and the header to write): choose fewer rows";
        case MessageCode::XlsxTooManyColumns:
            return "an Excel sheet holds at most 16,384 columns (" + n0 +
                   " variables to write): choose fewer variables";
        case MessageCode::XlsxCellTooLong:
            return "an Excel cell holds at most 32,767 characters (row " + n0 + ")";
        case MessageCode::XlsxFailed:
            return "cannot write the Excel workbook: " + t0;
        case MessageCode::XlsxNoDictionary:
            return "no variable information for the workbook's dictionary sheet; nothing written";
        case MessageCode::ConvertDataUnfinished:
            return "the data could not be read to the end; nothing was written";
        case MessageCode::ConvertFileChanged:
            return "the data file was changed or deleted after it was read; nothing was written";
        case MessageCode::ExportFileChanged:
            return "the data file was changed or deleted after it was read; the export stopped";
        case MessageCode::DictionaryReadFailed:
            return "cannot read the dictionary (" + t0 + ")";
        case MessageCode::FileAccessFailed:
            return "cannot open the data file";
        case MessageCode::NotRegularFile:
            return "not a regular file (a FIFO, a device or the like)";
        case MessageCode::DataReadTrouble:
            return "the data could not be read to the end";
        case MessageCode::MatrixDataNotRead:
        case MessageCode::MatrixDataNotLoaded:
            return "the file holds matrix data, which is not read";
        case MessageCode::NoFileChosen:
            return "no file chosen";
        case MessageCode::GridFileChanged:
            return "the data file was changed or deleted after it was read; cannot go on";
        case MessageCode::InOut:
            return InOutText(m.Number(0));
        case MessageCode::SpecifierMismatch:
            return "the display format '" + t0 + "' is invalid or does not fit the value";
        case MessageCode::SpecifierMissingArgument:
            return "the display format '" + t0 + "' has no value for a field";
        case MessageCode::PassCannotOpen:
            return "cannot open the file (" + n0 + ")";
        case MessageCode::PassNoVariable:
            return "no handle for variable " + t0;
        case MessageCode::PassNoWeight:
            return "no handle for the weight variable";
        case MessageCode::PassDataDamaged:
            return "the data are damaged or cut short after case " + n0;
        case MessageCode::TooManyCategories:
            return "more than " + n0 + " categories";
    }
    return {};
}

std::string EnglishAtCharacter(size_t position, const Message& message) {
    return "at character " + std::to_string(position) + ": " + EnglishText(message);
}

}  // namespace lv
