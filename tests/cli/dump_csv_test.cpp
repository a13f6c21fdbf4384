// Every CSV the tool writes (the codebook, the describe table, the
// converter's table) writes its fields one way: a text that looks like a
// formula behind an apostrophe, a number as the shortest text that reads
// back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dump_support.h"
#include "tests/support/savfixture.h"

namespace {

TEST(DumpCsv, EveryCsvKeepsFormulasOutAndNumbersShort) {
    const std::vector<std::string> formulas = {"=1+1", "@SUM(A1)", "-2+3", "+cmd"};
    fixture::File f;
    for (size_t i = 0; i < formulas.size(); ++i) {
        fixture::Variable v = fixture::Numeric("V" + std::to_string(i + 1));
        v.label = formulas[i];
        f.variables.push_back(v);
        f.valueLabels.push_back({{static_cast<int>(i)}, {{51.1, formulas[i]}}, {}});
    }
    // A label that is a plain number is no formula: a spreadsheet reads it as that number.
    fixture::Variable plain = fixture::Numeric("PLAIN");
    plain.label = "-7.5";
    f.variables.push_back(plain);
    f.cases = {{51.1, 51.1, 51.1, 51.1, 1.0}};
    const std::string dir = fixture::TempDir();
    const std::string path = fixture::WriteFile(f, dir + "/formulas.sav");
    const std::string converted = dir + "/table.csv";
    ASSERT_EQ(RunDump({"convert", "--header", "labels", "--labels", path, converted}).status, 0);
    const std::vector<std::pair<std::string, std::string>> outputs = {
        {"dict", RunDump({"dict", "--csv", path}).out},
        {"describe", RunDump({"describe", "--csv", path}).out},
        {"convert", ReadWholeFile(converted)}};
    for (const auto& [what, csv] : outputs) {
        ASSERT_FALSE(csv.empty()) << what;
        for (const std::string& formula : formulas) {
            EXPECT_NE(csv.find("\"'" + formula + "\""), std::string::npos) << what << csv;
            EXPECT_EQ(csv.find("," + formula), std::string::npos) << what << csv;
        }
    }
    EXPECT_NE(outputs[0].second.find(",-7.5,"), std::string::npos) << outputs[0].second;
    const std::string& described = outputs[1].second;
    EXPECT_NE(described.find(",51.1,51.1,51.1,"), std::string::npos) << described;
    EXPECT_EQ(described.find("51.100"), std::string::npos) << described;
}

}  // namespace
