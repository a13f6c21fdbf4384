#include "core/windows/summary.h"

#include <cstring>
#include <string>
#include <string_view>

#include "core/rendering/specifier_format.h"
#include "core/state/data_file_checks.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "core/text/trim.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

using namespace spssdio1;

constexpr int kSystemStringSize = SPSS_SYSTEM_STRING_SIZE;
constexpr int kTimeStampSize = SPSS_TIME_STAMP_SIZE;
constexpr int kLabelMaxBytes = 66;
constexpr int kWeightNameMaxBytes = 10;
constexpr int kEncodingSize = 64;

// The encoding the reader found the file's texts in (UTF-8 should the call
// fail). Leaves LastStatus alone: this call is not part of the summary.
std::string DisplayEncodingOfOpenFile() {
    char encoding[kEncodingSize] = {};
    if (spssGetFileEncoding(FileHandle, encoding, sizeof encoding) != 0) encoding[0] = 0;
    encoding[kEncodingSize - 1] = 0;
    return encoding[0] != 0 ? std::string(encoding) : std::string("UTF-8");
}

}  // namespace

DisplayLine FileNameLine() {
    return DisplayLine("file:" + DataFileName);
}

void ShowFileSummaryLines(LineSink& sink) {
    if (DataFileName.empty()) return;
    LastStatus = spssOpenRead(DataFileName.c_str(), &FileHandle);
    if (LastStatus != 0) {
        // The counts of the file chosen before no longer hold.
        CaseCount = 0;
        VarCount = 0;
        sink.AddLine(DisplayLine("ファイルを開くことに失敗しました"));
        // The reader takes regular files only: say so for a FIFO or a device.
        if (KindOfDataFile(DataFileName) == DataFileKind::Other)
            sink.AddLine(DisplayLine(kNotRegularFileText));
        return;
    }
    SetCurrentFileEncoding(DisplayEncodingOfOpenFile());

    char system[kSystemStringSize + 1] = {};
    LastStatus = spssGetSystemString(FileHandle, system);
    if (LastStatus == 0) {
        sink.AddLine(
            DisplayLine("Original System:  ").FromFile(BufferBytes(system, kSystemStringSize)));
    }

    char date[kTimeStampSize + 1] = {};
    char time[kTimeStampSize + 1] = {};
    LastStatus = spssGetTimeStamp(FileHandle, date, time);
    if (LastStatus == 0) {
        sink.AddLine(DisplayLine("作成日時:          ")
                         .FromFile(BufferBytes(date, kTimeStampSize))
                         .Literal(" ")
                         .FromFile(BufferBytes(time, kTimeStampSize)));
    }

    LastStatus = spssGetNumberofCases(FileHandle, &CaseCount);
    if (LastStatus == 0) sink.AddLine(DisplayLine("ケース数: " + Format("%8d", {CaseCount})));

    LastStatus = spssGetNumberofVariables(FileHandle, &VarCount);
    if (LastStatus == 0) sink.AddLine(DisplayLine("変数の数: " + Format("%8d", {VarCount})));

    sink.AddLine(DisplayLine());

    LastStatus = spssGetIdString(FileHandle, IdStringBuffer);
    if (LastStatus == 0) {
        const std::string_view label = Trim(BufferBytes(IdStringBuffer, kLabelMaxBytes));
        DisplayLine line("File label:   ");
        if (label.empty()) {
            line.Literal("No Label");
        } else {
            line.FromFile(label);
        }
        sink.AddLine(line);
    }

    LastStatus = spssGetCompression(FileHandle, &CompressionFlag);
    if (LastStatus == 0) {
        sink.AddLine(DisplayLine(CompressionFlag == 1 ? "圧縮：       Yes" : "圧縮：       No "));
    }

    LastStatus = spssGetCaseWeightVar(FileHandle, WeightVarName);
    if (LastStatus == SPSS_NO_CASEWGT) {
        sink.AddLine(DisplayLine("重みづけ： No"));
    } else if (LastStatus == 0) {
        sink.AddLine(DisplayLine("データの重みづけ変数： ")
                         .FromFile(BufferBytes(WeightVarName, kWeightNameMaxBytes)));
    }

    SysmisValue = spssSysmisVal();
    sink.AddLine(DisplayLine("sysmis= " + Format("%20.8f", {SysmisValue})));
    sink.AddLine(DisplayLine(std::string(32, '-')));

    LastStatus = spssCloseRead(FileHandle);
}

}  // namespace lv
