// Shared pieces of the builders' tests: fixture files on disk, a fresh
// shared state and a recording dialog seam per test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/rendering/decimal_separator.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "tests/core/state/support_dialogs.h"
#include "tests/support/savfixture.h"

namespace testsupport {

inline fixture::Variable Num(const std::string& name, fixture::Format print = {5, 8, 2}) {
    fixture::Variable v;
    v.name = name;
    v.print = print;
    return v;
}

inline fixture::Variable Str(const std::string& name, int width) {
    fixture::Variable v;
    v.name = name;
    v.width = width;
    v.print = {1, width, 0};
    return v;
}

// A file with the given variables and one case of sysmis / blanks.
inline fixture::File FileWith(std::vector<fixture::Variable> variables) {
    fixture::File f;
    f.variables = std::move(variables);
    fixture::Case c;
    for (const auto& v : f.variables) {
        if (v.width == 0) {
            c.push_back(fixture::kSysmis);
        } else {
            c.push_back(std::string());
        }
    }
    f.cases = {c};
    return f;
}

class BuilderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        spssdio1::ResetSharedState();
        lv::SetDecimalSeparator('.');
        lv::SetCurrentFileEncoding("UTF-8");
        dir_ = fixture::TempDir();
    }
    // Writes f and makes it the chosen file.
    std::string Choose(const fixture::File& f, const std::string& name = "test.sav") {
        spssdio1::DataFileName = fixture::WriteFile(f, dir_ + "/" + name);
        return spssdio1::DataFileName;
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    ScopedRecordingDialogs dialogs;

  private:
    std::string dir_;
};

}  // namespace testsupport
