// A grid loaded from a fixture file as the grid window loads it: the shared
// state of the summary and the variable list, every case in a GridData,
// and the variables' facts read beside it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/dictionary/variable_facts.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_fill.h"
#include "core/grid/grid_load.h"
#include "core/rendering/decimal_separator.h"
#include "core/text/display_encoding.h"
#include "tests/core/grid/grid_support.h"

namespace gridtest {

class GridFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fixture::TempDir();
        lv::SetDecimalSeparator('.');
    }
    void TearDown() override {
        spssdio1::ResetSharedState();
        lv::SetCurrentFileEncoding("UTF-8");
    }
    // Loads f (written to a file of its own) into a grid kept by the test.
    lv::GridData& Load(const fixture::File& f) {
        const std::string path =
            fixture::WriteFile(f, dir_ + "/g" + std::to_string(grids_.size()) + ".sav");
        PrepareState(path);
        grids_.push_back(std::make_unique<lv::GridData>());
        lv::GridFill fill(*grids_.back());
        lv::LoadGrid(fill);
        grids_.back()->SetFacts(lv::ReadVariableFacts(path, spssdio1::VarCount));
        return *grids_.back();
    }

    ScriptedDialogs dialogs;

  private:
    std::string dir_;
    std::vector<std::unique_ptr<lv::GridData>> grids_;
};

}  // namespace gridtest
