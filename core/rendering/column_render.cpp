#include "core/rendering/column_render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <span>

#include "core/rendering/format_fixed.h"
#include "core/rendering/format_traits.h"
#include "core/state/errors.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

constexpr std::string_view kDatePattern = "%4d/%2.2d/%2.2d";
constexpr int kMaxAlignSpaces = 10;

// The message of the rendering error that args raise under pattern, or an
// empty text when they render.
Message ProbeError(const std::string& pattern, std::initializer_list<FormatArg> args) {
    try {
        std::string scratch;
        AppendFormat(scratch, pattern, std::span<const FormatArg>(args.begin(), args.size()));
    } catch (const ConversionError& e) {
        return e.message;
    }
    return Message{};
}

}  // namespace

bool IsShownAsSysmis(double value, double sysmisValue) {
    return value == sysmisValue || std::isnan(value);
}

ColumnRender ColumnRender::Make(int varType, int printFormatType, std::string displayFormat,
                                int columnWidth, char decimalSeparator) {
    ColumnRender r;
    r.kind_ = varType != 0                   ? Kind::String
              : IsDayFormat(printFormatType) ? Kind::Date
                                             : Kind::Number;
    r.width_ = columnWidth;
    r.separator_ = decimalSeparator;
    r.pattern_ = std::move(displayFormat);
    r.single_ = Specifier::Parse(r.pattern_);
    r.standardDate_ = r.pattern_ == kDatePattern;
    r.fixed_ = r.kind_ == Kind::Number && r.single_ && r.single_->type() == 'f';
    r.plainText_ = r.kind_ == Kind::String && r.single_ && r.single_->type() == 's';
    if (r.single_) r.decimals_ = detail::FixedDecimals(r.single_->precision());
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
    const size_t lead = pad > 0 ? static_cast<size_t>(std::min<long>(pad, kMaxAlignSpaces)) : 0;
    // One append of the blanks of the whole cell, then the text into it.
    const size_t start = out.size();
    out.append(lead + text.size(), ' ');
    if (!text.empty()) std::memcpy(out.data() + start + lead, text.data(), text.size());
}

void ColumnRender::AppendField(std::string& out, const char* text, size_t length) const {
    const int specWidth = single_ ? single_->width() : -1;
    const size_t field =
        specWidth > 0 && static_cast<size_t>(specWidth) > length ? specWidth : length;
    const size_t lead = single_ && single_->left() ? 0 : field - length;
    const long room = static_cast<long>(width_) - static_cast<long>(field);
    const size_t align = room > 0 ? static_cast<size_t>(std::min<long>(room, kMaxAlignSpaces)) : 0;
    // One append of the blanks of the whole cell, then the text into it.
    const size_t start = out.size();
    out.append(align + field, ' ');
    std::memcpy(out.data() + start + align + lead, text, length);
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
    if (fixed_) {
        char text[detail::kFixedMaxChars];
        const int length = detail::RenderFixed(text, value, decimals_, separator_);
        AppendField(out, text, static_cast<size_t>(length));
        return;
    }
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

void ColumnRender::AppendPaddedText(std::string& out, std::string_view stored,
                                    size_t blanks) const {
    if (!plainText_) {
        std::string text(stored);
        text.append(blanks, ' ');
        AppendText(out, text);
        return;
    }
    // The s specifier: cut to the precision, then the field's blanks; the
    // restored blanks and the field's are all spaces, so one append of the
    // whole field and a copy of the stored bytes into it.
    size_t length = stored.size() + blanks;
    const int precision = single_->precision();
    if (precision >= 0 && static_cast<size_t>(precision) < length) length = precision;
    const size_t copied = std::min(length, stored.size());
    const int specWidth = single_->width();
    const size_t field =
        specWidth > 0 && static_cast<size_t>(specWidth) > length ? specWidth : length;
    const size_t lead = single_->left() ? 0 : field - length;
    const size_t start = out.size();
    out.append(field, ' ');
    std::memcpy(out.data() + start + lead, stored.data(), copied);
}

void ColumnRender::AppendText(std::string& out, std::string_view text) const {
    if (plainText_) {
        single_->AppendText(out, text);
        return;
    }
    const FormatArg args[] = {FormatArg(text)};
    AppendFormat(out, pattern_, args);
}

}  // namespace lv
