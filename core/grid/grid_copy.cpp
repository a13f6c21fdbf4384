#include "core/grid/grid_copy.h"

#include <algorithm>
#include <vector>

#include "core/grid/read_ahead.h"
#include "core/text/shown_text.h"
#include "core/text/text_match.h"

namespace lv {
namespace {

// Rows per block: 256, fewer for very wide ranges, so that progress hears
// of the copy every few ten thousand cells.
constexpr uint32_t kBlockRows = 256;
constexpr size_t kBlockCells = 65536;

// A cell's shown text as one line of the copy.
void AppendCopiedText(std::string& out, std::string_view bytes) {
    const size_t start = out.size();
    AppendShownText(out, WithoutPadding(bytes));
    for (size_t i = start; i < out.size(); ++i)
        if (out[i] == '\t' || out[i] == '\n' || out[i] == '\r') out[i] = ' ';
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.push_back(c);
        }
    }
}

// Adds one row of shown texts to both forms.
class CopyWriter {
  public:
    explicit CopyWriter(bool html) : html_(html) {
        if (html_) cells_.html = "<html><head><meta charset=\"utf-8\"></head><body><table>\n";
    }
    void Row(std::span<const std::string> texts, const char* tag) {
        for (size_t k = 0; k < texts.size(); ++k) {
            if (k > 0) cells_.text.push_back('\t');
            cells_.text += texts[k];
        }
        cells_.text.push_back('\n');
        if (!html_) return;
        cells_.html += "<tr>";
        for (const std::string& t : texts) {
            cells_.html += '<';
            cells_.html += tag;
            cells_.html += '>';
            AppendEscaped(cells_.html, t);
            cells_.html += "</";
            cells_.html += tag;
            cells_.html += '>';
        }
        cells_.html += "</tr>\n";
    }
    CopiedCells Finish() {
        if (html_) cells_.html += "</table></body></html>\n";
        return std::move(cells_);
    }

  private:
    bool html_;
    CopiedCells cells_;
};

}  // namespace

std::optional<CopiedCells> CopyCells(const GridData& grid, std::span<const int> columns,
                                     CopyRange range, Progress* progress) {
    range.endRow = std::min(range.endRow, grid.rowCount());
    CopyWriter writer(range.withHtml);
    std::vector<std::string> row(columns.size());
    if (range.withNames) {
        for (size_t k = 0; k < columns.size(); ++k) {
            row[k].clear();
            AppendCopiedText(row[k], grid.Name(columns[k]));
        }
        writer.Row(row, "th");
    }
    const uint64_t total =
        uint64_t{range.endRow > range.firstRow ? range.endRow - range.firstRow : 0} *
        columns.size();
    uint64_t done = 0;
    std::vector<uint32_t> fileRows;
    const uint32_t blockRows = static_cast<uint32_t>(
        std::clamp<size_t>(kBlockCells / std::max<size_t>(columns.size(), 1), 1, kBlockRows));
    std::vector<std::string> bytes(blockRows);
    // texts[i * columns + k]: cell k of the block's row i.
    std::vector<std::string> texts;
    ReadAheadWindow window(grid, columns, range.firstRow, range.endRow);
    for (uint32_t first = range.firstRow; first < range.endRow; first += blockRows) {
        const uint32_t count = std::min(blockRows, range.endRow - first);
        window.Cover(first, count);
        fileRows.resize(count);
        grid.order().Rows(first, fileRows);
        texts.resize(size_t{count} * columns.size());
        for (size_t k = 0; k < columns.size(); ++k) {
            const std::span<std::string> block(bytes.data(), count);
            for (std::string& b : block) b.clear();
            grid.AppendColumn(columns[k], fileRows, block);
            for (uint32_t i = 0; i < count; ++i) {
                std::string& text = texts[i * columns.size() + k];
                text.clear();
                AppendCopiedText(text, block[i]);
            }
        }
        for (uint32_t i = 0; i < count; ++i)
            writer.Row(
                std::span<const std::string>(texts.data() + i * columns.size(), columns.size()),
                "td");
        done += uint64_t{count} * columns.size();
        if (grid.lost() || !Continue(progress, done, total)) return std::nullopt;
    }
    return writer.Finish();
}

}  // namespace lv
