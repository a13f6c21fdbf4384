#include "core/windows/value_labels.h"

#include <cmath>
#include <cstring>

#include "core/dictionary/reader_handle.h"
#include "core/rendering/specifier_format.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/windows/variable_list.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

using namespace spssdio1;

constexpr int kStringMissingSize = SPSS_STRING_MISSING_SIZE;

// The current variable's specifier and kind; an index outside the arrays
// reads as an empty specifier (renders as empty text).
struct CurrentVariable {
    std::string specifier;
    bool isString = false;
};

CurrentVariable Current() {
    CurrentVariable v;
    const int i = SelectedVarIndex;
    if (i >= 0 && static_cast<size_t>(i) < DisplayFormats.size()) {
        v.specifier = DisplayFormats[i];
        v.isString = VarTypes[i] > 0;
    }
    return v;
}

// A string value: rendered with the specifier and shown as the file's bytes.
DisplayLine StringValue(const char* value, const std::string& specifier) {
    DisplayLine piece;
    piece.FromFile(Format(specifier, {value}));
    return piece;
}

DisplayLine NumericValue(double value, const std::string& specifier) {
    return DisplayLine(RenderNumericValue(value, specifier));
}

// A line per value label of variable name, its value rendered by render:
// T is double for a numeric variable, char* for a string one.
template <typename T, typename Render>
void AddLabelLines(const char* name, const std::string& specifier, LineSink& sink, Render render) {
    // Freed when this returns or a rendering error leaves it; the free
    // call's status is the last one.
    ValueLabelArrays<T> arrays(&LastStatus);
    LastStatus = arrays.Get(FileHandle, name);
    if (LastStatus == SPSS_NO_LABELS || LastStatus == SPSS_NO_LABEL) {
        sink.AddLine(DisplayLine("** no value labels **"));
        return;
    }
    if (LastStatus != 0) return;
    for (int i = 0; i < arrays.count; ++i) {
        DisplayLine line = render(arrays.values[i], specifier);
        line.Literal("  ").FromFile(arrays.labels[i]);
        sink.AddLine(line);
    }
}

// The one line chosen by the missing-value format code.
DisplayLine MissingLine(int code, const DisplayLine values[3]) {
    DisplayLine line;
    switch (code) {
        case SPSS_NO_MISSVAL:
            return DisplayLine("なし");
        case SPSS_ONE_MISSVAL:
            return values[0];
        case SPSS_TWO_MISSVAL:
            return line.Append(values[0]).Literal(", ").Append(values[1]);
        case SPSS_THREE_MISSVAL:
            return line.Append(values[0]).Literal(", ").Append(values[1]).Literal(", ").Append(
                values[2]);
        case SPSS_MISS_RANGE:
            return line.Append(values[0]).Literal(" から ").Append(values[1]).Literal(" まで");
        case SPSS_MISS_RANGEANDVAL:
            return line.Append(values[0])
                .Literal(" から ")
                .Append(values[1])
                .Literal(" まで, ")
                .Append(values[2]);
        default:
            return DisplayLine("type 指定に間違いがありました:" + Format("%3d", {code}));
    }
}

// Renders only the values the code uses, so an unused slot never raises a
// rendering error.
int ValuesUsed(int code) {
    switch (code) {
        case SPSS_ONE_MISSVAL:
            return 1;
        case SPSS_TWO_MISSVAL:
            return 2;
        case SPSS_THREE_MISSVAL:
            return 3;
        case SPSS_MISS_RANGE:
            return 2;
        case SPSS_MISS_RANGEANDVAL:
            return 3;
        default:
            return 0;
    }
}

}  // namespace

std::string RenderNumericValue(double value, const std::string& specifier) {
    if (specifier != kDateSpecifier) return Format(specifier, {value});
    if (value == SysmisValue || std::isnan(value)) return ".";
    int day = 0, month = 0, year = 0;
    spssConvertSPSSDate(&day, &month, &year, value);
    return Format(specifier, {year, month, day});
}

void AddMissingValueLines(LineSink& sink) {
    const CurrentVariable var = Current();
    const char* name = CurrentVarName.c_str();
    int code = 0;
    DisplayLine values[3];
    if (var.isString) {
        char v[3][kStringMissingSize] = {};
        LastStatus = spssGetVarCMissingValues(FileHandle, name, &code, v[0], v[1], v[2]);
        if (LastStatus != 0) return;
        for (int k = 0; k < ValuesUsed(code); ++k) {
            v[k][kStringMissingSize - 1] = 0;
            values[k] = StringValue(v[k], var.specifier);
        }
    } else {
        double v[3] = {};
        LastStatus = spssGetVarNMissingValues(FileHandle, name, &code, &v[0], &v[1], &v[2]);
        if (LastStatus != 0) return;
        for (int k = 0; k < ValuesUsed(code); ++k) values[k] = NumericValue(v[k], var.specifier);
    }
    sink.AddLine(DisplayLine());
    sink.AddLine(DisplayLine("** missing values **"));
    sink.AddLine(MissingLine(code, values));
}

void FillValueLabelWindow(ValueLabelSink& sink) {
    if (DataFileName.empty()) return;
    OpenDataFile();
    const CurrentVariable var = Current();
    const char* name = CurrentVarName.c_str();
    sink.SetVarName(CurrentVarName);
    LastStatus = spssGetVarLabel(FileHandle, name, VarLabelBuffer);
    if (LastStatus == 0) {
        sink.SetVarLabel(
            std::string_view(VarLabelBuffer, strnlen(VarLabelBuffer, kVarLabelMaxBytes)));
    } else {
        sink.SetVarLabel({});
    }
    try {
        if (var.isString) {
            AddLabelLines<char*>(name, var.specifier, sink, StringValue);
        } else {
            AddLabelLines<double>(name, var.specifier, sink, NumericValue);
        }
        AddMissingValueLines(sink);
    } catch (...) {
        // A rendering error ends the fill, but the file is closed on every path.
        LastStatus = spssCloseRead(FileHandle);
        throw;
    }
    LastStatus = spssCloseRead(FileHandle);
    if (LastStatus != 0) CurrentDialogs().ShowMessage(StatusName(LastStatus));
}

}  // namespace lv
