#include "core/export/delimited_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/rendering/calendar.h"
#include "core/text/delimited_field.h"
#include "core/text/number_text.h"

namespace lv {

void AppendIsoTime(std::string& out, double seconds, int decimals) {
    decimals = std::clamp(decimals, 0, 9);
    if (!std::isfinite(seconds)) {
        AppendNumberText(out, seconds);
        return;
    }
    if (seconds < 0) out += '-';
    // Rounded to the decimals shown, then split, so 59.9995 never shows as 60.
    const double scale = std::pow(10.0, decimals);
    const double units = std::round(std::fabs(seconds) * scale);
    const double whole = std::floor(units / scale);
    const double fraction = units - whole * scale;
    const double hours = std::floor(whole / 3600);
    const int minutes = static_cast<int>(std::fmod(std::floor(whole / 60), 60));
    const int secs = static_cast<int>(std::fmod(whole, 60));
    char buf[400];
    int n = std::snprintf(buf, sizeof buf, "%02.0f:%02d:%02d", hours, minutes, secs);
    out.append(buf, static_cast<size_t>(n));
    if (decimals > 0) {
        n = std::snprintf(buf, sizeof buf, ".%0*.0f", decimals, fraction);
        out.append(buf, static_cast<size_t>(n));
    }
}

DelimitedWriter::DelimitedWriter(const std::string& path, const TableOptions& options)
    : out_(path), tsv_(options.format == TableFormat::Tsv), crlf_(options.crlf) {
    if (options.bom) out_.Write("\xEF\xBB\xBF");
}

void DelimitedWriter::EndLine() {
    if (crlf_) line_ += '\r';
    line_ += '\n';
    out_.Write(line_);
    line_.clear();
}

void DelimitedWriter::AppendText(std::string_view text) {
    if (tsv_)
        AppendTsvText(line_, text);
    else
        AppendCsvText(line_, text);
}

void DelimitedWriter::AppendValue(const TableCell& cell, const TableColumn& column) {
    switch (cell.kind) {
        case TableCell::Kind::Empty:
            return;
        case TableCell::Kind::Text:
            AppendText(cell.text);
            return;
        case TableCell::Kind::Number:
            break;
    }
    const int decimals = column.format.decimals;
    switch (column.kind) {
        case ValueKind::Date:
            if (AppendIsoDate(line_, cell.number)) return;
            break;
        case ValueKind::DateTime:
            if (AppendIsoDateTime(line_, cell.number, decimals)) return;
            break;
        case ValueKind::Time:
            AppendIsoTime(line_, cell.number, decimals);
            return;
        default:
            break;
    }
    AppendDelimitedNumber(line_, cell.number, decimals);
}

void DelimitedWriter::Header(std::span<const TableColumn> columns) {
    columns_.assign(columns.begin(), columns.end());
    const char separator = tsv_ ? '\t' : ',';
    for (size_t k = 0; k < columns.size(); ++k) {
        if (k > 0) line_ += separator;
        AppendText(columns[k].header);
    }
    EndLine();
}

void DelimitedWriter::Row(std::span<const TableCell> cells) {
    const char separator = tsv_ ? '\t' : ',';
    for (size_t k = 0; k < cells.size(); ++k) {
        if (k > 0) line_ += separator;
        AppendValue(cells[k], columns_[k]);
    }
    EndLine();
}

void DelimitedWriter::Commit() {
    out_.Commit();
}

}  // namespace lv
