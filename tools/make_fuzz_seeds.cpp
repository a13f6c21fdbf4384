// Writes the fuzz target's seed files: our fixture sample in both byte orders
// and all three compressions, plus variants with very long strings, long
// string labels and missing values, an unknown case count and no encoding.
//   make_fuzz_seeds OUTDIR
#include <cstdio>
#include <string>

#include "tests/support/savfixture.h"

namespace {

fixture::File WithLongStrings() {
    fixture::File f = fixture::SampleFile();
    f.variables.push_back(fixture::String("LONG300", 300));
    f.variables.back().missing.strings = {"none", "n/a"};
    fixture::ValueLabelSet labels;
    labels.variables = {static_cast<int>(f.variables.size()) - 1};
    labels.strings = {{"first", "The first long value"}};
    f.valueLabels.push_back(labels);
    for (fixture::Case& c : f.cases) c.push_back(std::string(290, 'x'));
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    int n = 0;
    for (const fixture::Endian e : {fixture::Endian::Little, fixture::Endian::Big}) {
        for (const fixture::Compression c :
             {fixture::Compression::None, fixture::Compression::Bytecode,
              fixture::Compression::Zlib}) {
            fixture::File plain = fixture::SampleFile();
            fixture::File wide = WithLongStrings();
            fixture::File unknown = fixture::SampleFile();
            unknown.headerCaseCount = -1;
            unknown.encoding.clear();
            unknown.characterCode = 0;
            for (fixture::File* f : {&plain, &wide, &unknown}) {
                f->endian = e;
                f->compression = c;
                f->zlibBlockSize = 64;  // several blocks even for small data
                fixture::WriteFile(*f, dir + "/seed-" + std::to_string(n++) + ".sav");
            }
        }
    }
    std::printf("%d seed files in %s\n", n, dir.c_str());
    return 0;
}
