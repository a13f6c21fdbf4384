#include "core/windows/variable_list.h"

#include <cstring>
#include <exception>

#include "core/dictionary/reader_handle.h"
#include "core/rendering/format_traits.h"
#include "core/rendering/specifier_format.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/text/trim.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

using namespace spssdio1;

constexpr int kLongNameBufferSize = 256;
constexpr int kStringMissingSize = SPSS_STRING_MISSING_SIZE;

std::string NumericSpecifier(int width, int decimals) {
    std::string specifier = "%";
    specifier += std::to_string(width);
    specifier += '.';
    specifier += std::to_string(decimals);
    specifier += 'f';
    return specifier;
}

std::string StringSpecifier(int width) {
    std::string specifier = "%";
    specifier += std::to_string(width);
    specifier += 's';
    return specifier;
}

// Display width and specifier of variable i from its print format, falling
// back to the write format (never a date there) when the print format fails.
void DeriveDisplayData(int i, const char* name, bool isString) {
    LastStatus = spssGetVarPrintFormat(FileHandle, name, &PrintFormatTypes[i], &FormatDecimals,
                                       &FormatWidth);
    if (LastStatus == 0) {
        ColumnWidths[i] = FormatWidth;
        if (isString) {
            DisplayFormats[i] = StringSpecifier(FormatWidth);
        } else if (IsDayFormat(PrintFormatTypes[i])) {
            ColumnWidths[i] = 11;
            DisplayFormats[i] = std::string(kDateSpecifier);
        } else {
            DisplayFormats[i] = NumericSpecifier(FormatWidth, FormatDecimals);
        }
        return;
    }
    CurrentDialogs().ShowMessage("Error at spssGetVarPrintFormat." + StatusName(LastStatus));
    // Whatever the failed query left in the type must not make the grid
    // render this variable as a date: its specifier is never the date one.
    int writeType = 0;
    LastStatus = spssGetVarWriteFormat(FileHandle, name, &writeType, &FormatDecimals, &FormatWidth);
    PrintFormatTypes[i] = (LastStatus == 0 && !IsDayFormat(writeType)) ? writeType : 0;
    if (LastStatus != 0) {
        CurrentDialogs().ShowMessage("Error at spssGetVarWriteFormat." + StatusName(LastStatus));
        return;
    }
    ColumnWidths[i] = FormatWidth;
    DisplayFormats[i] =
        isString ? StringSpecifier(FormatWidth) : NumericSpecifier(FormatWidth, FormatDecimals);
}

std::string LongNameIfDifferent(const char* name) {
    char longName[kLongNameBufferSize] = {};
    if (spssGetVarLongName(FileHandle, name, longName, sizeof longName) != 0) return {};
    longName[kLongNameBufferSize - 1] = 0;
    return std::strcmp(longName, name) == 0 ? std::string() : std::string(longName);
}

// Closes the shared file when an exception leaves the build; the build
// closes it itself, last, on its normal path.
class CloseOnThrow {
  public:
    ~CloseOnThrow() {
        if (std::uncaught_exceptions() > exceptions_) LastStatus = spssCloseRead(FileHandle);
    }

  private:
    int exceptions_ = std::uncaught_exceptions();
};

}  // namespace

std::string NameField(std::string_view name) {
    std::string field(name);
    field.append(10, ' ');
    field.resize(10);
    return field;
}

std::string TypeField(int varType) {
    if (varType == 0) return "num    ";
    return "str" + Format("%3d", {varType}) + " ";
}

std::string NameFromLine(std::string_view lineBytes) {
    return std::string(Trim(lineBytes.substr(0, 8)));
}

std::string ValueLabelFlag(const char* name, bool isString) {
    // The labels are freed as soon as they are had: the free call's status
    // is the last one.
    const auto flag = [](int status) {
        return status == SPSS_NO_LABELS || status == SPSS_NO_LABEL ? "N" : "L";
    };
    if (isString) {
        ValueLabelArrays<char*> arrays(&LastStatus);
        LastStatus = arrays.Get(FileHandle, name);
        return flag(LastStatus);
    }
    ValueLabelArrays<double> arrays(&LastStatus);
    LastStatus = arrays.Get(FileHandle, name);
    return flag(LastStatus);
}

std::string MissingValueFlag(const char* name, bool isString) {
    int code = 0;
    if (isString) {
        char v1[kStringMissingSize], v2[kStringMissingSize], v3[kStringMissingSize];
        LastStatus = spssGetVarCMissingValues(FileHandle, name, &code, v1, v2, v3);
    } else {
        double v1 = 0, v2 = 0, v3 = 0;
        LastStatus = spssGetVarNMissingValues(FileHandle, name, &code, &v1, &v2, &v3);
    }
    return (LastStatus == 0 && code != 0) ? "m" : "N";
}

bool BuildVariableList(LineSink& sink, Progress* progress) {
    if (DataFileName.empty()) return false;
    OpenDataFile();
    const CloseOnThrow guard;
    LastStatus = spssGetNumberofVariables(FileHandle, &VarCount);
    if (LastStatus != 0) {
        CurrentDialogs().ShowMessage("File handle error at getVarInfo:" + StatusName(LastStatus));
    } else {
        EnsureVarCapacity(VarCount);
        constexpr int kVariablesPerStep = 64;
        for (int i = 0; i < VarCount; ++i) {
            if (i % kVariablesPerStep == 0 &&
                !Continue(progress, static_cast<uint64_t>(i), static_cast<uint64_t>(VarCount)))
                break;
            LastStatus = spssGetVarInfo(FileHandle, i, VarNames[i].data(), &VarTypes[i]);
            if (LastStatus != 0) {
                CurrentDialogs().ShowMessage("File handle error at getVarInfo:" +
                                             StatusName(LastStatus));
                break;
            }
            const std::string name(SlotText(VarNames[i]));
            const bool isString = VarTypes[i] > 0;
            DisplayLine line;
            line.FromFile(NameField(name)).Literal(TypeField(VarTypes[i]));
            line.Literal(ValueLabelFlag(name.c_str(), isString)).Literal("  ");
            line.Literal(MissingValueFlag(name.c_str(), isString)).Literal("  ");
            if (spssGetVarLabel(FileHandle, name.c_str(), VarLabelBuffer) == 0) {
                line.FromFile(
                    std::string_view(VarLabelBuffer, strnlen(VarLabelBuffer, kVarLabelMaxBytes)));
            }
            line.SetNote(LongNameIfDifferent(name.c_str()));
            sink.AddLine(line);
            DeriveDisplayData(i, name.c_str(), isString);
        }
    }
    LastStatus = spssCloseRead(FileHandle);
    return true;
}

}  // namespace lv
