#include "core/export/delimited_writer.h"

#include <cmath>
#include <cstdio>

#include "core/rendering/calendar.h"
#include "core/text/delimited_field.h"
#include "core/text/number_text.h"

namespace lv {

void AppendIsoTime(std::string& out, double seconds) {
    if (!std::isfinite(seconds)) {
        AppendNumberText(out, seconds);
        return;
    }
    if (seconds < 0) out += '-';
    const ExactSeconds exact = SplitExactSeconds(std::fabs(seconds));
    const double hours = std::floor(exact.whole / 3600);
    const double rest = exact.whole - hours * 3600;
    const int minutes = static_cast<int>(rest / 60);
    const int secs = static_cast<int>(rest - minutes * 60);
    char buf[400];
    const int n = std::snprintf(buf, sizeof buf, "%02.0f:%02d:%02d", hours, minutes, secs);
    out.append(buf, static_cast<size_t>(n));
    if (!exact.fraction.empty()) out.append(".").append(exact.fraction);
}

DelimitedWriter::DelimitedWriter(const std::string& path, const TableOptions& options)
    : out_(path), tsv_(options.format == TableFormat::Tsv), crlf_(options.crlf) {
    if (options.bom) out_.Write("\xEF\xBB\xBF");
}

void DelimitedWriter::EndLine(size_t fields) {
    // An empty line would be skipped by readers: a lone empty field is "".
    if (fields == 1 && line_.empty()) line_ = "\"\"";
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
    switch (column.kind) {
        case ValueKind::Date:
            // A date that holds a time of day is written with it.
            if (std::fmod(cell.number, kSecondsPerDay) == 0
                    ? AppendIsoDate(line_, cell.number)
                    : AppendIsoDateTime(line_, cell.number, kExactDecimals))
                return;
            break;
        case ValueKind::DateTime:
            if (AppendIsoDateTime(line_, cell.number, kExactDecimals)) return;
            break;
        case ValueKind::Time:
            AppendIsoTime(line_, cell.number);
            return;
        default:
            break;
    }
    AppendDelimitedNumber(line_, cell.number, column.format.decimals);
}

void DelimitedWriter::Header(std::span<const TableColumn> columns) {
    columns_.assign(columns.begin(), columns.end());
    const char separator = tsv_ ? '\t' : ',';
    for (size_t k = 0; k < columns.size(); ++k) {
        if (k > 0) line_ += separator;
        AppendText(columns[k].header);
    }
    EndLine(columns.size());
}

void DelimitedWriter::Row(std::span<const TableCell> cells) {
    const char separator = tsv_ ? '\t' : ',';
    for (size_t k = 0; k < cells.size(); ++k) {
        if (k > 0) line_ += separator;
        AppendValue(cells[k], columns_[k]);
    }
    EndLine(cells.size());
}

void DelimitedWriter::Commit() {
    out_.Commit();
}

}  // namespace lv
