#include "core/grid/grid_data.h"

#include <algorithm>
#include <array>
#include <bit>

#include "core/rendering/specifier_format.h"
#include "core/text/display_encoding.h"
#include "core/text/trim.h"

namespace lv {
namespace {

constexpr size_t kGatherRows = 256;
// Columns given a memo at most (a few kilobytes each): files of many
// thousand variables render the rest directly.
constexpr size_t kMaxMemos = 4096;

}  // namespace

// The texts of a numeric column's values seen recently, by the value's
// bits. Survey columns repeat a few codes over and over and a cell's text
// depends on its value alone, so most cells are copied instead of rendered.
// A column whose values rarely repeat stops asking after a while.
struct GridData::ColumnMemo {
    static constexpr int kIndexBits = 6;
    static constexpr uint32_t kTrial = 1024;
    struct Entry {
        uint64_t bits = 0;
        bool filled = false;
        std::string text;
    };
    std::array<Entry, size_t{1} << kIndexBits> entries;
    uint32_t lookups = 0;
    uint32_t misses = 0;
    bool off = false;

    // The entry for value: filled is false when its text must be rendered.
    Entry& Find(uint64_t bits) {
        Entry& e = entries[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kIndexBits)];
        if (++lookups <= kTrial && (!e.filled || e.bits != bits)) {
            ++misses;
            if (lookups == kTrial && misses > kTrial / 2) off = true;
        }
        return e;
    }
};

GridData::GridData() = default;
GridData::~GridData() = default;

void GridData::Reset(const GridLayout& layout, std::unique_ptr<CaseStore> store) {
    layout_ = layout;
    fileColumns_ = -1;
    computed_.reset();
    store_ = std::move(store);
    loaded_ = true;
    namesInDataRow_ = layout.caseCount <= 0;
    order_.Reset(namesInDataRow_ ? 1 : static_cast<uint32_t>(layout.caseCount));
    showLabels_ = false;
    showFormatted_ = false;
    facts_.clear();
    dictionary_.reset();
    formats_.clear();
    edits_.clear();
    history_.clear();
    editsPerColumn_.assign(static_cast<size_t>(std::max(layout.varCount, 0)), 0);
    ClearMemos();
}

bool GridData::SetComputedColumns(std::vector<GridColumnLayout> columns,
                                  std::vector<VariableFacts> facts,
                                  std::shared_ptr<const FileDictionary> dictionary,
                                  std::shared_ptr<const DerivedColumns> derived) {
    const int fileColumns = fileColumnCount();
    if (!loaded_ || namesInDataRow_ || facts_.size() < size_t(fileColumns) ||
        columns.size() != facts.size() ||
        !store_->SetDerived(columns.empty() ? nullptr : derived, fileColumns))
        return false;
    fileColumns_ = columns.empty() ? -1 : fileColumns;
    computed_ = columns.empty() ? nullptr : std::move(derived);
    layout_.columns.resize(size_t(fileColumns));
    for (GridColumnLayout& c : columns) layout_.columns.push_back(std::move(c));
    layout_.varCount = static_cast<int>(layout_.columns.size());
    editsPerColumn_.resize(layout_.columns.size(), 0);
    facts_.resize(size_t(fileColumns));
    for (VariableFacts& f : facts) facts_.push_back(std::move(f));
    SetFacts(std::move(facts_), std::move(dictionary));
    return true;
}

void GridData::SetRowCount(uint32_t rows) {
    order_.Reset(rows);
}

void GridData::SetStore(std::unique_ptr<CaseStore> store) {
    store_ = std::move(store);
}

uint32_t GridData::WindowRows(std::span<const int> columns) const {
    return loaded_ && !namesInDataRow_ ? store_->WindowRows(columns) : 0;
}

void GridData::ReadAhead(std::span<const uint32_t> fileRows, std::span<const int> columns) const {
    if (loaded_) store_->ReadAhead(fileRows, columns);
}

void GridData::SetFacts(std::vector<VariableFacts> facts,
                        std::shared_ptr<const FileDictionary> dictionary) {
    facts_ = std::move(facts);
    dictionary_ = std::move(dictionary);
    formats_.clear();
    const size_t columns = std::min(facts_.size(), layout_.columns.size());
    formats_.reserve(columns);
    for (size_t i = 0; i < columns; ++i) {
        const VariableFacts& f = facts_[i];
        formats_.emplace_back(f.format, layout_.columns[i].stringWidth);
    }
    ClearMemos();
}

void GridData::SetShowFormatted(bool on) {
    if (on == showFormatted_) return;
    showFormatted_ = on;
    ClearMemos();
}

const FormatRender* GridData::FormatOf(int column) const {
    return column >= 0 && static_cast<size_t>(column) < formats_.size() ? &formats_[column]
                                                                        : nullptr;
}

void GridData::AppendFormattedNumber(std::string& out, int column, const NumberCell& cell) const {
    char text[kMaxNumberText];
    const FormatRender& format = formats_[column];
    const int length = cell.state == CellState::Sysmis ? format.RenderSysmis(text)
                                                       : format.RenderNumber(cell.value, text);
    layout_.columns[column].render.AppendAligned(
        out, Trim(std::string_view(text, static_cast<size_t>(length))));
}

void GridData::AppendFormattedString(std::string& out, int column, const StringCell& cell) const {
    // The texts are decoded as the display encoding says: a value cut to its
    // format's width is cut between its characters.
    const std::string& encoding = DisplayEncoding();
    if (encoding != charsEncoding_) {
        charsEncoding_ = encoding;
        chars_ = LayoutOf(encoding);
    }
    formats_[column].AppendString(out, cell.stored, cell.blanks, chars_);
}

const VariableFacts* GridData::FactsOf(int column) const {
    return column >= 0 && static_cast<size_t>(column) < facts_.size() ? &facts_[column] : nullptr;
}

void GridData::SetShowLabels(bool on) {
    if (on == showLabels_) return;
    showLabels_ = on;
    ClearMemos();
}

void GridData::ClearMemos() const {
    memos_.clear();
    memoCount_ = 0;
}

const std::string& GridData::Name(int column) const {
    static const std::string none;
    return column >= 0 && column < layout_.varCount ? layout_.columns[column].name : none;
}

void GridData::SetEdit(uint32_t displayRow, int column, std::string bytes) {
    if (!loaded_ || displayRow >= rowCount() || column < 0 || column >= columnCount() ||
        IsComputed(column))
        return;
    const uint64_t key = Key(FileRow(displayRow), column);
    auto [it, added] = edits_.try_emplace(key);
    history_.push_back({key, added ? std::nullopt : std::optional<std::string>(it->second)});
    it->second = std::move(bytes);
    if (added) ++editsPerColumn_[column];
}

std::optional<GridData::CellPlace> GridData::UndoEdit() {
    if (history_.empty()) return std::nullopt;
    PastEdit last = std::move(history_.back());
    history_.pop_back();
    const auto fileRow = static_cast<uint32_t>(last.key >> 32);
    const auto column = static_cast<int>(static_cast<uint32_t>(last.key));
    if (last.before) {
        edits_[last.key] = std::move(*last.before);
    } else if (edits_.erase(last.key) != 0) {
        --editsPerColumn_[column];
    }
    return CellPlace{order_.DisplayRowOf(fileRow), column};
}

bool GridData::IsEdited(uint32_t displayRow, int column) const {
    if (!loaded_ || displayRow >= rowCount() || column < 0 || column >= columnCount()) return false;
    return EditAt(FileRow(displayRow), column) != nullptr;
}

void GridData::UndoAllEdits() {
    edits_.clear();
    history_.clear();
    std::fill(editsPerColumn_.begin(), editsPerColumn_.end(), 0);
}

const std::string* GridData::EditAt(uint32_t fileRow, int column) const {
    if (edits_.empty() || editsAside_ || editsPerColumn_[column] == 0) return nullptr;
    const auto it = edits_.find(Key(fileRow, column));
    return it == edits_.end() ? nullptr : &it->second;
}

void GridData::AppendCell(std::string& out, uint32_t displayRow, int column) const {
    if (!loaded_ || displayRow >= rowCount() || column < 0 || column >= columnCount()) return;
    const uint32_t fileRow = FileRow(displayRow);
    AppendColumn(column, std::span<const uint32_t>(&fileRow, 1), std::span<std::string>(&out, 1));
}

void GridData::AppendColumn(int column, std::span<const uint32_t> fileRows,
                            std::span<std::string> lines) const {
    if (!loaded_ || column < 0 || column >= columnCount()) return;
    if (namesInDataRow_) {
        for (size_t i = 0; i < fileRows.size(); ++i) {
            const std::string* edit = EditAt(fileRows[i], column);
            lines[i] += edit ? *edit : layout_.columns[column].name;
        }
        return;
    }
    for (size_t first = 0; first < fileRows.size(); first += kGatherRows) {
        const size_t n = std::min(kGatherRows, fileRows.size() - first);
        if (layout_.columns[column].stringWidth != 0)
            AppendStrings(column, fileRows.subspan(first, n), lines.subspan(first, n));
        else
            AppendNumbers(column, fileRows.subspan(first, n), lines.subspan(first, n));
    }
}

void GridData::AppendNumbers(int column, std::span<const uint32_t> fileRows,
                             std::span<std::string> lines) const {
    numbers_.resize(kGatherRows);
    store_->GatherNumbers(column, fileRows, numbers_.data());
    const ColumnRender& render = layout_.columns[column].render;
    const VariableFacts* facts = showLabels_ ? FactsOf(column) : nullptr;
    if (facts && !facts->hasValueLabels()) facts = nullptr;
    if (memos_.size() != static_cast<size_t>(columnCount())) memos_.resize(columnCount());
    std::unique_ptr<ColumnMemo>& memo = memos_[column];
    if (!memo && memoCount_ < kMaxMemos) {
        memo = std::make_unique<ColumnMemo>();
        ++memoCount_;
    }
    const bool formatted = showFormatted_ && FormatOf(column) != nullptr;
    const auto appendValue = [&](std::string& out, double v) {
        const std::string* label = facts ? facts->LabelOf(v) : nullptr;
        if (label)
            out += *label;
        else if (formatted)
            AppendFormattedNumber(out, column, NumberCell{CellState::Value, v});
        else
            render.AppendValue(out, v);
    };
    for (size_t i = 0; i < fileRows.size(); ++i) {
        if (const std::string* edit = EditAt(fileRows[i], column)) {
            lines[i] += *edit;
            continue;
        }
        const NumberCell& cell = numbers_[i];
        if (cell.state == CellState::Sysmis) {
            if (formatted)
                AppendFormattedNumber(lines[i], column, cell);
            else
                render.AppendSysmis(lines[i]);
        } else if (cell.state == CellState::Value) {
            if (!memo || memo->off) {
                appendValue(lines[i], cell.value);
                continue;
            }
            const uint64_t bits = std::bit_cast<uint64_t>(cell.value);
            ColumnMemo::Entry& e = memo->Find(bits);
            if (!e.filled || e.bits != bits) {
                e.text.clear();
                appendValue(e.text, cell.value);
                e.bits = bits;
                e.filled = true;
            }
            lines[i] += e.text;
        }
    }
}

void GridData::AppendStrings(int column, std::span<const uint32_t> fileRows,
                             std::span<std::string> lines) const {
    strings_.resize(kGatherRows);
    store_->GatherStrings(column, fileRows, strings_.data());
    const ColumnRender& render = layout_.columns[column].render;
    const VariableFacts* facts = showLabels_ ? FactsOf(column) : nullptr;
    if (facts && !facts->hasValueLabels()) facts = nullptr;
    const bool formatted = showFormatted_ && FormatOf(column) != nullptr;
    for (size_t i = 0; i < fileRows.size(); ++i) {
        if (const std::string* edit = EditAt(fileRows[i], column)) {
            lines[i] += *edit;
            continue;
        }
        const StringCell& cell = strings_[i];
        if (cell.state != CellState::Value) continue;
        const std::string* label =
            facts ? facts->LabelOf(WithoutTrailingBlanks(cell.stored)) : nullptr;
        if (label)
            lines[i] += *label;
        else if (formatted)
            AppendFormattedString(lines[i], column, cell);
        else
            render.AppendPaddedText(lines[i], cell.stored, cell.blanks);
    }
}

void GridData::AppendRow(std::string& out, uint32_t displayRow, std::span<const int> columns,
                         RowJoin join) const {
    for (size_t k = 0; k < columns.size(); ++k) {
        if (!join.afterEvery && k > 0) out.push_back(join.separator);
        AppendCell(out, displayRow, columns[k]);
        if (join.afterEvery) out.push_back(join.separator);
    }
}

void GridData::AppendRows(std::span<std::string> lines, uint32_t firstDisplayRow,
                          std::span<const int> columns, RowJoin join) const {
    const uint32_t shown =
        firstDisplayRow < rowCount()
            ? std::min<uint32_t>(static_cast<uint32_t>(lines.size()), rowCount() - firstDisplayRow)
            : 0;
    blockRows_.resize(shown);
    order_.Rows(firstDisplayRow, blockRows_);
    for (size_t k = 0; k < columns.size(); ++k) {
        if (!join.afterEvery && k > 0)
            for (std::string& line : lines) line.push_back(join.separator);
        AppendColumn(columns[k], blockRows_, lines.first(shown));
        if (join.afterEvery)
            for (std::string& line : lines) line.push_back(join.separator);
    }
}

void GridData::AppendValue(std::string& out, uint32_t displayRow, int column) const {
    if (!loaded_ || namesInDataRow_ || displayRow >= rowCount() || column < 0 ||
        column >= columnCount())
        return;
    const uint32_t fileRow = FileRow(displayRow);
    const ColumnRender& render = layout_.columns[column].render;
    if (layout_.columns[column].stringWidth != 0) {
        StringCell cell;
        store_->GatherStrings(column, std::span<const uint32_t>(&fileRow, 1), &cell);
        if (cell.state == CellState::Value) render.AppendPaddedText(out, cell.stored, cell.blanks);
        return;
    }
    NumberCell cell;
    store_->GatherNumbers(column, std::span<const uint32_t>(&fileRow, 1), &cell);
    if (cell.state == CellState::Value)
        render.AppendValue(out, cell.value);
    else if (cell.state == CellState::Sysmis)
        render.AppendSysmis(out);
}

void GridData::AppendFormattedValue(std::string& out, uint32_t displayRow, int column) const {
    if (!loaded_ || namesInDataRow_ || displayRow >= rowCount() || FormatOf(column) == nullptr)
        return;
    const uint32_t fileRow = FileRow(displayRow);
    std::string text;
    if (layout_.columns[column].stringWidth != 0) {
        StringCell cell;
        store_->GatherStrings(column, std::span<const uint32_t>(&fileRow, 1), &cell);
        if (cell.state == CellState::Value) AppendFormattedString(text, column, cell);
    } else {
        NumberCell cell;
        store_->GatherNumbers(column, std::span<const uint32_t>(&fileRow, 1), &cell);
        if (cell.state == CellState::Value || cell.state == CellState::Sysmis)
            AppendFormattedNumber(text, column, cell);
    }
    out += Trim(text);
}

CellFacts GridData::Describe(uint32_t displayRow, int column) const {
    CellFacts facts;
    if (!loaded_ || displayRow >= rowCount() || column < 0 || column >= columnCount()) return facts;
    const uint32_t fileRow = FileRow(displayRow);
    facts.edited = EditAt(fileRow, column) != nullptr;
    if (namesInDataRow_) return facts;
    const VariableFacts* variable = FactsOf(column);
    if (layout_.columns[column].stringWidth != 0) {
        StringCell cell;
        store_->GatherStrings(column, std::span<const uint32_t>(&fileRow, 1), &cell);
        facts.state = cell.state;
        if (cell.state == CellState::Value && variable) {
            const std::string_view value = WithoutTrailingBlanks(cell.stored);
            facts.userMissing = variable->missing().Holds(value);
            facts.label = variable->LabelOf(value);
        }
        return facts;
    }
    NumberCell cell;
    store_->GatherNumbers(column, std::span<const uint32_t>(&fileRow, 1), &cell);
    facts.state = cell.state;
    if (cell.state == CellState::Value && variable) {
        facts.userMissing = variable->missing().Holds(cell.value);
        facts.label = variable->LabelOf(cell.value);
    }
    return facts;
}

}  // namespace lv
