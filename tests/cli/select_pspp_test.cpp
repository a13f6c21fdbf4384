// lorivane-dump select against PSPP's SELECT IF on the corpus and on a file
// PSPP makes here: for every operator and function, both kinds of missing
// values, strings (multibyte, with blanks around) and dates from 1582 to
// 9999, the case numbers PSPP keeps (numbered with $CASENUM before
// selecting) are the ones select prints. Where PSPP has no way to write a
// date as a variable's format shows it, its side uses DATE.DMY. PSPP 1.6 has
// no CHAR.LENGTH, CHAR.SUBSTR, CHAR.INDEX or DATE.YMD (tests/core/condition
// has them).
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
             // Operators and functions.
             {"educ ** 2 > 300 AND 2 ** 3 ** 2 = 64 AND -educ ** 2 < -300",
              "(educ ** 2 > 300) "
              "AND ((2 ** 3) ** 2 = 64) AND (-educ ** 2 < -300)"},
             {"salary * 1e300 * 1e300 > 0 OR EXP(educ * 100) > 0", ""},
             {"MEAN(salary, salbegin) > 40000 AND SUM.2(salary, prevexp) > 30000", ""},
             {"SD(salary, salbegin) > 20000 OR VARIANCE(educ, jobtime) > 1500 OR "
              "CFVAR(salary, salbegin) > 0.6",
              ""},
             {"MIN(educ, jobtime) = 8 OR MAX(educ, jobcat) > 19 OR MAX(gender, 'g') = 'g'", ""},
             {"NMISS(salary TO minority) > 0 OR NVALID(salary TO minority) < 5", ""},
             {"MEAN.5(salary TO minority) > 8000", ""},
             {"MOD(id, 7) = 3 AND ABS(-educ) > 15", ""},
             {"RND(salary / 1000) = 30 OR TRUNC(salbegin / 1000) = 12 OR RND(salary, 5000) = "
              "20000",
              ""},
             {"SQRT(salary) > 200 AND LN(salbegin) < 9.5 OR LG10(salary) >= 5", ""},
             {"ARTAN(educ) > 1.5 AND SIN(educ) > 0.5 AND COS(jobtime) < 0 AND ARSIN(minority) = 0 "
              "AND TAN(educ) > 0",
              ""},
             {"XDATE.YEAR(bdate) = 1960 AND XDATE.MONTH(bdate) > 6", ""},
             {"XDATE.WKDAY(bdate) = 1 OR XDATE.QUARTER(bdate) = 4 AND XDATE.MDAY(bdate) = 31", ""},
             {"XDATE.JDAY(bdate) < 20 OR XDATE.WEEK(bdate) = 52", ""},
             {"XDATE.TDAY(bdate) > 140000 AND XDATE.HOUR(bdate) = 0 AND XDATE.MINUTE(bdate) = 0 "
              "AND XDATE.SECOND(bdate) = 0 AND XDATE.TIME(bdate) = 0 AND XDATE.DATE(bdate) = bdate",
              ""},
             {"DATEDIFF(DATE.DMY(1, 1, 1990), bdate, 'years') > 60", ""},
             {"DATEDIFF(DATE.YMD(1990, 6, 15), bdate, 'months') = 400 OR "
              "DATEDIFF(DATE.MDY(6, 15, 1990), bdate, 'weeks') > 3400 OR "
              "DATEDIFF(bdate, DATE.DMY(1, 1, 1970), 'quarters') > 0",
              "DATEDIFF(DATE.DMY(15, 6, 1990), bdate, 'months') = 400 OR "
              "DATEDIFF(DATE.MDY(6, 15, 1990), bdate, 'weeks') > 3400 OR "
              "DATEDIFF(bdate, DATE.DMY(1, 1, 1970), 'quarters') > 0"},
             {"DATESUM(bdate, 30, 'years') < DATE.MOYR(1, 1960)", ""},
             {"DATESUM(bdate, -5, 'months', 'rollover') > DATE.QYR(1, 1970)", ""},
             {"bdate > DATE.WKYR(10, 1965) AND bdate < DATE.YRDAY(1966, 100)", ""},
             {"CTIME.DAYS(bdate) > 140000 AND CTIME.HOURS(TIME.HMS(48, 0, 0)) = 48 AND "
              "CTIME.MINUTES(60) = 1 AND CTIME.SECONDS(TIME.DAYS(1)) = 86400",
              ""},
             {"CONCAT(gender, 'x') = 'fx' AND LENGTH(gender) = 1", ""},
             {"UPCASE(gender) = 'M' AND LOWER(UPCASE(gender)) = 'm' AND jobcat = 2", ""},
             {"INDEX('mf', gender) = 2 AND RINDEX('ffm', gender) = 2 AND educ > 16", ""},
             {"SUBSTR(CONCAT(gender, 'abc'), 2, 2) = 'ab' AND REPLACE(gender, 'f', 'w') = 'w' AND "
              "educ = 19",
              ""},
             {"LTRIM(CONCAT('  ', gender)) = 'f' AND RTRIM(CONCAT(gender, '**'), '*') = 'f' AND "
              "jobtime > 97",
              ""},
             {"$CASENUM > 470 OR $CASENUM = 5 OR SYSMIS($SYSMIS + educ) AND educ = 8", ""},
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

// A file PSPP makes: n1 with 9 user-missing, n2 with -5 to -1 and 99, s
// (A16) with 'none'; dates from 15 October 1582 to 31 December 9999 and
// times past a day.
const char* kMadeFile = R"(SET LOCALE='UTF-8'.
DATA LIST LIST /n1 (F8.2) n2 (F8.2) s (A16) d (DATE11) t (TIME8).
BEGIN DATA
1 2 "ab" 31-JAN-1990 12:30:00
9 -3 "ab   " 15-OCT-1582 0:00:01
. 99 "日本語" 29-FEB-1600 23:59:59
0 0 "none" 31-DEC-9999 .
-4.5 1000000 " x" 29-FEB-2000 1:00:00
2.5 -2.5 "東京都 港区" 01-JAN-1970 48:00:00
. . "" . .
3 4 "Ab" 28-FEB-2100 06:00:00
END DATA.
MISSING VALUES n1 (9) /n2 (-5 THRU -1, 99) /s ('none').
)";

const std::vector<Check> kMadeChecks = {
    {"n1 > 0 OR MISSING(n2)", ""},
    {"n1 ** n2 > 1 OR n2 ** 0 = 1 AND n1 = 0", ""},
    {"SUM(n1, n2) > 0 AND MEAN.2(n1, n2) >= 1", ""},
    {"NMISS(n1 TO n2) = 1 OR NVALID(n1, n2, VALUE(n1)) = 3", ""},
    {"MOD(n1, n2) = 0 OR MOD(n1, 2) = 1", ""},
    {"MIN.2(n1, n2) < 0 OR MAX(n1, n2) > 100", ""},
    {"LENGTH(s) = 16 AND LENGTH(RTRIM(s)) = 9", ""},
    {"INDEX(s, '本') = 4 OR SUBSTR(s, 4, 3) = '京'", ""},
    {"UPCASE(s) = 'AB' OR CONCAT(RTRIM(s), '!') = ' x!'", ""},
    {"REPLACE(s, ' ', '_') = '_x______________' OR RINDEX(s, ' ') = 10", ""},
    {"LTRIM(s) = 'x' OR s = 'none'", ""},
    // PSPP compares a string's bytes as signed chars, so that its UTF-8 text
    // sorts before ASCII; we compare them unsigned, in the order of the
    // characters. Both sides leave out the cases with Japanese text.
    {"(MAX(s, 'b') = 'b' OR MIN(s, 'b') = 'b') AND $CASENUM <> 3 AND $CASENUM <> 6", ""},
    {"XDATE.YEAR(d) < 1600 OR XDATE.YEAR(d) > 9000", ""},
    {"XDATE.WKDAY(d) = 7 OR XDATE.JDAY(d) = 60", ""},
    {"XDATE.MONTH(d) = 2 AND XDATE.MDAY(d) = 29", ""},
    {"DATEDIFF(d, DATE.DMY(15, 10, 1582), 'days') > 100000", ""},
    {"DATESUM(d, 1, 'years') > DATE.DMY(1, 3, 2000)", ""},
    {"DATESUM(d, 12, 'months', 'rollover') = DATE.DMY(1, 3, 1601)", ""},
    {"XDATE.HOUR(t) >= 12 OR CTIME.HOURS(t) > 24", ""},
    {"XDATE.MINUTE(t) = 30 OR XDATE.SECOND(t) = 1", ""},
    {"d + 1e300 * 1e300 > 0 OR SQRT(n2) < 0", ""},
};

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

TEST(SelectAgainstPspp, MadeFileSelectionsEqualSelectIf) {
    if (!HavePspp()) GTEST_SKIP() << "pspp is not installed (tools/ensure-packages --test)";
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("lorivane-select-made-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "made.sav").string();
    std::ofstream(dir / "make.sps") << kMadeFile << "SAVE OUTFILE='" << path << "'.\n";
    const std::string make = "cd '" + dir.string() + "' && pspp make.sps >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    std::string log;
    const std::vector<std::string> expected = PsppSelections(path, kMadeChecks, dir, log);
    EXPECT_EQ(log.find("error:"), std::string::npos) << log;
    for (size_t k = 0; k < kMadeChecks.size(); ++k) {
        const DumpResult r = RunDump({"select", path, kMadeChecks[k].ours});
        EXPECT_EQ(Joined(r.out), expected[k]) << kMadeChecks[k].ours << r.err;
    }
    std::filesystem::remove_all(dir);
}

// Computed variables against PSPP's COMPUTE: the made file converted with
// --compute and --keep-computed, then read by PSPP, which computes each
// expression itself and writes the case numbers where the two differ
// (none expected). LAG is computed before any case is dropped, as PSPP's
// LAG sees the cases before a SELECT IF.
struct Computed {
    const char* name;
    const char* format;  // empty: numeric, F8.2
    const char* expression;
};

const std::vector<Computed> kComputed = {
    {"c_lag", "", "LAG(n1)"},
    {"c_lag2", "", "LAG(n2, 2)"},
    {"c_lags", "A16", "LAG(s)"},
    {"c_vl", "A20", "VALUELABEL(n1)"},
    {"c_vls", "A20", "VALUELABEL(s)"},
    {"c_str", "A12", "STRING(n2, COMMA12.2)"},
    {"c_strd", "A11", "STRING(d, DATE11)"},
    {"c_strt", "A8", "STRING(t, TIME8)"},
    {"c_num", "", "NUMBER(STRING(n1 * 100, F10.0), F10.2)"},
    {"c_numc", "", "NUMBER(STRING(n2, COMMA12.2), COMMA12.2)"},
    {"c_numd", "", "NUMBER(STRING(d, DATE11), DATE11)"},
    {"c_sum", "", "SUM(n1, n2) * 2"},
    {"c_truth", "", "n1 > 0 AND n2 < 10"},
    {"c_cat", "A20", "CONCAT(RTRIM(s), '-', STRING(n1, F4.1))"},
    {"c_next", "", "c_sum + LAG(c_sum)"},
};

TEST(SelectAgainstPspp, ComputedValuesEqualCompute) {
    if (!HavePspp()) GTEST_SKIP() << "pspp is not installed (tools/ensure-packages --test)";
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("lorivane-compute-pspp-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string made = (dir / "made.sav").string(), ours = (dir / "ours.sav").string();
    std::ofstream(dir / "make.sps")
        << kMadeFile << "VALUE LABELS n1 1 'one' 9 'nine' /s 'ab' 'a and b'.\n"
        << "SAVE OUTFILE='" << made << "'.\n";
    const std::string make = "cd '" + dir.string() + "' && pspp make.sps >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    std::vector<std::string> args = {"convert", made, ours, "--keep-computed"};
    std::ostringstream syntax;
    syntax << "SET DECIMAL=DOT.\nGET FILE='" << ours << "'.\nCOMPUTE lvcase_ = $CASENUM.\n";
    for (const Computed& c : kComputed) {
        const std::string format = *c.format ? std::string("(") + c.format + ")" : "";
        args.push_back("--compute");
        args.push_back(c.name + format + "=" + c.expression);
        if (*c.format) syntax << "STRING p_" << c.name << " (" << c.format << ").\n";
        syntax << "COMPUTE p_" << c.name << " = " << c.expression << ".\n";
    }
    syntax << "EXECUTE.\n";
    for (size_t k = 0; k < kComputed.size(); ++k) {
        const std::string a = kComputed[k].name, b = std::string("p_") + a;
        syntax << "TEMPORARY.\nSELECT IF "
               << (*kComputed[k].format
                       ? a + " <> " + b
                       : "SYSMIS(" + a + ") <> SYSMIS(" + b + ") OR (NOT SYSMIS(" + a +
                             ") AND NOT SYSMIS(" + b + ") AND " + a + " <> " + b + ")")
               << ".\nWRITE OUTFILE='" << (dir / std::to_string(k)).string() << "' /lvcase_ (F4.0) "
               << a << " " << b << ".\nEXECUTE.\n";
    }
    const DumpResult r = RunDump(args);
    ASSERT_EQ(r.status, 0) << r.err;
    std::ofstream(dir / "compare.sps") << syntax.str();
    const std::string compare =
        "cd '" + dir.string() + "' && pspp -O format=txt -o pspp.txt compare.sps >/dev/null 2>&1";
    std::system(compare.c_str());
    const std::string log = ReadWholeFile((dir / "pspp.txt").string());
    EXPECT_EQ(log.find("error:"), std::string::npos) << log;
    for (size_t k = 0; k < kComputed.size(); ++k) {
        const std::filesystem::path file = dir / std::to_string(k);
        ASSERT_TRUE(std::filesystem::exists(file)) << kComputed[k].name;
        EXPECT_EQ(ReadWholeFile(file.string()), "")
            << kComputed[k].name << " = " << kComputed[k].expression;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
