// The main window's summary of the chosen file: the lines ShowFileSummary
// appends to the text area (the "file:" line before them is the caller's).
#pragma once

#include "core/text/display_line.h"

namespace lv {

// The line "file:" followed by spssdio1::DataFileName.
DisplayLine FileNameLine();

// Opens spssdio1::DataFileName, writes the summary lines into sink, and
// closes the file; nothing when DataFileName is empty. Sets CaseCount,
// VarCount, CompressionFlag, SysmisValue and the buffers of the shared state,
// and chooses the encoding the windows decode this file's texts with.
void ShowFileSummaryLines(LineSink& sink);

}  // namespace lv
