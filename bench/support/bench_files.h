// The large files the benchmarks share, made with the fixture writer into a
// directory when absent: surveys of 40 variables (coded answers with value
// labels, amounts, dates, strings of 8 to 300 bytes, about 5% system-missing)
// of any size and compression, and a 2000-case file of 1500 variables.
#pragma once

#include <string>

#include "tests/support/savfixture.h"

namespace benchfiles {

// Whether path is a file with something in it (one made before).
bool Exists(const std::string& path);

// The paths of the files in dir, made first when missing: a survey of
// 10,000 cases repeated `repeat` times in that compression.
std::string EnsureSurvey(const std::string& dir, int repeat = 100,
                         fixture::Compression compression = fixture::Compression::Bytecode);
std::string EnsureWide(const std::string& dir);
// The survey of 20,000 cases repeated 50 times: its 8 amounts and 4 dates
// hold 12,000 to 20,000 distinct values each, beyond describe's table.
std::string EnsureSpreadSurvey(const std::string& dir);

// Writes the file of f's cases repeated `repeat` times: the dictionary of
// the full count, then f's data again and again (bytecode ends each
// repetition's last command group with 0 codes, so they concatenate; .zsav
// deflates the repeated bytecode in blocks as it goes).
void WriteRepeated(const std::string& path, fixture::File f, int repeat);

}  // namespace benchfiles
