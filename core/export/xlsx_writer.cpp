#include "core/export/xlsx_writer.h"

#include <locale.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "core/dictionary/codebook_csv.h"
#include "core/dictionary/dictionary_json.h"
#include "core/dictionary/dictionary_words.h"
#include "core/dictionary/file_dictionary.h"
#include "core/export/library_messages.h"
#include "core/rendering/calendar.h"
#include "core/rendering/format_traits.h"
#include "core/text/display_encoding.h"

namespace lv {
namespace {

// prefix, then a point and decimals zeros when there are decimals, then suffix.
std::string WithDecimals(std::string_view prefix, int decimals, std::string_view suffix = {}) {
    std::string out(prefix);
    if (decimals > 0) {
        out += '.';
        out.append(static_cast<size_t>(std::min(decimals, 16)), '0');
    }
    out += suffix;
    return out;
}

// What every call into the library runs under: its messages held back, and
// the C locale on this thread, so that whatever it prints of a number has
// a decimal point (QApplication sets the program's locale from the
// environment, which may use a decimal comma).
class LibraryCall {
  public:
    LibraryCall() {
        static const locale_t classic = newlocale(LC_ALL_MASK, "C", nullptr);
        previous_ = classic ? uselocale(classic) : nullptr;
    }
    ~LibraryCall() {
        if (previous_) uselocale(previous_);
    }
    LibraryCall(const LibraryCall&) = delete;
    LibraryCall& operator=(const LibraryCall&) = delete;

  private:
    QuietLibrary quiet_;
    locale_t previous_ = nullptr;
};

size_t Utf8Chars(std::string_view text) {
    size_t n = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

std::string XlsxNumberFormat(const PrintFormat& f, ValueKind kind) {
    switch (kind) {
        case ValueKind::Date:
            return "yyyy-mm-dd";
        case ValueKind::DateTime:
            return WithDecimals("yyyy-mm-dd hh:mm:ss", f.decimals);
        case ValueKind::Time:
            return WithDecimals("[h]:mm:ss", f.decimals);
        case ValueKind::String:
            return "@";
        case ValueKind::Number:
            break;
    }
    switch (CategoryOf(f.type)) {
        case FormatCategory::Grouped:
            return WithDecimals(f.type == fmt::DOLLAR ? "$#,##0" : "#,##0", f.decimals);
        case FormatCategory::Percent:
            return WithDecimals("0", f.decimals, "\"%\"");
        case FormatCategory::Scientific:
            return WithDecimals("0", std::max(f.decimals, 1), "E+00");
        case FormatCategory::Zoned:
            if (f.type == fmt::N)
                return std::string(static_cast<size_t>(std::clamp(f.width, 1, 40)), '0');
            return WithDecimals("0", f.decimals);
        case FormatCategory::Number:
            return WithDecimals("0", f.decimals);
        default:
            return {};  // weekdays, months, hexadecimal and binary forms: General
    }
}

bool XlsxSerialDate(double seconds, double& serial) {
    static const double kEpochDays = static_cast<double>(DayOfDate(1899, 12, 30));
    static const double kFirstShown = static_cast<double>(DayOfDate(1900, 3, 1));
    if (!std::isfinite(seconds)) return false;
    const double days = seconds / kSecondsPerDay;
    if (days < kFirstShown || days > static_cast<double>(DayOfDate(9999, 12, 31)) + 1) return false;
    serial = days - kEpochDays;
    return true;
}

XlsxWriter::XlsxWriter(const std::string& path, const FileDictionary& dictionary,
                       std::string encoding)
    : out_(path), dictionary_(dictionary), encoding_(std::move(encoding)) {
    const LibraryCall call;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    book_ = workbook_new_opt(out_.writePath().c_str(), &options);
    if (!book_) throw ExportError(WriteFailure(path, errno ? errno : ENOMEM));
    data_ = workbook_add_worksheet(book_, "データ");
    if (!data_ || !data_->optimize_tmpfile) {
        Abandon();
        throw ExportError(WriteFailure(path, ENOMEM));
    }
    // The rows' XML goes through the exact numbers' stream to the library's
    // temporary file, gigabytes of it for a large file: buffers of a
    // megabyte instead of a page save most of the system calls. Set before
    // the first write.
    std::FILE* rows = numbers_.Wrap(data_->optimize_tmpfile);
    if (!rows) {
        const int err = errno ? errno : ENOMEM;
        Abandon();
        throw ExportError(WriteFailure(path, err));
    }
    rowsBuffer_.resize(size_t{1} << 20);
    fileBuffer_.resize(size_t{1} << 20);
    setvbuf(data_->optimize_tmpfile, fileBuffer_.data(), _IOFBF, fileBuffer_.size());
    setvbuf(rows, rowsBuffer_.data(), _IOFBF, rowsBuffer_.size());
    data_->optimize_tmpfile = rows;
    data_->file = rows;
    bold_ = workbook_add_format(book_);
    format_set_bold(bold_);
    plain_ = workbook_add_format(book_);
}

XlsxWriter::~XlsxWriter() {
    Abandon();
}

void XlsxWriter::Abandon() {
    // Not committed: the workbook's memory and temporary files go, and no
    // file is written. Freeing a workbook it did not close, the library
    // leaves each sheet's temporary file open (and its rows on the disk
    // until the program ends): they are closed here.
    if (!book_) return;
    const LibraryCall call;
    lxw_worksheet* sheet = nullptr;
    LXW_FOREACH_WORKSHEET(sheet, book_) {
        if (!sheet->optimize_tmpfile) continue;
        std::fclose(sheet->optimize_tmpfile);
        sheet->optimize_tmpfile = nullptr;
        sheet->file = nullptr;
    }
    lxw_workbook_free(book_);
    book_ = nullptr;
}

void XlsxWriter::Check(int error) {
    if (error == LXW_NO_ERROR) return;
    throw ExportError(
        Message{MessageCode::XlsxFailed, {lxw_strerror(static_cast<lxw_error>(error))}});
}

lxw_format* XlsxWriter::FormatFor(const std::string& numberFormat) {
    if (numberFormat.empty()) return nullptr;
    auto it = formats_.find(numberFormat);
    if (it != formats_.end()) return it->second;
    lxw_format* format = workbook_add_format(book_);
    format_set_num_format(format, numberFormat.c_str());
    formats_.emplace(numberFormat, format);
    return format;
}

void XlsxWriter::WriteString(lxw_worksheet* sheet, uint32_t row, uint16_t column,
                             std::string_view text, lxw_format* format) {
    if (Utf8Chars(text) > kXlsxMaxCellChars)
        throw ExportError(Message{MessageCode::XlsxCellTooLong, {}, {row}});
    text_.assign(text);
    Check(worksheet_write_string(sheet, row, column, text_.c_str(), format));
}

void XlsxWriter::Header(std::span<const TableColumn> columns) {
    // The dictionary sheet describes every column's variable: a column the
    // dictionary does not hold writes no workbook.
    for (const TableColumn& c : columns)
        if (c.variable < 0 || static_cast<size_t>(c.variable) >= dictionary_.variables.size())
            throw ExportError(Message{MessageCode::XlsxNoDictionary});
    const LibraryCall call;
    columns_.assign(columns.begin(), columns.end());
    for (size_t k = 0; k < columns.size(); ++k) {
        const TableColumn& c = columns[k];
        columnFormats_.push_back(
            c.kind == ValueKind::String ? nullptr : FormatFor(XlsxNumberFormat(c.format, c.kind)));
        WriteString(data_, 0, static_cast<uint16_t>(k), c.header, bold_);
    }
    worksheet_freeze_panes(data_, 1, 0);
    row_ = 1;
}

void XlsxWriter::Number(uint16_t column, double value, lxw_format* format) {
    Check(worksheet_write_number(data_, row_, column, value, format));
    numbers_.Push(value);
}

void XlsxWriter::Row(std::span<const TableCell> cells) {
    const LibraryCall call;
    bool any = false;
    for (size_t k = 0; k < cells.size(); ++k) {
        const TableCell& cell = cells[k];
        const auto column = static_cast<uint16_t>(k);
        // The library leaves out an empty text as it leaves out no value.
        any = any || cell.kind == TableCell::Kind::Number || !cell.text.empty();
        if (cell.kind == TableCell::Kind::Text) {
            WriteString(data_, row_, column, cell.text);
        } else if (cell.kind == TableCell::Kind::Number) {
            const ValueKind kind = columns_[k].kind;
            double value = cell.number;
            if (kind == ValueKind::Date || kind == ValueKind::DateTime) {
                if (!XlsxSerialDate(cell.number, value)) {
                    // Before 1900 a spreadsheet has no date: the ISO text.
                    std::string iso;
                    if (std::fmod(cell.number, kSecondsPerDay) == 0
                            ? AppendIsoDate(iso, cell.number)
                            : AppendIsoDateTime(iso, cell.number, kExactDecimals))
                        WriteString(data_, row_, column, iso);
                    else
                        Number(column, cell.number, nullptr);
                    continue;
                }
            } else if (kind == ValueKind::Time) {
                value = cell.number / kSecondsPerDay;
            }
            Number(column, value, columnFormats_[k]);
        }
    }
    // A row of empty cells is a row all the same: a blank cell in its first
    // column keeps it (at the end of the sheet too, where a reader would
    // otherwise stop at the last row with a value).
    if (!any && !cells.empty())
        Check(
            worksheet_write_blank(data_, row_, 0, columnFormats_[0] ? columnFormats_[0] : plain_));
    ++row_;
}

void XlsxWriter::WriteDictionary() {
    lxw_worksheet* sheet = workbook_add_worksheet(book_, "辞書");
    if (!sheet) Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
    const char* titles[] = {"名前", "ラベル", "型", "書式", "尺度", "値ラベル", "欠損値"};
    for (uint16_t k = 0; k < 7; ++k) WriteString(sheet, 0, k, titles[k], bold_);
    worksheet_freeze_panes(sheet, 1, 0);
    uint32_t row = 1;
    for (const TableColumn& c : columns_) {
        const DictVariable& v = dictionary_.variables[static_cast<size_t>(c.variable)];
        const std::string fields[] = {
            ToUtf8(v.longName.empty() ? v.name : v.longName, encoding_),
            v.hasLabel ? ToUtf8(v.label, encoding_) : std::string(),
            v.isString() ? "文字列(" + std::to_string(v.width) + ")" : "数値",
            FormatText(v.print),
            std::string(MeasureWord(v.measure)),
            ValueLabelsText(v, encoding_, " = ", "\n"),
            MissingValuesText(v, encoding_)};
        for (uint16_t k = 0; k < 7; ++k)
            if (!fields[k].empty()) WriteString(sheet, row, k, fields[k]);
        ++row;
    }
}

void XlsxWriter::Commit() {
    const LibraryCall call;
    WriteDictionary();
    // A sheet without cells: the library would leave its rows' stream open.
    if (data_->dim_rowmin == LXW_ROW_MAX && data_->optimize_tmpfile) {
        std::fclose(data_->optimize_tmpfile);
        data_->optimize_tmpfile = nullptr;
        data_->file = nullptr;
    }
    lxw_workbook* book = book_;
    book_ = nullptr;
    errno = 0;
    const lxw_error error = workbook_close(book);
    // A workbook that failed before its sheets were written leaves the rows'
    // stream open, its buffer about to go with this writer.
    if (std::FILE* rows = numbers_.stream()) std::fclose(rows);
    if (error != LXW_NO_ERROR) {
        if (error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE ||
            error == LXW_ERROR_ZIP_FILE_OPERATION || error == LXW_ERROR_ZIP_CLOSE)
            throw ExportError(WriteFailure(out_.path(), errno ? errno : EIO));
        Check(error);
    }
    out_.CommitWritten();
}

}  // namespace lv
