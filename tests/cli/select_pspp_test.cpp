// lorivane-dump select against PSPP's SELECT IF on the corpus: for every
// operator and function, both kinds of missing values, strings and dates,
// the case numbers PSPP keeps (numbered with $CASENUM before selecting) are
// the ones select prints. Where PSPP has no way to write a date as a
// variable's format shows it, its side uses DATE.DMY.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/cli/dump_support.h"
#include "tests/support/corpus.h"

namespace {

struct Check {
    std::string ours;
    std::string pspp;  // empty: the same text
};

struct FileChecks {
    const char* file;
    std::vector<Check> checks;
};

const std::vector<FileChecks>& AllChecks() {
    static const std::vector<FileChecks> all = {
        {"spss11_employee_data.sav",
         {
             {"salary > 50000", ""},
             {"salary > 50000 AND gender = 'f'", ""},
             {"gender = \"m\" & educ GE 16", ""},
             {"gender <> 'm' | educ ~= 12", ""},
             {"gender = 'f   '", ""},
             {"gender < 'g' AND NOT gender >= 'm'", ""},
             {"salbegin LT 10000 OR salbegin LE 9000 OR salbegin GT 70000 OR salbegin EQ 79980",
              ""},
             {"salary NE salary OR jobtime < 64", ""},
             {"jobcat = 0 OR minority = 9", ""},
             {"NOT (minority = 1)", ""},
             {"minority = 1 OR jobcat = 3", ""},
             {"minority = 0 AND jobcat <> 1", ""},
             {"MISSING(jobcat) OR MISSING(minority)", ""},
             {"MISSING(minority) = 0 AND educ > 18", ""},
             {"VALUE(jobcat) = 0 OR VALUE(minority) = 9", ""},
             {"SYSMIS(salary) OR SYSMIS(bdate)", ""},
             {"SYSMIS(jobcat)", ""},
             {"ANY(jobcat, 1, 3)", ""},
             {"ANY(gender, 'm', 'x')", ""},
             {"RANGE(educ, 12, 15)", ""},
             {"RANGE(salary, 20000, 30000, 60000, 1e6)", ""},
             {"RANGE(gender, 'a', 'g')", ""},
             {"salary / (educ - 12) > 5000", ""},
             {"0 * jobcat = 0 AND jobcat * 0 = 0 AND 0 / jobcat = 0", ""},
             {"-salary < -50000 AND salary - salbegin >= 20000", ""},
             {"educ > 12 + 2 * 2 - 8 / 4", ""},
             {"NOT NOT (educ = 8)", ""},
             {"bdate >= 1960/01/01", "bdate >= DATE.DMY(1, 1, 1960)"},
             {"bdate < 02/03/1945", "bdate < DATE.DMY(3, 2, 1945)"},
             {"bdate > DATE.DMY(31, 12, 1969)", ""},
             {"SYSMIS(0 / (educ - educ)) AND educ = 8", ""},
             {"SYSMIS(DATE.DMY(educ - 8, 2, 1990)) AND educ < 12", ""},
             {"DATE.DMY(29, 2, educ + 1988) > 0 AND educ < 16", ""},
             {"RANGE(bdate, 1950/01/01, 1950/12/31)",
              "RANGE(bdate, DATE.DMY(1,1,1950), DATE.DMY(31,12,1950))"},
         }},
        {"spssmac_missings_iso885915.sav",
         {
             {"missing1 > 0", ""},
             {"missing2 < 8 OR missing3 = 7", ""},
             {"MISSING(missing1)", ""},
             {"MISSING(missing2) AND NOT MISSING(missing6)", ""},
             {"MISSING(missing4)", ""},
             {"SYSMIS(missing4)", ""},
             {"VALUE(missing6) >= 5", ""},
             {"missing6 >= 5", ""},
             {"missing4 = 9 OR missing1 = 1", ""},
             {"NOT (missing4 = 1)", ""},
             {"ANY(missing1, 5, 9)", ""},
             {"RANGE(missing2, 0, 8)", ""},
             {"missing5 + missing3 > 3", ""},
         }},
        {"spss25_sample.sav",
         {
             {"mynum > 1", ""},
             {"mychar > 'b' AND mychar <= 'd'", ""},
             {"mydate >= 2017/01/01", "mydate >= DATE.DMY(1, 1, 2017)"},
             {"mydate = 01.01.1960", "mydate = DATE.DMY(1, 1, 1960)"},
             {"mydate < 1900/1/1", "mydate < DATE.DMY(1, 1, 1900)"},
             {"SYSMIS(mydate) OR SYSMIS(mytime)", ""},
             {"dtime > '2000/01/01 00:00'", "dtime > DATE.DMY(1, 1, 2000)"},
             {"mytime < 12:00:00", "mytime < 43200"},
             {"ANY(mylabl, 2) OR myord = 3", ""},
         }},
    };
    return all;
}

bool HavePspp() {
    return std::system("command -v pspp >/dev/null 2>&1") == 0;
}

std::string Joined(const std::string& text) {
    std::istringstream in(text);
    std::string out;
    for (std::string word; in >> word;) out += (out.empty() ? "" : " ") + word;
    return out;
}

// PSPP's case numbers for each check, read from the files its WRITEs make.
std::vector<std::string> PsppSelections(const std::string& path, const std::vector<Check>& checks,
                                        const std::filesystem::path& dir, std::string& log) {
    std::ostringstream syntax;
    syntax << "SET DECIMAL=DOT.\nGET FILE='" << path << "'.\n"
           << "COMPUTE lvcase_ = $CASENUM.\nEXECUTE.\n";
    for (size_t k = 0; k < checks.size(); ++k) {
        const Check& c = checks[k];
        syntax << "TEMPORARY.\nSELECT IF (" << (c.pspp.empty() ? c.ours : c.pspp) << ").\n"
               << "WRITE OUTFILE='" << (dir / std::to_string(k)).string()
               << "' /lvcase_ (F10.0).\nEXECUTE.\n";
    }
    const std::filesystem::path script = dir / "select.sps";
    std::ofstream(script) << syntax.str();
    const std::filesystem::path output = dir / "pspp.txt";
    const std::string command = "cd '" + dir.string() + "' && pspp -O format=txt -o '" +
                                output.string() + "' '" + script.string() + "' >/dev/null 2>&1";
    std::system(command.c_str());
    log = ReadWholeFile(output.string());
    std::vector<std::string> out;
    for (size_t k = 0; k < checks.size(); ++k) {
        const std::filesystem::path file = dir / std::to_string(k);
        out.push_back(std::filesystem::exists(file) ? Joined(ReadWholeFile(file.string()))
                                                    : "(no output)");
    }
    return out;
}

TEST(SelectAgainstPspp, CorpusSelectionsEqualSelectIf) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    if (!HavePspp()) GTEST_SKIP() << "pspp is not installed (tools/ensure-packages --test)";
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("lorivane-select-pspp-" + std::to_string(getpid()));
    for (const FileChecks& file : AllChecks()) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string path = fixture::CorpusPath(file.file);
        std::string log;
        const std::vector<std::string> expected = PsppSelections(path, file.checks, dir, log);
        EXPECT_EQ(log.find("error:"), std::string::npos) << file.file << ":\n" << log;
        for (size_t k = 0; k < file.checks.size(); ++k) {
            const DumpResult r = RunDump({"select", path, file.checks[k].ours});
            EXPECT_EQ(r.status, expected[k].empty() ? 1 : 0) << file.checks[k].ours << r.err;
            EXPECT_EQ(Joined(r.out), expected[k]) << file.file << ": " << file.checks[k].ours;
        }
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
