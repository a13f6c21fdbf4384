// An Excel workbook (.xlsx) written with libxlsxwriter in its constant-memory
// mode (each row goes to a temporary file as it is finished, so memory does
// not grow with the rows). The first sheet holds the data under a frozen,
// bold header row: numbers as numbers in a number format following the
// print format (F8.2 -> 0.00, COMMA9.2 -> #,##0.00), dates, date-times and
// times as spreadsheet serial dates in a date format, texts always as
// strings (never formulas), empty cells left out (a row of empty cells
// keeps a blank cell, so that every case is a row). Every number is the
// shortest text that reads back as the same double (xlsx_exact_numbers.h),
// whatever the program's locale. The second sheet, 辞書, describes the
// variables written, from the dictionary the caller holds. The library's
// own messages on stderr are held back (library_messages.h): a failure
// throws ExportError.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "core/dictionary/file_dictionary.h"
#include "core/export/output_file.h"
#include "core/export/table_columns.h"
#include "core/export/xlsx_exact_numbers.h"

typedef struct lxw_workbook lxw_workbook;
typedef struct lxw_worksheet lxw_worksheet;
typedef struct lxw_format lxw_format;

namespace lv {

inline constexpr uint64_t kXlsxMaxRows = 1048576;
inline constexpr size_t kXlsxMaxColumns = 16384;
inline constexpr size_t kXlsxMaxCellChars = 32767;
// Why a workbook is not written when its dictionary sheet cannot describe
// its columns.
// The spreadsheet number format for a print format ("0.00", "#,##0",
// "yyyy-mm-dd hh:mm:ss"); empty for General.
std::string XlsxNumberFormat(const PrintFormat& format, ValueKind kind);
// Seconds from 14 October 1582 as a spreadsheet serial date (days from
// 30 December 1899); false for days before 1 March 1900, which spreadsheets
// do not show as dates.
bool XlsxSerialDate(double seconds, double& serial);

class XlsxWriter final : public TableWriter {
  public:
    // dictionary (which must outlive the writer) and encoding: what the
    // dictionary sheet says of the columns' variables.
    XlsxWriter(const std::string& path, const FileDictionary& dictionary, std::string encoding);
    ~XlsxWriter() override;

    void Header(std::span<const TableColumn> columns) override;
    void Row(std::span<const TableCell> cells) override;
    void Commit() override;

  private:
    lxw_format* FormatFor(const std::string& numberFormat);
    void WriteString(lxw_worksheet* sheet, uint32_t row, uint16_t column, std::string_view text,
                     lxw_format* format = nullptr);
    void Check(int error);
    void Number(uint16_t column, double value, lxw_format* format);
    void WriteDictionary();
    void Abandon();

    OutputFile out_;
    const FileDictionary& dictionary_;
    std::string encoding_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* data_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* plain_ = nullptr;
    std::vector<TableColumn> columns_;
    std::vector<lxw_format*> columnFormats_;
    std::map<std::string, lxw_format*> formats_;
    uint32_t row_ = 0;
    std::string text_;
    // Declared before the workbook's use of it ends (the destructor's body).
    ExactNumberStream numbers_;
    std::vector<char> rowsBuffer_, fileBuffer_;  // stdio's buffers of the data sheet's rows
};

}  // namespace lv
