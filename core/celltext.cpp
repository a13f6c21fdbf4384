#include "core/celltext.h"

#include <array>
#include <cmath>
#include <initializer_list>
#include <span>

#include "core/errors.h"
#include "core/spssdio1.h"
#include "core/spssfio.h"

namespace lv {
namespace {

constexpr std::string_view kDatePattern = "%4d/%2.2d/%2.2d";
constexpr int kMaxAlignSpaces = 10;

// The message of the rendering error that args raise under pattern, or an
// empty text when they render.
std::string ProbeError(const std::string& pattern, std::initializer_list<FormatArg> args) {
    try {
        std::string scratch;
        AppendFormat(scratch, pattern, std::span<const FormatArg>(args.begin(), args.size()));
    } catch (const ConversionError& e) {
        return e.what();
    }
    return std::string();
}

}  // namespace

bool IsShownAsSysmis(double value, double sysmisValue) {
    return value == sysmisValue || std::isnan(value);
}

ColumnRender ColumnRender::Make(int varType, int printFormatType, std::string displayFormat,
                                int columnWidth, char decimalSeparator) {
    ColumnRender r;
    r.kind_ = varType != 0                              ? Kind::String
              : spssdio1::IsDateFormat(printFormatType) ? Kind::Date
                                                        : Kind::Number;
    r.width_ = columnWidth;
    r.separator_ = decimalSeparator;
    r.pattern_ = std::move(displayFormat);
    r.single_ = Specifier::Parse(r.pattern_);
    r.standardDate_ = r.pattern_ == kDatePattern;
    switch (r.kind_) {
        case Kind::String:
            r.error_ = ProbeError(r.pattern_, {FormatArg(std::string_view("a"))});
            break;
        case Kind::Number:
            r.error_ = ProbeError(r.pattern_, {FormatArg(1.5)});
            break;
        case Kind::Date:
            r.error_ = ProbeError(r.pattern_, {FormatArg(int32_t{2001}), FormatArg(int32_t{3}),
                                               FormatArg(int32_t{5})});
            break;
    }
    return r;
}

void ColumnRender::AppendAligned(std::string& out, std::string_view text) const {
    const long pad = static_cast<long>(width_) - static_cast<long>(text.size());
    if (pad > 0) out.append(static_cast<size_t>(std::min<long>(pad, kMaxAlignSpaces)), ' ');
    out.append(text);
}

void ColumnRender::RenderNumber(std::string& out, double value) const {
    if (single_ && single_->type() == 'f') {
        single_->AppendFloat(out, value, separator_);
        return;
    }
    const FormatArg args[] = {FormatArg(value)};
    AppendFormat(out, pattern_, args);
}

void ColumnRender::RenderDate(std::string& out, double value) const {
    int day = 0, month = 0, year = 0;
    spssConvertSPSSDate(&day, &month, &year, value);
    if (standardDate_) {
        AppendDate(out, year, month, day);
        return;
    }
    const FormatArg args[] = {FormatArg(int32_t{year}), FormatArg(int32_t{month}),
                              FormatArg(int32_t{day})};
    AppendFormat(out, pattern_, args);
}

void ColumnRender::AppendValue(std::string& out, double value) const {
    // Render into a small buffer first: the alignment depends on the length.
    thread_local std::string text;
    text.clear();
    if (kind_ == Kind::Date)
        RenderDate(text, value);
    else
        RenderNumber(text, value);
    AppendAligned(out, text);
}

void ColumnRender::AppendSysmis(std::string& out) const {
    AppendAligned(out, ".");
}

void ColumnRender::AppendText(std::string& out, std::string_view text) const {
    if (single_ && single_->type() == 's') {
        single_->AppendText(out, text);
        return;
    }
    const FormatArg args[] = {FormatArg(text)};
    AppendFormat(out, pattern_, args);
}

}  // namespace lv
