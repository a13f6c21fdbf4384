// The large files the grid benchmarks share, made with the fixture writer
// into a directory when absent: a 1 M-case survey of 40 variables (coded
// answers with value labels, amounts, dates, strings of 8 to 300 bytes,
// about 5% system-missing) and a 2000-case file of 1500 variables.
#ifndef LORIVANE_BENCH_SUPPORT_BENCH_FILES_H
#define LORIVANE_BENCH_SUPPORT_BENCH_FILES_H

#include <string>

namespace benchfiles {

// The paths of the files in dir, made first when missing.
std::string EnsureSurvey(const std::string& dir);
std::string EnsureWide(const std::string& dir);

}  // namespace benchfiles

#endif
