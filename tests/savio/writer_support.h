// Helpers of the writer tests: the reader's calls turned into the writer's
// description of a file, a text of a dictionary for comparing two of them,
// cases copied from a reader handle into a writer, and cells compared case
// by case.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "savio/sav_writer.h"

namespace writertest {

namespace w = savio::writer;

// A file's dictionary as the spss... calls give it, in the writer's terms
// (no short names: the writer makes them). False when the file does not open.
bool ReadSpec(const std::string& path, w::FileSpec* spec);
w::FileSpec ReadSpecOf(int h);

// One text of everything the file's readers see of the dictionary (not the
// header's product, stamp, compression and case count), defaults resolved.
std::string DictionaryText(const w::FileSpec& spec);

// Copies the cases of the open handle h into the writer; the case count.
long long CopyCases(int h, w::Writer& writer);

// Writes the file at source whole into out in that compression; the status
// of the open, or -1 when the writer threw (ADD_FAILURE with its message).
int Rewrite(const std::string& source, const std::string& out, savio::Compression compression);

// Both files' cells equal, case by case (numbers bit for bit, strings byte
// for byte); the number of cases compared.
long long ExpectSameCases(const std::string& a, const std::string& b);

// A cell of a case given in memory.
using Cell = std::variant<double, std::string>;
// Writes spec and cases to path through a descriptor.
void WriteFile(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
               const std::string& path);
// The same into memory; rewritable or append-only.
std::string WriteBytes(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
                       bool rewritable = true);

std::string Slurp(const std::string& path);

}  // namespace writertest
