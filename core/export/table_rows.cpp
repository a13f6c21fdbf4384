#include "core/export/table_rows.h"

#include "core/text/shown_text.h"
#include "core/text/trim.h"
#include "encoding/charcut.h"
#include "encoding/codec.h"

namespace lv {

RowBuilder::RowBuilder(std::span<const TableColumn> columns, const TableOptions& options,
                       std::string encoding)
    : columns_(columns),
      options_(options),
      encoding_(std::move(encoding)),
      plainEncoding_(LayoutOf(encoding_) == CharLayout::Utf8),
      cells_(columns.size()),
      textStart_(columns.size()),
      textSize_(columns.size()) {}

void RowBuilder::SetText(size_t k, std::string_view bytes) {
    std::string_view utf8 = bytes;
    if (!IsAscii(bytes)) {
        decoded_ = plainEncoding_ ? ToUtf8(bytes, "UTF-8") : ToUtf8(bytes, encoding_);
        utf8 = decoded_;
    }
    textStart_[k] = text_.size();
    if (utf8.find('\0') == std::string_view::npos) {
        text_.append(utf8);
    } else {
        for (const char c : utf8)
            if (c != '\0') text_.push_back(c);
    }
    textSize_[k] = text_.size() - textStart_[k];
    cells_[k].kind = TableCell::Kind::Text;
}

void RowBuilder::Set(size_t k, const GridCell& value) {
    const VariableFacts* facts = columns_[k].facts;
    TableCell& cell = cells_[k];
    switch (value.kind) {
        case GridCell::Kind::Unread:
        case GridCell::Kind::Sysmis:
            return;
        case GridCell::Kind::Number: {
            if (facts && options_.missingEmpty && facts->missing().Holds(value.number)) return;
            if (options_.labels && facts) {
                if (const std::string* label = facts->LabelOf(value.number)) {
                    SetText(k, *label);
                    return;
                }
            }
            cell.kind = TableCell::Kind::Number;
            cell.number = value.number;
            return;
        }
        case GridCell::Kind::Text: {
            const std::string_view trimmed = WithoutTrailingBlanks(value.text);
            if (facts && options_.missingEmpty && facts->missing().Holds(trimmed)) return;
            if (options_.labels && facts) {
                if (const std::string* label = facts->LabelOf(trimmed)) {
                    SetText(k, *label);
                    return;
                }
            }
            SetText(k, trimmed);
            return;
        }
    }
}

std::span<const TableCell> RowBuilder::Build(std::span<const GridCell> values) {
    text_.clear();
    for (size_t k = 0; k < cells_.size(); ++k) {
        cells_[k] = TableCell{};
        if (k < values.size()) Set(k, values[k]);
    }
    // The texts no longer move: the cells can point into them.
    for (size_t k = 0; k < cells_.size(); ++k)
        if (cells_[k].kind == TableCell::Kind::Text)
            cells_[k].text = std::string_view(text_).substr(textStart_[k], textSize_[k]);
    return cells_;
}

TableRows::TableRows(std::span<const TableColumn> columns, const TableOptions& options,
                     std::string encoding, std::unique_ptr<TableWriter> writer)
    : builder_(columns, options, std::move(encoding)), writer_(std::move(writer)) {}

void TableRows::Row(std::span<const GridCell> values) {
    writer_->Row(builder_.Build(values));
}

void TableRows::Commit() {
    writer_->Commit();
}

}  // namespace lv
