// The windows a long walk reads ahead in: a walk in the file's order takes
// its rows in parts, so that its progress is heard while a narrow column is
// read; a walk in the rows' shown order keeps the store's whole window.
#include "core/grid/read_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kRows = 1'000'000;

// A store of one numeric column whose window holds every row, recording
// the rows each read ahead asks for.
class RecordingStore final : public lv::CaseStore {
  public:
    explicit RecordingStore(std::vector<size_t>* reads) : reads_(reads) {}
    uint32_t RowCount() const override { return kRows; }
    void GatherNumbers(int, std::span<const uint32_t>, lv::NumberCell*) const override {}
    void GatherStrings(int, std::span<const uint32_t>, lv::StringCell*) const override {}
    uint32_t WindowRows(std::span<const int>) const override { return 4 * kRows; }
    void ReadAhead(std::span<const uint32_t> rows, std::span<const int>) const override {
        if (!rows.empty()) reads_->push_back(rows.size());
    }

  private:
    std::vector<size_t>* reads_;
};

std::vector<size_t> Reads(lv::ReadAheadWindow::Rows rows) {
    std::vector<size_t> reads;
    lv::GridLayout layout;
    layout.varCount = 1;
    layout.caseCount = static_cast<int>(kRows);
    layout.columns.resize(1);
    lv::GridData grid;
    grid.Reset(layout, std::make_unique<RecordingStore>(&reads));
    const std::vector<int> columns = {0};
    {
        lv::ReadAheadWindow window(grid, columns, 0, kRows, false, rows);
        for (uint32_t first = 0; first < kRows; first += 4096) window.Cover(first, 4096);
    }
    return reads;
}

}  // namespace

TEST(ReadAhead, AWalkInTheFilesOrderReadsInPartsAShownOrderInOne) {
    const std::vector<size_t> parts = Reads(lv::ReadAheadWindow::Rows::File);
    EXPECT_GE(parts.size(), 8u);
    EXPECT_EQ(*std::max_element(parts.begin(), parts.end()), kRows / 8);
    EXPECT_EQ(Reads(lv::ReadAheadWindow::Rows::Display), std::vector<size_t>{kRows});
}
