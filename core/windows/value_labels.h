// The value-label window's fill: the variable's name and label, its value
// labels and its missing values, for the variable that
// spssdio1::CurrentVarName / SelectedVarIndex name, each value rendered with
// DisplayFormats[SelectedVarIndex]. Values of date variables are shown as
// dates, system-missing as ".". String variables are read with the library's
// string-valued calls.
#pragma once

#include <string>
#include <string_view>

#include "core/text/display_line.h"

namespace lv {

// What the window shows besides its list.
class ValueLabelSink : public LineSink {
  public:
    // The varname caption, in the file's bytes.
    virtual void SetVarName(std::string_view bytes) = 0;
    // The Label1 caption, in the file's bytes (empty: the caption is emptied).
    virtual void SetVarLabel(std::string_view bytes) = 0;
};

// The whole fill: opens the file, sets both captions, writes the label lines
// and the missing-value lines, closes the file and reports a failed close by
// its status name. Does nothing when DataFileName is empty. A rendering error
// (lv::ConversionError) propagates after the lines written so far.
void FillValueLabelWindow(ValueLabelSink& sink);

// The missing-value block (an empty line, "** missing values **" and one line
// by format code) of the current variable, on the open FileHandle.
void AddMissingValueLines(LineSink& sink);

// A numeric value as the window shows it: with the variable's specifier, as
// a date for the date specifier ("." for system-missing there).
std::string RenderNumericValue(double value, const std::string& specifier);

}  // namespace lv
