// Helpers of the writer tests: the reader's calls turned into the writer's
// description of a file, one text of a dictionary for comparing two, and
// files written from cases in memory or copied from a reader.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "savio/sav_writer.h"

namespace writertest {

namespace w = savio::writer;

// A file's dictionary as the spss... calls give it, in the writer's terms
// (no short names: the writer makes them). False when it does not open.
bool ReadSpec(const std::string& path, w::FileSpec* spec);

// Everything readers see of a dictionary (not the header's product, stamp,
// compression and case count), the writer's defaults resolved.
std::string DictionaryText(const w::FileSpec& spec);

// Writes the file at source whole into out in that compression, with a fixed
// stamp; false (with a test failure) when the writer throws.
bool Rewrite(const std::string& source, const std::string& out, savio::Compression compression);

// Cases in memory written into bytes (rewritable or append-only sink), or
// into a file through a descriptor.
using Cell = std::variant<double, std::string>;
std::string WriteBytes(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
                       bool rewritable = true);
void WriteFile(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
               const std::string& path);

std::string Slurp(const std::string& path);

}  // namespace writertest
