// The second thread of a conversion: rows arrive whole and in order across
// blocks, a failure in the thread reaches the caller as thrown, and an
// abandoned conversion commits nothing.
#include "core/export/threaded_rows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/export/output_file.h"

namespace {

// Keeps every row as text ("n:1.5|t:abc|-|"), fails at row failAt.
struct Recorder final : lv::RowSink {
    std::vector<std::string>* rows;
    std::atomic<bool>* committed;
    size_t failAt = SIZE_MAX;
    bool slow = false;

    void Row(std::span<const lv::GridCell> cells) override {
        if (rows->size() == failAt)
            throw lv::ExportError(lv::Message(lv::MessageCode::XlsxCellTooLong, {},
                                              {static_cast<long long>(failAt)}));
        if (slow) std::this_thread::sleep_for(std::chrono::microseconds(20));
        std::string line;
        for (const lv::GridCell& c : cells) {
            if (c.kind == lv::GridCell::Kind::Number) line += "n:" + std::to_string(c.number);
            if (c.kind == lv::GridCell::Kind::Text) line += "t:" + std::string(c.text);
            line += c.kind == lv::GridCell::Kind::Unread ? "-|" : "|";
        }
        rows->push_back(line);
    }
    void Commit() override { *committed = true; }
};

// Row i; its text's trailing blanks do not travel.
std::string Expected(size_t i, std::span<lv::GridCell> cells, std::string& text) {
    text = "text " + std::to_string(i) + std::string(i % 97 == 0 ? 70000 : i % 5, 'x');
    cells[0] = {lv::GridCell::Kind::Number, double(i), {}};
    cells[1] = {lv::GridCell::Kind::Text, 0, text};
    cells[2] = {};
    const std::string expected = "n:" + std::to_string(double(i)) + "|t:" + text + "|-|";
    text += "   ";
    cells[1].text = text;
    return expected;
}

}  // namespace

TEST(ThreadedRowsTest, RowsArriveWholeAndInOrderThenCommit) {
    std::vector<std::string> rows;
    std::atomic<bool> committed = false;
    auto recorder = std::make_unique<Recorder>();
    recorder->rows = &rows;
    recorder->committed = &committed;
    lv::ThreadedRows writer(std::move(recorder), 3);
    std::vector<std::string> expected;
    lv::GridCell cells[3];
    std::string text;
    for (size_t i = 0; i < 40000; ++i) {
        expected.push_back(Expected(i, cells, text));
        writer.Row(cells);
        text.assign(text.size(), '?');  // the caller's texts change after Row
    }
    EXPECT_FALSE(committed);
    writer.Commit();
    EXPECT_TRUE(committed);
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(rows[i], expected[i]) << i;
}

TEST(ThreadedRowsTest, FailureInTheThreadIsThrownAndNothingCommitted) {
    for (const size_t failAt : {size_t(5), size_t(30000)}) {
        std::vector<std::string> rows;
        std::atomic<bool> committed = false;
        auto recorder = std::make_unique<Recorder>();
        recorder->rows = &rows;
        recorder->committed = &committed;
        recorder->failAt = failAt;
        lv::ThreadedRows writer(std::move(recorder), 3);
        lv::GridCell cells[3];
        std::string text;
        try {
            for (size_t i = 0; i < 100000; ++i) {
                Expected(i, cells, text);
                writer.Row(cells);
            }
            writer.Commit();
            ADD_FAILURE() << "a failed write reported as written";
        } catch (const lv::ExportError& e) {
            EXPECT_EQ(e.message.Number(0), static_cast<long long>(failAt));
        }
        EXPECT_FALSE(committed);
        EXPECT_EQ(rows.size(), failAt);
    }
}

TEST(ThreadedRowsTest, AbandonedWithBlocksInFlightStopsWithoutCommit) {
    std::vector<std::string> rows;
    std::atomic<bool> committed = false;
    auto recorder = std::make_unique<Recorder>();
    recorder->rows = &rows;
    recorder->committed = &committed;
    recorder->slow = true;
    {
        lv::ThreadedRows writer(std::move(recorder), 3);
        lv::GridCell cells[3];
        std::string text;
        for (size_t i = 0; i < 30000; ++i) {
            Expected(i % 96 + 1, cells, text);
            writer.Row(cells);
        }
    }
    EXPECT_FALSE(committed);
    EXPECT_LT(rows.size(), 30000u);
}
