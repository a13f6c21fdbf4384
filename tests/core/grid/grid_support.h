// Shared helpers of the grid and export tests: a scripted dialog seam, a
// fixture file's shared state prepared as the summary and the variable list
// leave it, and short ways to describe variables.
#pragma once

#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/grid/case_store.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_load.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/text/display_line.h"
#include "core/windows/summary.h"
#include "core/windows/variable_list.h"
#include "savio/spssfio.h"
#include "tests/support/savfixture.h"

namespace gridtest {

class ScriptedDialogs : public lv::Dialogs {
  public:
    ScriptedDialogs() : previous_(lv::SetDialogs(this)) {}
    ~ScriptedDialogs() override { lv::SetDialogs(previous_); }

    std::deque<std::optional<std::string>> saveAnswers;  // empty: cancelled
    std::deque<lv::ConfirmAnswer> confirmAnswers;        // empty: Cancel
    std::vector<std::string> saveRequests;               // initial names
    std::vector<std::pair<std::string, std::string>> confirms;
    std::vector<std::string> messages;
    std::vector<std::pair<std::string, std::string>> errors;
    int beeps = 0;

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void ShowError(std::string_view caption, std::string_view text) override {
        errors.emplace_back(caption, text);
    }
    std::optional<std::string> OpenFile(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFile(std::string_view initialName) override {
        saveRequests.emplace_back(initialName);
        if (saveAnswers.empty()) return std::nullopt;
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    lv::ConfirmAnswer Confirm(std::string_view caption, std::string_view text) override {
        confirms.emplace_back(caption, text);
        if (confirmAnswers.empty()) return lv::ConfirmAnswer::Cancel;
        auto answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    void Beep() override { ++beeps; }

  private:
    lv::Dialogs* previous_;
};

// The shared state after the main window's summary and the variable list
// built for path (their lines are dropped; their messages are recorded).
inline void PrepareState(const std::string& path) {
    spssdio1::ResetSharedState();
    spssdio1::DataFileName = path;
    lv::LineCollector lines;
    lv::ShowFileSummaryLines(lines);
    lv::BuildVariableList(lines);
}

inline fixture::Variable Numeric(std::string name, int width = 8, int decimals = 2) {
    fixture::Variable v;
    v.name = std::move(name);
    v.print = {5, width, decimals};
    return v;
}

inline fixture::Variable String(std::string name, int width) {
    fixture::Variable v;
    v.name = std::move(name);
    v.width = width;
    v.print = {1, width, 0};
    return v;
}

inline fixture::Variable Date(std::string name) {
    fixture::Variable v;
    v.name = std::move(name);
    v.print = {20, 11, 0};
    return v;
}

// Seconds since 14 Oct 1582 of a day of the Gregorian calendar.
inline double SpssDate(int y, int m, int d) {
    auto days = [](int y, int m, int d) {  // days from civil (1970-01-01 = 0)
        y -= m <= 2;
        const int era = (y >= 0 ? y : y - 399) / 400;
        const int yoe = y - era * 400;
        const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + doe - 719468;
    };
    return (days(y, m, d) - days(1582, 10, 14)) * 86400.0;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The grid load's consumer that keeps every value it reads in memory: a
// full decode, to hold the grid that reads its values back against.
class MemoryFill final : public lv::GridLoadConsumer {
  public:
    explicit MemoryFill(lv::GridData& grid) : grid_(grid) {}
    void Layout(const lv::GridLayout& layout) override {
        auto store = std::make_unique<lv::MemoryCaseStore>(layout);
        store_ = store.get();
        grid_.Reset(layout, std::move(store));
    }
    void EditingOn() override {}
    void Case(int, std::span<const lv::GridCell> cells) override { store_->Append(cells); }

  private:
    lv::GridData& grid_;
    lv::MemoryCaseStore* store_ = nullptr;
};

inline fixture::File Basic() {
    fixture::File f;
    f.compression = fixture::Compression::None;
    return f;
}

// CODE (F3.0, "The code", long name TheCode): labels for 1 and 2, 9
// user-missing; NAME (A4). Four cases, 1 and "ab" twice over.
inline fixture::File Coded() {
    fixture::File f = Basic();
    auto code = Numeric("CODE", 3, 0);
    code.missing.discrete = {9};
    code.label = "The code";
    code.longName = "TheCode";
    f.variables = {code, String("NAME", 4)};
    f.valueLabels = {{{0}, {{1, "one"}, {2, "two"}}, {}}};
    f.cases = {{1.0, std::string("ab")},
               {9.0, std::string("zz")},
               {2.0, std::string("cd")},
               {1.0, std::string("abc")}};
    return f;
}

}  // namespace gridtest
